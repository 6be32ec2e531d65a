#include "io/SafeFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace orma {

namespace {

FileResult failure(FileProblem problem, int error = 0) {
    FileResult result;
    result.problem = problem;
    result.error = error;
    return result;
}

/// The problem behind a failed open() or stat() of a file that should exist.
FileResult openFailure(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return failure(FileProblem::Missing, error);
        case EISDIR: return failure(FileProblem::Directory, error);
        case ENXIO:
        case ENODEV: return failure(FileProblem::NotRegular, error);
        case EACCES:
        case EPERM: return failure(FileProblem::Unreadable, error);
        default: return failure(FileProblem::Failed, error);
    }
}

FileResult regularOnly(const struct stat& status) {
    if (S_ISDIR(status.st_mode)) return failure(FileProblem::Directory);
    if (!S_ISREG(status.st_mode)) return failure(FileProblem::NotRegular);
    return {};
}

/// While alive, a write beyond the file-size limit returns EFBIG instead of
/// ending the process with SIGXFSZ; a SIGXFSZ raised meanwhile is consumed.
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard() {
        sigemptyset(&signal_);
        sigaddset(&signal_, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &signal_, &previousMask_);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigismember(&pending, SIGXFSZ) == 1;
    }
    ~FileSizeSignalGuard() {
        sigset_t pending;
        sigpending(&pending);
        if (!pendingBefore_ && sigismember(&pending, SIGXFSZ) == 1) {
            const timespec noWait{0, 0};
            sigtimedwait(&signal_, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
    }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

private:
    sigset_t signal_{};
    sigset_t previousMask_{};
    bool pendingBefore_ = false;
};

FileResult writeAll(int descriptor, std::string_view bytes) {
    FileSizeSignalGuard guard;
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return failure(FileProblem::Failed, errno);
        }
        if (written == 0) return failure(FileProblem::Failed, EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

/// Renames without ever replacing an existing `to`; returns 0 or an errno.
int renameNoReplace(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
#endif
    // File systems without renameat2: a hard link fails on an existing name.
    if (::link(from, to) == 0) {
        ::unlink(from);
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    struct stat status;
    if (::lstat(to, &status) == 0) return EEXIST;
    return ::rename(from, to) == 0 ? 0 : errno;
}

void syncDirectory(const std::filesystem::path& directory) {
    const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);  // best effort: the rename itself already happened
    ::close(descriptor);
}

std::string megabytes(std::uint64_t bytes) { return std::to_string(bytes / (1024u * 1024u)) + " MB"; }

}  // namespace

std::string FileResult::describe(const std::string& path) const {
    switch (problem) {
        case FileProblem::None: return path + " is fine.";
        case FileProblem::Missing: return "The file " + path + " does not exist.";
        case FileProblem::Directory: return path + " is a directory, not a file.";
        case FileProblem::NotRegular: return path + " is not a regular file (it is a device, pipe or socket).";
        case FileProblem::TooLarge:
            return "The file " + path + " is larger than " + megabytes(limit) + ", more than the program reads.";
        case FileProblem::WouldGrowTooLarge:
            return "The file " + path + " would grow beyond " + megabytes(limit) + ", more than the program reads.";
        case FileProblem::Exists: return "The file " + path + " already exists.";
        case FileProblem::Unreadable:
            return "The file " + path + " cannot be read (" + std::strerror(error) + ").";
        case FileProblem::NoNewFileInFolder:
            return "No new file can be made in the folder of " + path + " (" + std::strerror(error) + ").";
        case FileProblem::Failed: return path + ": " + std::strerror(error) + ".";
    }
    return path;
}

OpenedFile openRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
    OpenedFile opened;
    const auto fail = [&opened](const FileResult& why) {
        static_cast<FileResult&>(opened) = why;
        return opened;
    };
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) return fail(openFailure(errno));
    if (const FileResult kind = regularOnly(status); !kind) return fail(kind);
    FileResult tooLarge = failure(FileProblem::TooLarge);
    tooLarge.limit = maxBytes;
    if (static_cast<std::uint64_t>(status.st_size) > maxBytes) return fail(tooLarge);

    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return fail(openFailure(errno));
    // The name may have been switched to something else since the stat().
    if (::fstat(descriptor, &status) != 0 || !regularOnly(status)) {
        ::close(descriptor);
        return fail(failure(FileProblem::NotRegular));
    }
    opened.descriptor = descriptor;
    opened.size = static_cast<std::uint64_t>(status.st_size);
    return opened;
}

ReadResult readRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
    ReadResult result;
    const OpenedFile opened = openRegularFile(path, maxBytes);
    if (!opened) {
        static_cast<FileResult&>(result) = opened;
        return result;
    }
    const int descriptor = opened.descriptor;
    const auto fail = [&result](const FileResult& why) {
        static_cast<FileResult&>(result) = why;
        return result;
    };
    FileResult tooLarge = failure(FileProblem::TooLarge);
    tooLarge.limit = maxBytes;
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(opened.size) + 1);
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) break;  // the file grew past the bound while being read
            bytes.resize(std::min<std::uint64_t>(maxBytes + 1, filled * 2 + 4096));
        }
        const ssize_t got = ::read(descriptor, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(descriptor);
            return fail(failure(FileProblem::Failed, error));
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    if (filled > maxBytes) return fail(tooLarge);
    bytes.resize(filled);
    result.bytes = std::move(bytes);
    return result;
}

NewFileWriter::~NewFileWriter() { discard(); }

FileResult NewFileWriter::open(const std::filesystem::path& target, ExistingFile existing) {
    discard();
    failure_ = {};
    existing_ = existing;
    target_ = target;
    mode_t keptMode = 0;
    bool keepMode = false;

    struct stat status;
    if (::lstat(target.c_str(), &status) == 0) {
        if (existing == ExistingFile::Refuse) return failure(FileProblem::Exists);
        if (S_ISLNK(status.st_mode)) {
            // Replace the file the link names, not the link.
            std::error_code error;
            const std::filesystem::path resolved = std::filesystem::canonical(target, error);
            if (error) return failure(FileProblem::Missing, error.value());
            target_ = resolved;
        }
        if (::stat(target_.c_str(), &status) != 0) return openFailure(errno);
        if (const FileResult kind = regularOnly(status); !kind) return kind;
        // A file that cannot be read must not be replaced by one built without it.
        const int probe = ::open(target_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (probe < 0) return failure(FileProblem::Unreadable, errno);
        ::close(probe);
        keptMode = status.st_mode & 07777;
        keepMode = true;
    } else if (errno == ENOTDIR) {
        return failure(FileProblem::NoNewFileInFolder, errno);  // the "folder" is a file
    } else if (errno != ENOENT) {
        return openFailure(errno);
    }

    std::filesystem::path directory = target_.parent_path();
    if (directory.empty()) directory = ".";
    removeStaleTemporaryFiles(target_);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary_ = directory / temporaryFileName(target_.filename().string(), ::getpid(), counter++);
        descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (descriptor_ >= 0) break;
        if (errno != EEXIST) {
            const int error = errno;
            temporary_.clear();
            // A missing folder says so itself; any other refusal is the folder's.
            return failure(error == ENOENT ? FileProblem::Failed : FileProblem::NoNewFileInFolder, error);
        }
    }
    if (descriptor_ < 0) {
        temporary_.clear();
        return failure(FileProblem::NoNewFileInFolder, EEXIST);
    }
    removedOnSignal_.watch(temporary_);
    if (keepMode) ::fchmod(descriptor_, keptMode);
    return {};
}

FileResult NewFileWriter::write(std::string_view bytes) {
    if (!failure_) return failure_;
    if (!isOpen()) return failure(FileProblem::Failed, EBADF);
    failure_ = writeAll(descriptor_, bytes);
    return failure_;
}

FileResult NewFileWriter::commit() {
    if (!isOpen()) return !failure_ ? failure_ : failure(FileProblem::Failed, EBADF);
    FileResult result = failure_;
    if (result && ::fsync(descriptor_) != 0) result = failure(FileProblem::Failed, errno);
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (result && closed != 0) result = failure(FileProblem::Failed, errno);
    if (result) {
        const int error = existing_ == ExistingFile::Replace
                              ? (::rename(temporary_.c_str(), target_.c_str()) == 0 ? 0 : errno)
                              : renameNoReplace(temporary_.c_str(), target_.c_str());
        if (error == 0) {
            removedOnSignal_.release();
            temporary_.clear();
            std::filesystem::path directory = target_.parent_path();
            syncDirectory(directory.empty() ? std::filesystem::path(".") : directory);
            return {};
        }
        result = failure(error == EEXIST ? FileProblem::Exists : FileProblem::Failed, error);
    }
    discard();
    return result;
}

void NewFileWriter::discard() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        removedOnSignal_.release();
        temporary_.clear();
    }
}

FileResult writeWholeFile(const std::filesystem::path& target, std::string_view bytes, ExistingFile existing) {
    NewFileWriter writer;
    if (const FileResult opened = writer.open(target, existing); !opened) return opened;
    if (const FileResult written = writer.write(bytes); !written) return written;
    return writer.commit();
}

FileResult appendToFile(const std::filesystem::path& target, std::string_view bytes, AppendOptions options) {
    constexpr int kFlags = O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    struct stat status;
    int descriptor = -1;
    bool created = false;
    if (::stat(target.c_str(), &status) == 0) {
        if (const FileResult kind = regularOnly(status); !kind) return kind;
        descriptor = ::open(target.c_str(), kFlags);
    } else if (errno == ENOENT && options.createIfMissing) {
        descriptor = ::open(target.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        created = descriptor >= 0;
    } else {
        return openFailure(errno);
    }
    if (descriptor < 0) return failure(errno == ENOENT ? FileProblem::Missing : FileProblem::Failed, errno);
    if (::fstat(descriptor, &status) != 0 || !regularOnly(status)) {
        ::close(descriptor);
        return failure(FileProblem::NotRegular);
    }

    const auto oldSize = static_cast<std::uint64_t>(status.st_size);
    const auto undo = [&]() {
        if (created) {
            ::close(descriptor);
            ::unlink(target.c_str());
            return;
        }
        // Cut back to the old length: the record is written whole or not at all.
        if (::ftruncate(descriptor, static_cast<off_t>(oldSize)) == 0) ::fsync(descriptor);
        ::close(descriptor);
    };
    if (oldSize + bytes.size() > options.maxResultBytes) {
        undo();
        FileResult tooLarge = failure(FileProblem::WouldGrowTooLarge);
        tooLarge.limit = options.maxResultBytes;
        return tooLarge;
    }
    FileResult result = writeAll(descriptor, bytes);
    if (result && ::fsync(descriptor) != 0) result = failure(FileProblem::Failed, errno);
    if (!result) {
        undo();
        return result;
    }
    if (::close(descriptor) != 0) {
        result = failure(FileProblem::Failed, errno);
        if (created) ::unlink(target.c_str());
        else if (::truncate(target.c_str(), static_cast<off_t>(oldSize)) != 0) {
            // Nothing more can be done; the failure is reported either way.
        }
    }
    return result;
}

}  // namespace orma
