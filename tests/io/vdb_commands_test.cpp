// The database file commands: numbered copies that never overwrite, the open
// dialog loop with its messages, the sample database at start.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "SoundingFiles.h"
#include "io/Cp1250Text.h"
#include "io/ProfileInterpretation.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"
#include "support/OutcomeAssertions.h"
#include "support/ScriptedDialogs.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

class VdbCommandsTest : public ::testing::Test {
protected:
    void TearDown() override { dialogs.verifyDone(); }

    /// A database file on disk, read into `db` through the open command.
    std::string openedFile(const std::string& name) {
        const std::string path = dir.file(name);
        test::writeBytes(path, formatVdb(test::makeDatabase(1, 2, 3), path));
        dialogs.expectOpen(path);
        EXPECT_TRUE(openDatabaseWithDialog(db, dialogs));
        return path;
    }

    test::ScratchDir dir{"vdbcmd"};
    test::ScriptedDialogs dialogs;
    VesDatabase db;
};

TEST_F(VdbCommandsTest, SavingTwiceWritesNumberedCopiesAndLeavesTheOriginal) {
    const std::string a = openedFile("a.vdb");
    const std::string original = test::readBytes(a);
    EXPECT_EQ(db.fileName, a);
    EXPECT_EQ(db.saveBaseName, a);

    ASSERT_TRUE(saveDatabaseNext(db, dialogs));
    EXPECT_EQ(db.fileName, a + "_1");
    EXPECT_EQ(sectionCaption(db), "db: " + a + "_1 - loc:L0");
    ASSERT_TRUE(saveDatabaseNext(db, dialogs));
    EXPECT_EQ(db.fileName, a + "_2");
    EXPECT_EQ(test::readBytes(a), original);
    // Each copy names itself in its first line and holds the same records.
    VesDatabase copy;
    ASSERT_TRUE(test::succeeded(readVdbFile(a + "_2", copy)));
    EXPECT_EQ(formatVdb(copy, "x"), formatVdb(db, "x"));
    EXPECT_EQ(test::readBytes(a + "_2").rfind(utf8ToCp1250("název_souboru: " + a + "_2\r\n"), 0), 0u);
}

TEST_F(VdbCommandsTest, ACancelledSaveDialogStillWritesTheNextCopy) {
    const std::string a = openedFile("b.vdb");
    test::writeBytes(a + "_1", "taken");
    dialogs.expectSave(std::nullopt);
    ASSERT_TRUE(saveDatabaseAs(db, dialogs));
    EXPECT_EQ(db.fileName, a + "_2");
    EXPECT_EQ(dialogs.lastFileOptions().filter, "databáze bodů VES|*.vdb");
    EXPECT_EQ(dialogs.lastFileOptions().defaultExtension, "vdb");
    EXPECT_EQ(dialogs.lastFileOptions().proposedName, a);
    EXPECT_EQ(test::readBytes(a + "_1"), "taken");
}

TEST_F(VdbCommandsTest, ANewNameFromTheDialogIsWrittenAsItIsThenNumbered) {
    openedFile("c.vdb");
    const std::string fresh = dir.file("fresh.vdb");
    dialogs.expectSave(fresh);
    ASSERT_TRUE(saveDatabaseAs(db, dialogs));
    EXPECT_EQ(db.fileName, fresh);
    EXPECT_EQ(db.saveBaseName, fresh);
    ASSERT_TRUE(saveDatabaseNext(db, dialogs));
    EXPECT_EQ(db.fileName, fresh + "_1");
    EXPECT_EQ(numberedCopyName(dir.file("Profil.vdb_1"), 2), dir.file("Profil.vdb_2"));
    EXPECT_EQ(numberedCopyName(dir.file("Profil"), 1), dir.file("Profil.vdb_1"));
}

TEST_F(VdbCommandsTest, TheSaveAndTheUnattendedInterpretationNameTheSameNextCopy) {
    const std::string a = openedFile("a.vdb");
    test::writeBytes(a + "_1", "taken");
    std::filesystem::create_symlink(dir.file("gone"), a + "_2");  // a dangling link takes its name too
    EXPECT_EQ(freeDatabaseName(a), a + "_3");
    ASSERT_TRUE(saveDatabaseNext(db, dialogs));
    EXPECT_EQ(db.fileName, a + "_3");
    EXPECT_EQ(freeDatabaseName(dir.file("new.vdb")), dir.file("new.vdb"));
}

TEST(NumberedCopyName, StopsAfterAMillionCopies) {
    std::string last;
    int tried = 0;
    const auto allTaken = [&](const std::string& name) {
        last = name;
        ++tried;
        return true;
    };
    EXPECT_EQ(freeNumberedCopyName("/w/a.vdb", allTaken), std::nullopt);
    EXPECT_EQ(tried, kMaxCopyNumber);
    EXPECT_EQ(last, "/w/a.vdb_1000000");
    EXPECT_EQ(freeNumberedCopyName("/w/a.vdb", [](const std::string& name) { return name != "/w/a.vdb_7"; }),
              "/w/a.vdb_7");
}

TEST_F(VdbCommandsTest, AFailedSaveSaysWhyLeavesNoFileAndKeepsTheName) {
    db.fileName = dir.file("no-such-folder/d.vdb");
    db.saveBaseName = db.fileName;
    // The fixed text, then the cause in the system's words.
    dialogs.expectMessage("Unpossible to create this file RST !\n" + db.fileName + ": " + std::strerror(ENOENT) + ".");
    EXPECT_FALSE(saveDatabaseNext(db, dialogs));
    EXPECT_EQ(db.fileName, dir.file("no-such-folder/d.vdb"));

    VesDatabase unnamed;
    dialogs.expectSave(std::nullopt);
    dialogs.expectMessage("No file chosen");
    EXPECT_FALSE(saveDatabaseNext(unnamed, dialogs));
}

TEST_F(VdbCommandsTest, TheOpenDialogAsksAgainForAMissingFileAndStopsOnCancel) {
    const std::string missing = dir.file("missing.vdb");
    const std::string present = dir.file("present.vdb");
    test::writeBytes(present, formatVdb(test::makeDatabase(2, 1, 4), present));
    dialogs.expectOpen(missing);
    dialogs.expectMessage("File" + missing + "does not exist. Try another one!");
    dialogs.expectOpen(present);
    db.currentLocality = 1;
    ASSERT_TRUE(openDatabaseWithDialog(db, dialogs));
    EXPECT_EQ(dialogs.lastFileOptions().filter, "databáze bodů VES|*.vdb*");
    EXPECT_EQ(dialogs.lastFileOptions().proposedName, missing);
    EXPECT_EQ(db.localities.size(), 2u);
    EXPECT_EQ(db.currentLocality, 1);
    EXPECT_EQ(db.currentPoint, 0);

    dialogs.expectOpen(std::nullopt);
    dialogs.expectMessage("No file chosen");
    EXPECT_FALSE(openDatabaseWithDialog(db, dialogs));
    EXPECT_EQ(db.fileName, present);
}

TEST_F(VdbCommandsTest, ARefusedFileKeepsTheDatabaseAndItsNames) {
    const std::string a = openedFile("keep.vdb");
    const std::string before = formatVdb(db, "same");
    const std::string broken = dir.file("broken.vdb");
    test::writeBytes(broken, "název_souboru: x\r\nmxindex_lokalit: 9");
    dialogs.expectOpen(broken);
    dialogs.expectMessage("Line 2 of " + broken +
                          ": mxindex_lokalit is 9; it must lie between -1 and 4 (localities in a database). The file "
                          "was not opened; the database stays as it was.");
    EXPECT_FALSE(openDatabaseWithDialog(db, dialogs));
    EXPECT_EQ(formatVdb(db, "same"), before);
    EXPECT_EQ(db.fileName, a);
    EXPECT_EQ(db.saveBaseName, a);
}

TEST_F(VdbCommandsTest, TheSampleDatabaseOpensBelowTheWorkingDirectory) {
    const std::filesystem::path work = std::filesystem::path(dir.file("work"));
    const std::string expected = (work / "ves-ukazkova-data/ukazkova-ves-databaze.vdb").string();
    dialogs.expectMessage("File" + expected + " does not exist. Find other!");
    dialogs.expectMessage("Cannot open input file.");
    EXPECT_FALSE(openSampleDatabase(db, work, dialogs));
    EXPECT_EQ(db.fileName, expected);
    EXPECT_EQ(db.activePointCount(), 0);

    std::filesystem::create_directories(work / "ves-ukazkova-data");
    test::writeBytes(expected, formatVdb(test::makeDatabase(1, 1, 5), "x"));
    ASSERT_TRUE(openSampleDatabase(db, work, dialogs));
    EXPECT_EQ(db.activePointCount(), 5);
    EXPECT_EQ(db.saveBaseName, expected);
}

}  // namespace
}  // namespace orma
