#include "io/DirectoryListing.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "io/CharClasses.h"

namespace orma {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return asciiLower(c); }

bool endsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    const std::string_view tail = name.substr(name.size() - suffix.size());
    return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) { return lower(a) == lower(b); });
}

bool taken(std::string_view name, ListedFiles kind) {
    const bool gef = endsWithNoCase(name, ".gef");
    const bool sheet = endsWithNoCase(name, ".csv") || endsWithNoCase(name, ".txt");
    switch (kind) {
        case ListedFiles::Gef: return gef;
        case ListedFiles::Sheet: return sheet;
        case ListedFiles::GefAndSheets: return gef || sheet;
    }
    return false;
}

/// Why an entry that is not a regular file is not read.
std::string notAFileReason(const std::filesystem::directory_entry& entry) {
    std::error_code error, linkError;
    const std::filesystem::file_status status = entry.status(error);
    if (entry.is_symlink(linkError) && (status.type() == std::filesystem::file_type::not_found ||
                                        error == std::errc::no_such_file_or_directory)) {
        return "a link to a file that does not exist";
    }
    if (error) return "cannot be examined (" + error.message() + ")";
    if (std::filesystem::is_directory(status)) return "a directory, not a file";
    return "not a regular file (a device, pipe or socket)";
}

bool naturalPathLess(const std::filesystem::path& x, const std::filesystem::path& y) {
    return naturalLess(x.filename().string(), y.filename().string());
}

/// -1, 0, 1 for the natural comparison without the byte-order tie break.
int naturalCompare(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei])) ++ei;
            while (ej < b.size() && isDigit(b[ej])) ++ej;
            std::size_t si = i, sj = j;
            while (si + 1 < ei && a[si] == '0') ++si;
            while (sj + 1 < ej && b[sj] == '0') ++sj;
            const std::string_view x = a.substr(si, ei - si), y = b.substr(sj, ej - sj);
            if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
            if (x != y) return x < y ? -1 : 1;
            if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        const char ca = lower(a[i]), cb = lower(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    const int order = naturalCompare(a, b);
    return order != 0 ? order < 0 : a < b;
}

DirectoryListing listDirectory(const std::filesystem::path& directory, ListedFiles kind) {
    DirectoryListing listing;
    const std::filesystem::path where = directory.empty() ? std::filesystem::path(".") : directory;
    std::error_code error;
    std::filesystem::directory_iterator it(where, error);
    if (error) {
        listing.problem = "cannot list " + where.string() + ": " + error.message();
        return listing;
    }
    for (const std::filesystem::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (!taken(name, kind)) continue;
        std::error_code statError;
        if (entry.is_regular_file(statError)) listing.files.push_back(entry.path());
        else listing.skipped.push_back({entry.path(), notAFileReason(entry)});
    }
    std::sort(listing.files.begin(), listing.files.end(), naturalPathLess);
    std::sort(listing.skipped.begin(), listing.skipped.end(),
              [](const SkippedDirectoryEntry& x, const SkippedDirectoryEntry& y) {
                  return naturalPathLess(x.path, y.path);
              });
    return listing;
}

std::vector<std::filesystem::path> listDirectoryFiles(const std::filesystem::path& directory, ListedFiles kind) {
    return listDirectory(directory, kind).files;
}

std::optional<std::filesystem::path> nextFileInDirectory(const std::filesystem::path& current) {
    const std::string name = current.filename().string();
    if (name.empty()) return std::nullopt;
    const bool sheet = endsWithNoCase(name, ".csv") || endsWithNoCase(name, ".txt");
    const std::vector<std::filesystem::path> files =
        listDirectoryFiles(current.parent_path(), sheet ? ListedFiles::Sheet : ListedFiles::Gef);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].filename() == current.filename()) {
            if (i + 1 < files.size()) return files[i + 1];
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace orma
