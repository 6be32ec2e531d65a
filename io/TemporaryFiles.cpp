#include "io/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>

namespace orma {
namespace {

constexpr std::string_view kOwnerMark = ".orma-";
constexpr std::string_view kTemporaryEnd = ".tmp";

// A slot is Free, being Filled by the thread that claimed it, or Armed: only
// an armed slot's path is complete, so only those are unlinked by the handler.
enum SlotState : int { Free = 0, Filled = 1, Armed = 2 };

constexpr int kSlots = 32;
struct Slot {
    std::atomic<int> state{Free};
    char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");
Slot g_slots[kSlots];

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeFilesAndEnd(int signalNumber) {
    const int savedErrno = errno;
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) == Armed) ::unlink(slot.path);
    }
    errno = savedErrno;
    // The handler was reset to the default on entry (SA_RESETHAND); the signal
    // raised again is delivered when the handler returns and ends the process
    // with the status its sender expects.
    ::raise(signalNumber);
}

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

/// A process that is gone: kill(pid, 0) answers ESRCH. A process of another
/// user answers EPERM and counts as alive.
bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

std::string temporaryFileName(std::string_view targetName, pid_t pid, unsigned serial) {
    std::string name = ".";
    name += targetName;
    name += kOwnerMark;
    name += std::to_string(pid);
    name += '-';
    name += std::to_string(serial);
    name += kTemporaryEnd;
    return name;
}

std::optional<pid_t> temporaryFileOwner(std::string_view name, std::string_view targetName) {
    const std::size_t head = 1 + targetName.size() + kOwnerMark.size();
    if (name.size() <= head + kTemporaryEnd.size() || name.front() != '.' ||
        name.substr(1, targetName.size()) != targetName ||
        name.substr(1 + targetName.size(), kOwnerMark.size()) != kOwnerMark ||
        !name.ends_with(kTemporaryEnd)) {
        return std::nullopt;
    }
    const std::string_view numbers = name.substr(head, name.size() - head - kTemporaryEnd.size());
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos) return std::nullopt;
    const std::string_view pidText = numbers.substr(0, dash), serialText = numbers.substr(dash + 1);
    if (!allDigits(pidText) || !allDigits(serialText) || pidText.front() == '0') return std::nullopt;
    pid_t pid = 0;
    const auto parsed = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
    if (parsed.ec != std::errc() || pid <= 0) return std::nullopt;
    return pid;
}

int removeStaleTemporaryFiles(const std::filesystem::path& target) {
    const std::string targetName = target.filename().string();
    if (targetName.empty()) return 0;
    std::filesystem::path directory = target.parent_path();
    if (directory.empty()) directory = ".";
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::optional<pid_t> owner = temporaryFileOwner(entry->d_name, targetName);
        if (!owner || !processGone(*owner)) continue;
        struct stat status;
        if (::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode))
            continue;
        if (::unlinkat(::dirfd(listing), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(listing);
    return removed;
}

void removeTemporaryFilesOnSignals() {
    for (int signalNumber : kSignals) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeFilesAndEnd;
        sigemptyset(&action.sa_mask);
        for (int other : kSignals) sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

void RemovedOnSignal::watch(const std::filesystem::path& path) {
    release();
    std::error_code error;
    // Absolute, so that the handler finds the file whatever the working directory is by then.
    const std::string text = std::filesystem::absolute(path, error).string();
    if (error || text.size() >= PATH_MAX) return;
    for (int i = 0; i < kSlots; ++i) {
        int expected = Free;
        if (!g_slots[i].state.compare_exchange_strong(expected, Filled, std::memory_order_acq_rel)) continue;
        std::memcpy(g_slots[i].path, text.c_str(), text.size() + 1);
        g_slots[i].state.store(Armed, std::memory_order_release);
        slot_ = i;
        return;
    }
}

void RemovedOnSignal::release() {
    if (slot_ < 0) return;
    g_slots[slot_].state.store(Free, std::memory_order_release);
    slot_ = -1;
}

}  // namespace orma
