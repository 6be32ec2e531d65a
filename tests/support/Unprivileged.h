#pragma once
// Running a piece of a test as a user without privileges, so that a file
// without read permission really cannot be read, also when the suite runs as
// root (as it does in CI): the piece runs in a forked child that drops to the
// user "nobody" (65534) first. As any other user it runs in the test process.
//
// The piece returns an empty text when everything held, or what went wrong;
// gtest assertions inside it would be lost in the child.

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace orma::test {

inline constexpr uid_t kNobody = 65534;

/// Whether the suite runs as root: files must then be handed to "nobody".
inline bool runningAsRoot() { return ::geteuid() == 0; }

/// Makes `path` a file its owner may write but not read, owned by the user
/// the unprivileged piece runs as, in a directory that user may write to.
inline void makeWriteOnlyForUnprivileged(const std::filesystem::path& path) {
    ::chmod(path.c_str(), 0200);
    if (!runningAsRoot()) return;
    const std::filesystem::path dir = path.parent_path();
    [[maybe_unused]] const int fileOwner = ::chown(path.c_str(), kNobody, kNobody);
    [[maybe_unused]] const int dirOwner = ::chown(dir.c_str(), kNobody, kNobody);
}

/// Runs `piece` without privileges and returns its text; a child that could
/// not drop its privileges or died says so.
inline std::string runUnprivileged(const std::function<std::string()>& piece) {
    if (!runningAsRoot()) return piece();
    int channel[2];
    if (::pipe(channel) != 0) return "no pipe for the unprivileged child";
    const pid_t child = ::fork();
    if (child < 0) return "cannot fork the unprivileged child";
    if (child == 0) {
        ::close(channel[0]);
        std::string said;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
            ::geteuid() == 0)
            said = "cannot drop to the user nobody";
        else
            said = piece();
        const char* at = said.data();
        std::size_t left = said.size();
        while (left > 0) {
            const ssize_t n = ::write(channel[1], at, left);
            if (n <= 0) break;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);  // no destructors, no leak report of the copied process
    }
    ::close(channel[1]);
    std::string said;
    char buffer[512];
    ssize_t n = 0;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) said += " (the unprivileged child died)";
    return said;
}

}  // namespace orma::test
