// Temporary files of saves that never ended: removed by a process killed
// with SIGINT or SIGTERM, and by the next save after a SIGKILL; the UCM
// export's two files appear companion first. Real processes, real signals.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SoundingFiles.h"
#include "io/SafeFile.h"
#include "io/TemporaryFiles.h"
#include "io/UcmWriter.h"

namespace orma {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::ScratchDir;
using test::writeBytes;

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

/// A child process stopped in the middle of a save of `target`: its temporary
/// file holds a megabyte and it waits to be killed. A child the test did not
/// end is killed when the object goes, so a failed check leaves no process.
class SavingChild {
public:
    SavingChild(const std::string& target, bool handlers, bool ignoreSigint = false) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            // As a program started from a terminal, whatever the test runner ignores.
            ::signal(SIGINT, ignoreSigint ? SIG_IGN : SIG_DFL);
            ::signal(SIGTERM, SIG_DFL);
            if (handlers) removeTemporaryFilesOnSignals();
            NewFileWriter writer;
            if (!writer.open(target, ExistingFile::Refuse) || !writer.write(std::string(1 << 20, 'x')))
                ::_exit(3);
            if (::write(ready[1], "r", 1) != 1) ::_exit(4);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        if (::read(ready[0], &byte, 1) != 1) end(SIGKILL);
        ::close(ready[0]);
    }
    ~SavingChild() {
        if (pid_ > 0) end(SIGKILL);
    }
    SavingChild(const SavingChild&) = delete;
    SavingChild& operator=(const SavingChild&) = delete;

    pid_t pid() const { return pid_; }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    /// Sends `signalNumber` and waits: the signal that ended the child, or
    /// 100 + its exit status.
    /// A child the signal does not end within five seconds is killed (SIGKILL is then the answer).
    int end(int signalNumber) {
        ::kill(pid_, signalNumber);
        int status = 0;
        for (int waited = 0; ::waitpid(pid_, &status, WNOHANG) == 0; ++waited) {
            if (waited == 500) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            ::usleep(10000);
        }
        pid_ = -1;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 100 + WEXITSTATUS(status);
    }

private:
    pid_t pid_ = -1;
};

TEST(TemporaryFiles, OnlyTheExactNameOfTheTargetBelongsToAProcess) {
    EXPECT_EQ(temporaryFileName("pf.vdb", 4321, 7), ".pf.vdb.orma-4321-7.tmp");
    EXPECT_EQ(temporaryFileOwner(".pf.vdb.orma-4321-7.tmp", "pf.vdb"), 4321);
    for (const char* other :
         {".pf.vdb.orma-4321-7.tmp~", "pf.vdb.orma-4321-7.tmp", ".pf.vdb.orma-4321-.tmp",
          ".pf.vdb.orma--7.tmp", ".pf.vdb.orma-04321-7.tmp", ".pf.vdb.orma-43x1-7.tmp",
          ".pf.vdb.orma-0-7.tmp", ".pf.vdb.orma-99999999999999999999-7.tmp", ".pf.vdb.orma-4321.tmp",
          ".pf.vdb_1.orma-4321-7.tmp", ".pf.vd.orma-4321-7.tmp", ".orma-4321-7.tmp"}) {
        EXPECT_FALSE(temporaryFileOwner(other, "pf.vdb")) << other;
    }
}

TEST(TemporaryFiles, SigintAndSigtermTakeTheHalfWrittenFileAlong) {
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        ScratchDir dir("tmp_signals");
        SavingChild child(dir.file("pf.vdb"), true);
        ASSERT_GT(child.pid(), 0);
        const std::vector<std::string> during = namesIn(dir.file(""));
        ASSERT_EQ(during.size(), 1u);
        ASSERT_EQ(temporaryFileOwner(during.front(), "pf.vdb"), child.pid());
        EXPECT_EQ(child.end(signalNumber), signalNumber)
            << "the signal still ends the process as it would have";
        EXPECT_TRUE(namesIn(dir.file("")).empty()) << "signal " << signalNumber;
    }
    // A signal the process ignores (a job started with nohup) stays ignored.
    ScratchDir dir("tmp_ignored");
    SavingChild child(dir.file("pf.vdb"), true, true);
    ASSERT_GT(child.pid(), 0);
    ::kill(child.pid(), SIGINT);
    ::usleep(20000);
    EXPECT_TRUE(child.running()) << "SIGINT did not end it";
    EXPECT_EQ(child.end(SIGKILL), SIGKILL);
}

TEST(TemporaryFiles, AfterSigkillTheNextSaveOfTheTargetRemovesTheDeadProcessesFilesOnly) {
    ScratchDir dir("tmp_sigkill");
    SavingChild child(dir.file("pf.vdb"), true);
    ASSERT_GT(child.pid(), 0);
    const pid_t dead = child.pid();
    ASSERT_EQ(child.end(SIGKILL), SIGKILL);
    ASSERT_EQ(namesIn(dir.file("")).size(), 1u);
    const std::string stale = namesIn(dir.file("")).front();
    ASSERT_EQ(temporaryFileOwner(stale, "pf.vdb"), dead);
    ASSERT_EQ(fs::file_size(dir.file(stale)), 1u << 20) << "SIGKILL cannot be caught: the file stays for now";

    // Files that are not the dead process's temporary files of this target.
    const std::vector<std::string> others = {
        temporaryFileName("pf.vdb", ::getpid(), 9),  // a live process (this one) is still writing it
        temporaryFileName("other.vdb", dead, 0),     // another target
        stale + "x",
        "pf.vdb.orma-" + std::to_string(dead) + "-2.tmp",
    };
    for (const std::string& name : others) writeBytes(dir.file(name), "keep");
    fs::create_directory(dir.file(temporaryFileName("pf.vdb", dead, 1000003)));  // not a regular file

    ASSERT_TRUE(writeWholeFile(dir.file("pf.vdb"), "database", ExistingFile::Refuse));
    EXPECT_FALSE(fs::exists(dir.file(stale)));
    EXPECT_EQ(readBytes(dir.file("pf.vdb")), "database");
    for (const std::string& name : others) EXPECT_EQ(readBytes(dir.file(name)), "keep") << name;
    EXPECT_TRUE(fs::is_directory(dir.file(temporaryFileName("pf.vdb", dead, 1000003))));
}

TEST(TemporaryFiles, TheUcmCompanionAppearsBeforeTheMainScript) {
    ScratchDir dir("tmp_ucm");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.file("").c_str(), IN_CREATE | IN_MOVED_TO), 0);
    ASSERT_FALSE(writeUcmFiles(dir.file("pf.UCM"), UcmScripts{"main", "\r\ncompanion"}));

    std::vector<std::string> appeared;  // the names that came into view, in order
    alignas(inotify_event) char buffer[16384];
    for (ssize_t got; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            const std::string name = event->len > 0 ? event->name : "";
            if (name == "pf.UCM" || name == "pf.UCM_b") appeared.push_back(name);
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    EXPECT_EQ(appeared, (std::vector<std::string>{"pf.UCM_b", "pf.UCM"}))
        << "a reader never finds the main script without its closing part";
    EXPECT_EQ(readBytes(dir.file("pf.UCM_b")), "\r\ncompanion");
}

}  // namespace
}  // namespace orma
