#pragma once
// Reading and saving files safely. Every reader and writer of the program goes
// through these few functions, so that:
//
//  * only regular files are ever opened: a directory, device, pipe or socket
//    is refused after a stat(), before it is opened, and the descriptor is
//    checked again after opening (O_NONBLOCK, so a FIFO never blocks);
//  * a read is bounded: a file larger than the bound is refused before its
//    first byte is read (a sounding holds at most 99 readings, so no file of
//    the program comes near the 16 MB of kMaxInputFileBytes);
//  * a file is written whole or not at all:
//      - a new file, or a new version of an existing one, is written to a
//        temporary file in the same directory, pushed to the disk, checked,
//        and only then renamed into place; on any failure the temporary file
//        is removed and the old file (or no file) stays as it was;
//      - an append is formatted completely in memory by the caller, written
//        in one call, and on any failure the file is cut back to its old
//        length (a file that the append created is removed again);
//  * a file that cannot be read is never written over.
//
// A write beyond the process's file-size limit (ulimit -f) fails with EFBIG
// here instead of killing the program with SIGXFSZ.
//
// Typical use:
//
//     const FileResult saved = writeWholeFile(path, bytes, ExistingFile::Replace);
//     if (!saved) messages.push_back(saved.describe(path.string()));
//
//     const ReadResult in = readRegularFile(path);
//     if (!in) messages.push_back(in.describe(path.string()));
//     else parse(in.bytes);
//
// No Qt, no exceptions: every outcome is a FileResult.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/TemporaryFiles.h"

namespace orma {

/// The largest file any reader of the program accepts.
inline constexpr std::uint64_t kMaxInputFileBytes = 16u * 1024u * 1024u;

enum class FileProblem {
    None,
    Missing,     ///< the file (or its directory) does not exist
    Directory,   ///< the path names a directory
    NotRegular,  ///< a device, pipe, socket or other special file
    TooLarge,    ///< larger than the bound of the read
    WouldGrowTooLarge,  ///< an append would make the file larger than its bound
    Exists,      ///< a new file was asked for and the name is taken
    Unreadable,  ///< an existing file that cannot be read (and so is not written over)
    NoNewFileInFolder,  ///< the temporary file a save starts with cannot be made beside the target
    Failed,      ///< a system call failed; `error` holds errno
};

/// The outcome of a file operation; true when it succeeded.
struct FileResult {
    FileProblem problem = FileProblem::None;
    int error = 0;                ///< errno of the failing call, 0 if none
    std::uint64_t limit = 0;      ///< the size bound, for TooLarge

    explicit operator bool() const { return problem == FileProblem::None; }
    /// One sentence for the user naming the file and the cause, e.g.
    /// "/tmp/a.GEF is a directory, not a file."
    std::string describe(const std::string& path) const;
};

struct ReadResult : FileResult {
    std::string bytes;  ///< the whole file when the read succeeded
};

/// A file opened for reading by openRegularFile.
struct OpenedFile : FileResult {
    int descriptor = -1;     ///< open (without waiting) when the checks passed; the caller closes it
    std::uint64_t size = 0;  ///< the file's size when it was opened
};

/// Opens a regular file of at most `maxBytes` bytes for reading, with the
/// checks readRegularFile makes before its first read (what is no regular
/// file is refused before it is opened and again after). For a reader that
/// reads in pieces (the database); the bound of what it reads is its own.
OpenedFile openRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes = kMaxInputFileBytes);

/// Reads a whole regular file of at most `maxBytes` bytes.
ReadResult readRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes = kMaxInputFileBytes);

/// What writeWholeFile does when the target exists.
enum class ExistingFile {
    Refuse,   ///< the file must be new: an existing name fails with Exists
    Replace,  ///< an existing regular, readable file is replaced as a whole
};

/// Writes `bytes` as the whole content of `target` through a temporary file in
/// the same directory (renamed into place only when everything was written and
/// synced). Replace keeps the old file's permission bits and writes through a
/// symbolic link to the file it names. Refuse never replaces a file, not even
/// one that appears while writing.
FileResult writeWholeFile(const std::filesystem::path& target, std::string_view bytes, ExistingFile existing);

/// A new file written in steps: the temporary file is created first, so that
/// the caller learns early whether the file can be created at all, and the
/// target appears only at commit(). Destroying an uncommitted one removes
/// the temporary file, and so does a signal that ends the process
/// (io/TemporaryFiles.h); opening first removes the temporary files of the
/// same target left by processes that no longer exist.
class NewFileWriter {
public:
    NewFileWriter() = default;
    ~NewFileWriter();
    NewFileWriter(const NewFileWriter&) = delete;
    NewFileWriter& operator=(const NewFileWriter&) = delete;

    /// Checks the target and creates the temporary file beside it.
    FileResult open(const std::filesystem::path& target, ExistingFile existing);
    bool isOpen() const { return descriptor_ >= 0; }
    /// Writes all of `bytes` (the caller formats the whole content first).
    FileResult write(std::string_view bytes);
    /// Syncs, closes and renames the temporary file into place.
    FileResult commit();
    /// Removes the temporary file; the target is left as it was.
    void discard();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    ExistingFile existing_ = ExistingFile::Refuse;
    int descriptor_ = -1;
    FileResult failure_;
    RemovedOnSignal removedOnSignal_;
};

struct AppendOptions {
    bool createIfMissing = true;
    /// The file may not grow beyond this (a reader would refuse it then).
    std::uint64_t maxResultBytes = kMaxInputFileBytes;
};

/// Appends `bytes` to a regular file in one write; on any failure the file is
/// cut back to its old length, or removed if this call created it.
FileResult appendToFile(const std::filesystem::path& target, std::string_view bytes, AppendOptions options = {});

}  // namespace orma
