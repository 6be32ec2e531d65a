// Where the program finds its manual and samples and keeps its settings, in
// the build tree and installed; the installed data never written, decided by
// where a file lies (root may write anywhere); the kind of a file named on
// the command line.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "SoundingFiles.h"
#include "io/ProgramFolders.h"
#include "io/StartFile.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"
#include "io/WindowSettingsFile.h"
#include "support/ScriptedDialogs.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

namespace fs = std::filesystem;

/// A prefix laid out as `cmake --install` lays it out, a build tree, a
/// working directory, and the user's home folders.
class ProgramFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(prefix / "bin");
        fs::create_directories(prefix / "share/orma/manual");
        fs::create_directories(installedSample.parent_path());
        test::writeBytes(installedSample.string(), formatVdb(test::makeDatabase(1, 1, 3), installedSample.string()));
        fs::create_directories(buildTree / "app/manual");
        fs::create_directories(work);
    }

    FolderFacts facts(const fs::path& program) const {
        FolderFacts f;
        f.programDirectory = program;
        f.currentDirectory = work;
        f.documentsDirectory = root / "home/Documents";
        f.configDirectory = root / "home/.config/orma";
        return f;
    }

    /// Every file below the prefix's data folder with its size, to see that nothing changed.
    std::vector<std::string> installedFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(prefix / "share/orma"))
            files.push_back(entry.path().string() +
                            (entry.is_regular_file() ? " " + std::to_string(entry.file_size()) : std::string()));
        std::sort(files.begin(), files.end());
        return files;
    }

    test::ScratchDir scratch{"folders"};
    fs::path root = fs::path(scratch.file(""));
    fs::path prefix = root / "usr";
    fs::path installedSample = prefix / "share/orma/samples" / kSampleDatabase;
    fs::path buildTree = root / "build";
    fs::path work = root / "work";
    test::ScriptedDialogs dialogs;
};

TEST_F(ProgramFoldersTest, TheBuildTreeKeepsEverythingInTheWorkingDirectory) {
    const ProgramFolders folders = findProgramFolders(facts(buildTree / "app"));
    EXPECT_TRUE(folders.installedData.empty());
    EXPECT_EQ(folders.settings, work);
    EXPECT_FALSE(folders.settingsInConfigFolder);
    EXPECT_EQ(folders.startDatabase.file, work / kSampleDatabase);  // missing: the window says so, as always
    EXPECT_FALSE(folders.startDatabase.readOnly);
    EXPECT_EQ(folders.manualFolders, (std::vector<fs::path>{buildTree / "app", work}));
    EXPECT_TRUE(folders.saveRules.protectedFolder.empty());
}

TEST_F(ProgramFoldersTest, InstalledItOpensTheInstalledSampleReadOnlyAndKeepsSettingsInTheConfigFolder) {
    const ProgramFolders folders = findProgramFolders(facts(prefix / "bin"));
    EXPECT_EQ(folders.installedData, prefix / "share/orma");
    EXPECT_EQ(folders.startDatabase.file, installedSample);
    EXPECT_TRUE(folders.startDatabase.readOnly);
    EXPECT_EQ(folders.settings, root / "home/.config/orma");
    EXPECT_TRUE(folders.settingsInConfigFolder);
    EXPECT_EQ(folders.manualFolders, (std::vector<fs::path>{prefix / "bin", prefix / "share/orma", work}));
    EXPECT_EQ(folders.saveRules.protectedFolder, prefix / "share/orma");
    EXPECT_EQ(folders.saveRules.refugeFolder, root / "home/Documents/orma");

    // Started through a link or with ".." in its path: the same prefix.
    EXPECT_EQ(findProgramFolders(facts(prefix / "bin/../bin")).installedData, prefix / "share/orma");
}

TEST_F(ProgramFoldersTest, InstalledAProjectFolderKeepsItsOwnSampleAndSettings) {
    fs::create_directories((work / kSampleDatabase).parent_path());
    test::writeBytes((work / kSampleDatabase).string(), "own");
    test::writeBytes((work / kWindowSettingsFileName).string(), "own");
    const ProgramFolders folders = findProgramFolders(facts(prefix / "bin"));
    EXPECT_EQ(folders.startDatabase.file, work / kSampleDatabase);
    EXPECT_FALSE(folders.startDatabase.readOnly);
    EXPECT_EQ(folders.settings, work);

    // A folder this user may not write to: the config folder instead.
    FolderFacts locked = facts(prefix / "bin");
    locked.writable = [](const fs::path&) { return false; };
    EXPECT_EQ(findProgramFolders(locked).settings, root / "home/.config/orma");
}

TEST_F(ProgramFoldersTest, StartedInsideThePrefixItWritesNothingThereEvenAsRoot) {
    // Someone ran `orma` in /usr/share/orma/samples, where a settings file was left
    // by hand; the folder is writable (root), yet it is part of the installation.
    const fs::path samples = prefix / "share/orma/samples";
    test::writeBytes((samples / kWindowSettingsFileName).string(), "left");
    FolderFacts inside = facts(prefix / "bin");
    inside.currentDirectory = samples;
    inside.writable = [](const fs::path&) { return true; };
    const ProgramFolders folders = findProgramFolders(inside);
    EXPECT_EQ(folders.settings, root / "home/.config/orma");
    EXPECT_EQ(folders.startDatabase.file, installedSample);
    EXPECT_TRUE(folders.startDatabase.readOnly);
}

TEST_F(ProgramFoldersTest, TheInstalledSampleIsSavedAsNumberedCopiesInTheDocumentsFolder) {
    const ProgramFolders folders = findProgramFolders(facts(prefix / "bin"));
    const std::vector<std::string> before = installedFiles();
    VesDatabase db;
    ASSERT_TRUE(openStartDatabase(db, folders.startDatabase, dialogs));
    EXPECT_EQ(db.fileName, installedSample.string());

    const fs::path refuge = root / "home/Documents/orma";
    ASSERT_TRUE(saveDatabaseNext(db, dialogs, folders.saveRules));
    EXPECT_EQ(db.fileName, (refuge / "ukazkova-ves-databaze.vdb_1").string());
    EXPECT_TRUE(fs::is_regular_file(db.fileName));
    ASSERT_TRUE(saveDatabaseNext(db, dialogs, folders.saveRules));
    EXPECT_EQ(db.fileName, (refuge / "ukazkova-ves-databaze.vdb_2").string());
    EXPECT_EQ(installedFiles(), before);

    // Save as: the dialog proposes the documents folder; a name in the
    // installed data is refused and nothing is written.
    VesDatabase again;
    ASSERT_TRUE(openStartDatabase(again, folders.startDatabase, dialogs));
    dialogs.expectSave((prefix / "share/orma/samples/mine.vdb").string());
    dialogs.expectMessage(kInstalledDataNotWritten + (prefix / "share/orma").string());
    EXPECT_FALSE(saveDatabaseAs(again, dialogs, folders.saveRules));
    EXPECT_EQ(again.fileName, installedSample.string());
    EXPECT_EQ(installedFiles(), before);
    dialogs.verifyDone();

    // Cancelled, the save goes on as a numbered copy in the documents folder.
    dialogs.expectSave(std::nullopt);
    ASSERT_TRUE(saveDatabaseAs(again, dialogs, folders.saveRules));
    EXPECT_EQ(again.fileName, (refuge / "ukazkova-ves-databaze.vdb_3").string());
    EXPECT_EQ(installedFiles(), before);
}

TEST_F(ProgramFoldersTest, ThePathRuleSeesThroughDotsAndLinks) {
    EXPECT_TRUE(liesWithin(prefix / "share/orma/samples/x.vdb", prefix / "share/orma"));
    EXPECT_TRUE(liesWithin(prefix / "share/orma", prefix / "share/orma/"));
    EXPECT_TRUE(liesWithin(work / "../usr/share/orma/a.vdb", prefix / "share/orma"));
    EXPECT_FALSE(liesWithin(prefix / "share/orma-other/a.vdb", prefix / "share/orma"));
    EXPECT_FALSE(liesWithin(prefix / "share", prefix / "share/orma"));
    EXPECT_FALSE(liesWithin(work / "a.vdb", {}));
    fs::create_directory_symlink(prefix / "share/orma", work / "link");
    EXPECT_TRUE(liesWithin(work / "link/samples/new.vdb", prefix / "share/orma"));
}

TEST(StartFile, TheExtensionTellsTheCommandInAnyCase) {
    EXPECT_EQ(startFileKind("/d/VES100.GEF"), StartFileKind::Gef);
    EXPECT_EQ(startFileKind("ves100.gef"), StartFileKind::Gef);
    EXPECT_EQ(startFileKind("no-extension"), StartFileKind::Gef);
    EXPECT_EQ(startFileKind("a.RST"), StartFileKind::Rst);
    EXPECT_EQ(startFileKind("a.rst"), StartFileKind::Rst);
    EXPECT_EQ(startFileKind("sheet.CSV"), StartFileKind::Sheet);
    EXPECT_EQ(startFileKind("sheet.txt"), StartFileKind::Sheet);
    EXPECT_EQ(startFileKind("pf.vdb"), StartFileKind::Database);
    EXPECT_EQ(startFileKind("pf.VDB_12"), StartFileKind::Database);
    EXPECT_EQ(startFileKind("pf.vdb_"), StartFileKind::Gef);
    EXPECT_EQ(startFileKind("pf.vdb_1x"), StartFileKind::Gef);
}

}  // namespace
}  // namespace orma
