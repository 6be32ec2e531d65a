#include "io/RecoveryCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "io/Cp1250Text.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"

namespace orma {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecoverySuffix = ".recovery.vdb";
constexpr const char* kRecoveryCannotWrite =
    "The recovery copy of the database cannot be written: if the program ended now without saving, the changes "
    "since the last save would be lost. Save the database (Ctrl+U) to keep them.";
/// How many copies of one database may wait beside each other.
constexpr int kMaxCopiesPerDatabase = 100;

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string hex16(std::uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = digits[value & 0xF];
    return text;
}

/// The database's file name reduced to letters, digits, '-' and '_', for a
/// name a person recognises in the folder.
std::string readableStem(const std::string& database) {
    std::string stem = fs::path(database).stem().string();
    std::string clean;
    for (const char c : stem) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_';
        clean.push_back(plain ? c : '_');
        if (clean.size() >= 40) break;
    }
    return clean.empty() ? std::string("database") : clean;
}

bool isRecoveryName(const std::string& name) {
    const std::string suffix = kRecoverySuffix;
    return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

/// The first line of a regular file, at most 64 KiB of it; empty when the
/// file is no regular file or cannot be read.
std::string firstLine(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat info {};
    std::string bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        bytes.resize(64 * 1024);
        std::size_t filled = 0;
        while (filled < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
            if (got <= 0) break;
            filled += static_cast<std::size_t>(got);
            if (bytes.find_first_of("\r\n", 0) < filled) break;
        }
        bytes.resize(filled);
    }
    ::close(fd);
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

}  // namespace

std::string recoveryCopyTime(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    std::tm parts{};
    if (::localtime_r(&info.st_mtime, &parts) == nullptr) return {};
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts) == 0) return {};
    return text;
}

std::error_code makeRecoveryDirectory(const fs::path& directory) {
    std::error_code error;
    if (fs::is_directory(directory, error)) return {};
    fs::create_directories(directory, error);
    if (error) return error;
    // Unsaved work of the user: nobody else reads it.
    fs::permissions(directory, fs::perms::owner_all, fs::perm_options::replace, error);
    return {};
}

fs::path recoveryDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && *state == '/') return fs::path(state) / "orma";
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') return fs::path(home) / ".local" / "state" / "orma";
    return {};
}

std::string recoveryOriginText(const std::string& database) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (const unsigned char c : database) {
        if (c < 0x20 || c >= 0x7F || c == '%') {
            text += '%';
            text += digits[c >> 4];
            text += digits[c & 0xF];
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

std::optional<std::string> databaseFromOriginText(const std::string& text) {
    const auto value = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string database;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c >= 0x7F) return std::nullopt;  // the writer never leaves such a byte
        if (c != '%') {
            database += static_cast<char>(c);
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = value(text[i + 1]);
        const int low = value(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        database += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return database;
}

RecoveryCopy::RecoveryCopy(fs::path directory) : directory_(std::move(directory)) {}

fs::path RecoveryCopy::freeName(const std::string& database) const {
    const std::string base = readableStem(database) + "-" + hex16(fnv1a(database));
    for (int n = 1; n <= kMaxCopiesPerDatabase; ++n) {
        const fs::path candidate = directory_ / (base + (n == 1 ? "" : "-" + std::to_string(n)) + kRecoverySuffix);
        std::error_code error;
        if (candidate == current_ || !fs::exists(fs::symlink_status(candidate, error))) return candidate;
    }
    return {};
}

Outcome RecoveryCopy::write(const VesDatabase& db) {
    if (directory_.empty()) {
        return Outcome::failure(kRecoveryCannotWrite, "Neither XDG_STATE_HOME nor HOME names a folder for it.");
    }
    std::error_code error = makeRecoveryDirectory(directory_);
    if (error) return Outcome::failure(kRecoveryCannotWrite, directory_.string() + ": " + error.message());
    const fs::path previous = current_;
    if (current_.empty() || db.fileName != database_) {
        const fs::path name = freeName(db.fileName);
        if (name.empty()) {
            return Outcome::failure(kRecoveryCannotWrite,
                                    directory_.string() + " holds too many recovery copies of " + db.fileName + ".");
        }
        current_ = name;
    }
    const FileResult written =
        writeWholeFile(current_, formatVdb(db, recoveryOriginText(db.fileName)), ExistingFile::Replace);
    if (!written) {
        current_ = previous;
        return Outcome::failure(kRecoveryCannotWrite, written.describe(current_.empty() ? directory_.string()
                                                                                         : current_.string()));
    }
    // The database was saved under another name: its old copy is history.
    if (!previous.empty() && previous != current_) fs::remove(previous, error);
    database_ = db.fileName;
    return Outcome::success();
}

void RecoveryCopy::remove() {
    if (current_.empty()) return;
    std::error_code error;
    fs::remove(current_, error);
    current_.clear();
    database_.clear();
}

void RecoveryCopy::adopt(const fs::path& copy, const std::string& database) {
    current_ = copy;
    database_ = database;
}

std::vector<FoundRecoveryCopy> findRecoveryCopies(const fs::path& directory) {
    std::vector<std::pair<fs::file_time_type, FoundRecoveryCopy>> found;
    std::error_code error;
    if (directory.empty() || !fs::is_directory(directory, error)) return {};
    const std::string key = utf8ToCp1250("název_souboru: ");
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const fs::path copy = it->path();
        if (!isRecoveryName(copy.filename().string())) continue;
        std::error_code statError;
        if (!fs::is_regular_file(fs::symlink_status(copy, statError))) continue;
        const std::string line = firstLine(copy);
        if (line.compare(0, key.size(), key) != 0) continue;
        const std::optional<std::string> origin = databaseFromOriginText(line.substr(key.size()));
        if (!origin) continue;
        const std::string& database = *origin;
        const fs::file_time_type copyTime = fs::last_write_time(copy, statError);
        if (statError) continue;
        std::error_code databaseError;
        if (!database.empty()) {
            const fs::file_time_type databaseTime = fs::last_write_time(database, databaseError);
            if (!databaseError && databaseTime >= copyTime) continue;
        }
        found.push_back({copyTime, FoundRecoveryCopy{copy, database, recoveryCopyTime(copy)}});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<FoundRecoveryCopy> copies;
    for (auto& [time, copy] : found) copies.push_back(std::move(copy));
    return copies;
}

}  // namespace orma
