// Three transfers, then the session is killed with SIGKILL: a real child
// process that builds both windows, stores three soundings and dies. A fresh
// section window on the same state folder offers the three points back.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <QPushButton>

#include "SectionFixture.h"
#include "io/RecoveryCopy.h"
#include "support/FileBytes.h"

extern char** environ;

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

/// Runs the helper with `arguments` and waits for its end; the wait status.
int runHelper(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::string program = ORMA_RECOVERY_CRASH_HELPER;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return status;
}

TEST_F(SectionTest, AfterSigkillTheThreeTransferredPointsAreOfferedBack) {
    // The working directory of the killed session: the sample database
    // (older than anything the session writes) and three new soundings.
    const fs::path sampleFolder = dir_ / "ves-ukazkova-data";
    fs::create_directories(sampleFolder);
    const std::string sample = (sampleFolder / "ukazkova-ves-databaze.vdb").string();
    writeBytes(sample, readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb"));
    fs::last_write_time(sample, fs::file_time_type::clock::now() - std::chrono::minutes(10));
    const std::string sampleBytes = readBytes(sample);
    const std::string gef = readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/profile1/VES100.GEF");
    fs::create_directories(dir_ / "field");
    std::vector<std::string> arguments{dir_.string()};
    for (const char* name : {"VES1001.GEF", "VES1002.GEF", "VES1003.GEF"}) {
        arguments.push_back((dir_ / "field" / name).string());
        writeBytes(arguments.back(), gef);
    }

    const int status = runHelper(arguments);
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(readBytes(sample), sampleBytes) << "the database itself is never written";

    // The next start: the sample opens, then the recovery copy is offered.
    const std::vector<FoundRecoveryCopy> found = findRecoveryCopies(recoveryDirectory());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].database, sample);
    dialogs_.expectSaveQuestion("The program ended on " + found[0].savedAt +
                                    " without saving the changes of the database " + sample +
                                    ". Its recovery copy holds them:\n" + found[0].copy.string() +
                                    "\n\nOpen: open the recovery copy (it still needs saving).\n"
                                    "Throw away: delete the recovery copy.\nCancel: keep it for the next start.",
                                SaveAnswer::Save, "Open", "Throw away");
    section_->FormShow();

    const Profile& profile = *section_->database().activeProfile();
    ASSERT_EQ(profile.points.size(), 12u + 3u);
    for (int i = 0; i < 3; ++i) {
        const VesPoint& point = profile.points[12 + static_cast<std::size_t>(i)];
        EXPECT_EQ(point.name, "VES100" + std::to_string(i + 1));
        EXPECT_EQ(point.profileChainage, 1001.0f + static_cast<float>(i));
        EXPECT_EQ(point.MDLmx, 2) << "with its model";
        EXPECT_GT(point.Mermx, 0) << "and its readings";
    }
    EXPECT_TRUE(section_->hasUnsavedChanges());
    EXPECT_EQ(section_->database().fileName, sample);
}

TEST_F(SectionTest, AfterSigkillAModelThatWasNeverTransferredIsOfferedBack) {
    const fs::path sampleFolder = dir_ / "ves-ukazkova-data";
    fs::create_directories(sampleFolder);
    writeBytes((sampleFolder / "ukazkova-ves-databaze.vdb").string(),
               readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb"));
    const std::string gef = (dir_ / "VES1007.GEF").string();
    writeBytes(gef, readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/profile1/VES100.GEF"));

    const int status = runHelper({dir_.string(), "--unstored", gef});
    ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
    EXPECT_TRUE(findRecoveryCopies(recoveryDirectory()).empty()) << "the database was not changed";
    const fs::path copy = window_->interpretationRecoveryFile();
    ASSERT_TRUE(fs::exists(copy));

    dialogs_.expectSaveQuestion("The program ended on " + recoveryCopyTime(copy) +
                                    " without keeping the interpretation of VES1007.GEF: it was in no database. Its "
                                    "recovery copy holds it:\n" +
                                    copy.string() +
                                    "\n\nOpen: open it here (transfer it into a profile to keep it).\n"
                                    "Throw away: delete the recovery copy.\nCancel: keep it for the next start.",
                                SaveAnswer::Save, "Open", "Throw away");
    section_->FormShow();
    dialogs_.verifyDone();
    const Sounding& back = window_->sounding();
    EXPECT_TRUE(back.curveLoaded);
    EXPECT_EQ(back.model.interfaceCount, 2) << "the model drawn before the kill";
    EXPECT_FALSE(window_->showsStoredPoint()) << "no point of the database: it can be transferred";
    EXPECT_FALSE(window_->importdorezu->isHidden());
    EXPECT_TRUE(window_->hasUnsavedInterpretation());

    // Stored now: the copy has done its work.
    const std::size_t before = section_->database().activeProfile()->points.size();
    window_->transferByButton();
    EXPECT_EQ(section_->database().activeProfile()->points.size(), before + 1);
    EXPECT_EQ(section_->database().activeProfile()->points.back().MDLmx, 2);
    EXPECT_FALSE(window_->hasUnsavedInterpretation());
    EXPECT_FALSE(fs::exists(copy));
}

}  // namespace
}  // namespace orma::ui::test
