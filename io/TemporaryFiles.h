#pragma once
// The temporary files a save writes beside its target, and what becomes of
// them when the save never ends.
//
//  * Their names: "." + target name + ".orma-" + process id + "-" + n + ".tmp"
//    (hidden, and tied to the process that writes them).
//  * A process killed by SIGINT, SIGTERM or SIGHUP removes the files it was
//    writing: each one is registered for the time it exists, in a table of
//    fixed buffers that the signal handler reads without allocating, and the
//    handler unlinks them before the signal ends the process as it would have.
//  * SIGKILL and power cuts cannot be caught: the next save of the same
//    target removes the temporary files of that target whose process is gone.
//
// No Qt.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orma {

/// The temporary file name for `targetName` (a file name without directory).
std::string temporaryFileName(std::string_view targetName, pid_t pid, unsigned serial);

/// The process id in `name` when it is exactly a temporary file name of
/// `targetName`; nullopt for any other name.
std::optional<pid_t> temporaryFileOwner(std::string_view name, std::string_view targetName);

/// Removes the temporary files of `target` in its directory whose process no
/// longer exists (regular files only; those of live processes, and of other
/// targets, stay). Returns how many were removed.
int removeStaleTemporaryFiles(const std::filesystem::path& target);

/// Installs the handlers that remove the registered files on SIGINT, SIGTERM
/// and SIGHUP and then let the signal end the process. A signal the process
/// ignores stays ignored. Called once by a program at start.
void removeTemporaryFilesOnSignals();

/// A file that is removed if the process is ended by one of those signals
/// while this object lives (and the handlers are installed). Paths longer
/// than the table's buffers are not registered.
class RemovedOnSignal {
public:
    RemovedOnSignal() = default;
    explicit RemovedOnSignal(const std::filesystem::path& path) { watch(path); }
    ~RemovedOnSignal() { release(); }
    RemovedOnSignal(const RemovedOnSignal&) = delete;
    RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

    void watch(const std::filesystem::path& path);
    /// The file is no longer removed on a signal (it was renamed into place or deleted).
    void release();

private:
    int slot_ = -1;
};

}  // namespace orma
