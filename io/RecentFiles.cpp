#include "io/RecentFiles.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "io/Cp1250Text.h"
#include "io/SafeFile.h"

namespace orma {

namespace {

constexpr std::string_view kDatabaseKey = "database";
constexpr std::string_view kGefFolderKey = "gef-folder";
constexpr const char* kRecentSaveError = "The list of recent files could not be saved.";
constexpr const char* kRecentReadError = "The list of recent files could not be read.";

bool holdsLineBreak(const std::string& entry) { return entry.find_first_of("\r\n") != std::string::npos; }

Outcome changeRecentList(const std::filesystem::path& file, RecentKind kind, const std::string& entry, bool remember) {
    if (entry.empty() || holdsLineBreak(entry)) return Outcome::success();
    RecentLists lists;
    if (Outcome read = readRecentLists(file, lists); !read) {
        // Never written over: whatever it is, it is not ours to replace.
        read.message = kRecentSaveError;
        return read;
    }
    std::vector<std::string>& list = lists.of(kind);
    const std::vector<std::string> before = list;
    if (remember)
        putFirst(list, entry);
    else
        list.erase(std::remove(list.begin(), list.end(), entry), list.end());
    if (list == before) return Outcome::success();
    const FileResult written = writeWholeFile(file, formatRecentLists(lists), ExistingFile::Replace);
    if (!written) return Outcome::failure(kRecentSaveError, written.describe(file.string()));
    return Outcome::success();
}

}  // namespace

std::filesystem::path recentFilesPath(const std::filesystem::path& directory) {
    return directory / kRecentFileName;
}

void putFirst(std::vector<std::string>& list, const std::string& entry) {
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
    list.insert(list.begin(), entry);
    if (list.size() > kRecentLimit) list.resize(kRecentLimit);
}

std::string formatRecentLists(const RecentLists& lists) {
    std::string text = std::string(kRecentHeader) + "\r\n";
    for (const std::string& entry : lists.databases)
        text += std::string(kDatabaseKey) + '\t' + entry + "\r\n";
    for (const std::string& entry : lists.gefFolders)
        text += std::string(kGefFolderKey) + '\t' + entry + "\r\n";
    for (const std::string& line : lists.otherLines) text += line + "\r\n";
    return text;
}

RecentLists parseRecentLists(const std::string& bytes) {
    RecentLists lists;
    const std::vector<std::string> lines = splitLines(bytes);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (n == 0 && line == kRecentHeader) continue;
        const std::size_t tab = line.find('\t');
        const std::string_view key =
            tab == std::string::npos ? std::string_view() : std::string_view(line).substr(0, tab);
        const std::string entry = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        std::vector<std::string>* list = key == kDatabaseKey    ? &lists.databases
                                         : key == kGefFolderKey ? &lists.gefFolders
                                                                : nullptr;
        if (list != nullptr && !entry.empty()) {
            if (list->size() < kRecentLimit && std::find(list->begin(), list->end(), entry) == list->end()) {
                list->push_back(entry);
            }
        } else if (!line.empty()) {
            lists.otherLines.push_back(line);
        }
    }
    return lists;
}

Outcome readRecentLists(const std::filesystem::path& file, RecentLists& lists) {
    lists = RecentLists{};
    const ReadResult read = readRegularFile(file, kMaxRecentFileBytes);
    if (read.problem == FileProblem::Missing) return Outcome::success();
    if (!read) return Outcome::failure(kRecentReadError, read.describe(file.string()));
    lists = parseRecentLists(read.bytes);
    return Outcome::success();
}

Outcome rememberRecent(const std::filesystem::path& file, RecentKind kind, const std::string& entry) {
    return changeRecentList(file, kind, entry, true);
}

Outcome forgetRecent(const std::filesystem::path& file, RecentKind kind, const std::string& entry) {
    return changeRecentList(file, kind, entry, false);
}

std::optional<std::string> goneRecentEntry(RecentKind kind, const std::string& entry) {
    std::error_code error;
    if (kind == RecentKind::Database) {
        if (std::filesystem::is_regular_file(entry, error)) return std::nullopt;
        return "The database " + entry +
               " is not there any more. It is taken off the list of recent databases.";
    }
    if (std::filesystem::is_directory(entry, error)) return std::nullopt;
    return "The folder " + entry + " is not there any more. It is taken off the list of recent GEF folders.";
}

}  // namespace orma
