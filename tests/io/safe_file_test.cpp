// Saving safely: whole or nothing, only regular files, bounded reads; and the
// writers built on it (RST records, pictures) under a failing disk.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "SoundingFiles.h"
#include "io/Cp1250Text.h"
#include "io/JpegWriter.h"
#include "io/SafeFile.h"
#include "support/Unprivileged.h"

namespace orma {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::makeWriteOnlyForUnprivileged;
using test::runUnprivileged;
using test::ScratchDir;
using test::writeBytes;

/// Runs `work` in a child process whose files may not grow beyond
/// `limitBytes` (as under `ulimit -f`); returns the child's exit status.
int underFileSizeLimit(rlim_t limitBytes, const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limitBytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(work());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::vector<std::string> entries(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SafeFileRead, RefusesEverythingButARegularFileOfBoundedSize) {
    ScratchDir dir("saferead");
    writeBytes(dir.file("ok.txt"), "abc");
    const ReadResult ok = readRegularFile(dir.file("ok.txt"));
    ASSERT_TRUE(ok) << ok.describe("ok.txt");
    EXPECT_EQ(ok.bytes, "abc");

    fs::create_directory(dir.file("d.GEF"));
    EXPECT_EQ(readRegularFile(dir.file("d.GEF")).problem, FileProblem::Directory);
    EXPECT_EQ(readRegularFile(dir.file("d.GEF")).describe("d.GEF"), "d.GEF is a directory, not a file.");
    ASSERT_EQ(::mkfifo(dir.file("pipe.GEF").c_str(), 0600), 0);
    EXPECT_EQ(readRegularFile(dir.file("pipe.GEF")).problem, FileProblem::NotRegular) << "and it did not block";
    fs::create_symlink("/dev/zero", dir.file("zero.GEF"));
    EXPECT_EQ(readRegularFile(dir.file("zero.GEF")).problem, FileProblem::NotRegular);
    EXPECT_EQ(readRegularFile(dir.file("none.GEF")).problem, FileProblem::Missing);

    // A sparse file: its size is refused before a byte is read.
    fs::resize_file(dir.file("ok.txt"), kMaxInputFileBytes + 1);
    const ReadResult huge = readRegularFile(dir.file("ok.txt"));
    EXPECT_EQ(huge.problem, FileProblem::TooLarge);
    EXPECT_TRUE(huge.bytes.empty());
    EXPECT_NE(huge.describe("x").find("16 MB"), std::string::npos);
    fs::resize_file(dir.file("ok.txt"), kMaxInputFileBytes);
    EXPECT_TRUE(readRegularFile(dir.file("ok.txt"))) << "exactly at the bound is fine";
}

TEST(SafeFileWrite, NewFilesAppearWholeAndExistingOnesAreReplacedOnlyWhenAsked) {
    ScratchDir dir("safewrite");
    const std::string path = dir.file("a.txt");
    ASSERT_TRUE(writeWholeFile(path, "first", ExistingFile::Refuse));
    EXPECT_EQ(writeWholeFile(path, "second", ExistingFile::Refuse).problem, FileProblem::Exists);
    EXPECT_EQ(readBytes(path), "first");

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(writeWholeFile(path, "third", ExistingFile::Replace));
    EXPECT_EQ(readBytes(path), "third");
    struct stat status;
    ::stat(path.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";

    // Through a link the file it names is replaced; the link stays a link.
    fs::create_symlink(path, dir.file("link.txt"));
    ASSERT_TRUE(writeWholeFile(dir.file("link.txt"), "fourth", ExistingFile::Replace));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(readBytes(path), "fourth");

    fs::create_directory(dir.file("sub"));
    EXPECT_EQ(writeWholeFile(dir.file("sub"), "x", ExistingFile::Replace).problem, FileProblem::Directory);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    EXPECT_EQ(writeWholeFile(dir.file("pipe"), "x", ExistingFile::Replace).problem, FileProblem::NotRegular);
    EXPECT_FALSE(writeWholeFile(dir.file("no/such/dir.txt"), "x", ExistingFile::Refuse));
    EXPECT_EQ(entries(dir.file("")), (std::vector<std::string>{"a.txt", "link.txt", "pipe", "sub"}))
        << "no temporary file is left behind";
}

TEST(SafeFileWrite, AFileThatCannotBeReadIsNeverWrittenOver) {
    // As root every file reads: the writing runs as an unprivileged user.
    ScratchDir dir("safeunreadable");
    const std::string path = dir.file("settings.ini");
    writeBytes(path, "the user's settings");
    makeWriteOnlyForUnprivileged(path);
    const std::string said = runUnprivileged([&]() -> std::string {
        const FileResult replaced = writeWholeFile(path, "defaults", ExistingFile::Replace);
        if (replaced.problem != FileProblem::Unreadable) return "replacing did not say the file is unreadable";
        NewFileWriter writer;
        if (writer.open(path, ExistingFile::Replace).problem != FileProblem::Unreadable)
            return "a writer in steps did not say the file is unreadable";
        return {};
    });
    EXPECT_EQ(said, "");
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(readBytes(path), "the user's settings");
    EXPECT_EQ(entries(dir.file("")), std::vector<std::string>{"settings.ini"}) << "no temporary file is left behind";
}

TEST(SafeFileWrite, FailuresUnderAFileSizeLimitLeaveTheOldContentOrNoFile) {
    ScratchDir dir("safelimit");
    const std::string existing = dir.file("records.txt");
    writeBytes(existing, "old record");
    const std::string big(4096, 'x');

    EXPECT_EQ(underFileSizeLimit(1024, [&] { return appendToFile(existing, big) ? 0 : 1; }), 1)
        << "the append fails with an error instead of SIGXFSZ";
    EXPECT_EQ(readBytes(existing), "old record") << "the partial append is cut back";

    const std::string created = dir.file("new.txt");
    EXPECT_EQ(underFileSizeLimit(1024, [&] { return appendToFile(created, big) ? 0 : 1; }), 1);
    EXPECT_FALSE(fs::exists(created)) << "a file the failed append created is removed";

    EXPECT_EQ(underFileSizeLimit(1024, [&] { return writeWholeFile(existing, big, ExistingFile::Replace) ? 0 : 1; }),
              1);
    EXPECT_EQ(readBytes(existing), "old record");
    EXPECT_EQ(entries(dir.file("")), std::vector<std::string>{"records.txt"});

    ASSERT_TRUE(appendToFile(existing, "\r\nnew"));
    EXPECT_EQ(readBytes(existing), "old record\r\nnew");
    EXPECT_EQ(appendToFile(existing, "x", {true, 5}).problem, FileProblem::WouldGrowTooLarge);
    EXPECT_EQ(appendToFile(dir.file("absent"), "x", {false}).problem, FileProblem::Missing);
}

TEST(SafeFileWrite, LineWriterFlushesOneWholePieceAtATime) {
    ScratchDir dir("safelines");
    const std::string path = dir.file("r.txt");
    Cp1250LineWriter writer;
    ASSERT_TRUE(writer.createNew(path));
    writer.writeLine("one");
    EXPECT_FALSE(fs::exists(path)) << "nothing reaches the disk before the flush";
    ASSERT_TRUE(writer.flush());
    const int status = underFileSizeLimit(5, [&] {
        writer.writeLine("two");
        return writer.flush() ? 0 : 1;
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(readBytes(path), "one");
    ASSERT_TRUE(writer.close());
    EXPECT_FALSE(writer.openForAppend(dir.file(""))) << "a directory";
}

TEST(JpegWriterSaving, AFailedWriteKeepsThePreviousPicture) {
    ScratchDir dir("jpegsafe");
    const std::string path = dir.file("plot.jpg");
    writeBytes(path, "previous picture");
    std::vector<std::uint8_t> rgb(300 * 200 * 3, 0x80);
    const int status = underFileSizeLimit(512, [&] { return writeJpeg(path, rgb.data(), 300, 200, 900).ok ? 0 : 1; });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(readBytes(path), "previous picture");
    EXPECT_EQ(entries(dir.file("")), std::vector<std::string>{"plot.jpg"});
    fs::create_directory(dir.file("dir.jpg"));
    EXPECT_FALSE(writeJpeg(dir.file("dir.jpg"), rgb.data(), 300, 200, 900).ok);
}

}  // namespace
}  // namespace orma
