// The section window of an installed program: it opens the installed sample
// database, and every save of it (Ctrl+U, Ctrl+Alt+U, the question at End)
// goes to the user's documents folder, never into the installation, also
// when the process may write there (root).

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "SectionFixture.h"
#include "io/ProgramFolders.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"
#include "support/FileBytes.h"
#include "support/OutcomeAssertions.h"
#include "ui/platform/StatusLine.h"

namespace orma::ui::test {
namespace {

class InstalledSampleTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        const fs::path sample = dir_ / "usr/share/orma/samples" / kSampleDatabase;
        fs::create_directories(dir_ / "usr/bin");
        fs::create_directories(sample.parent_path());
        ASSERT_TRUE(writeVdbFile(spreadProfile(4), sample.string()));
        FolderFacts facts;
        facts.programDirectory = dir_ / "usr/bin";
        facts.currentDirectory = dir_ / "work";
        facts.documentsDirectory = dir_ / "home/Documents";
        facts.configDirectory = dir_ / "home/.config/orma";
        fs::create_directories(facts.currentDirectory);
        folders_ = findProgramFolders(facts);
        section_->setStartDatabase(folders_.startDatabase);
        section_->setSaveRules(folders_.saveRules);
        before_ = installedFiles();
    }

    std::vector<std::string> installedFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir_ / "usr"))
            files.push_back(entry.path().string() +
                            (entry.is_regular_file() ? " " + std::to_string(entry.file_size()) : std::string()));
        std::sort(files.begin(), files.end());
        return files;
    }

    void deleteAPoint() {
        VesDatabase& db = section_->database();
        db.currentPoint = 2;
        dialogs_.expectQuestion("Delete the VES point " + db.activeProfile()->points[2].name + " from the profile?",
                                true);
        section_->deleteCurrentPoint();
    }

    std::string documents(const std::string& name) const { return (dir_ / "home/Documents/orma" / name).string(); }

    ProgramFolders folders_;
    std::vector<std::string> before_;
};

TEST_F(InstalledSampleTest, OpensReadOnlyAndSavesNumberedCopiesInTheDocumentsFolder) {
    section_->FormShow();
    const std::string sample = folders_.startDatabase.file.string();
    EXPECT_EQ(section_->database().fileName, sample);
    EXPECT_EQ(section_->database().activePointCount(), 4);
    EXPECT_NE(section_->statusLine().fullText().toStdString().find("saves go to " + (dir_ / "home/Documents/orma").string()),
              std::string::npos)
        << section_->statusLine().fullText().toStdString();

    deleteAPoint();
    section_->saveDatabaseNextCopy();  // Ctrl+U
    EXPECT_EQ(section_->database().fileName, documents("ukazkova-ves-databaze.vdb_1"));
    EXPECT_FALSE(section_->hasUnsavedChanges());
    VesDatabase saved;
    ASSERT_TRUE(orma::test::succeeded(readVdbFile(documents("ukazkova-ves-databaze.vdb_1"), saved)));
    EXPECT_EQ(saved.localities[0].profiles[0].points.size(), 3u);

    // Save as proposes the documents folder, not the installation.
    dialogs_.expectSave(std::nullopt);
    section_->saveDatabaseUnderChosenName();  // Ctrl+Alt+U, cancelled: the next copy
    EXPECT_EQ(section_->database().fileName, documents("ukazkova-ves-databaze.vdb_2"));
    EXPECT_EQ(installedFiles(), before_);
}

TEST_F(InstalledSampleTest, TheSaveAskedForAtEndGoesToTheDocumentsFolderToo) {
    section_->FormShow();
    deleteAPoint();
    dialogs_.expectSaveQuestion("The database " + folders_.startDatabase.file.string() +
                                    " has changes that are not saved.\n"
                                    "Save them (as the next numbered copy) before the program ends?",
                                SaveAnswer::Save);
    EXPECT_TRUE(section_->mayEndProgram());
    EXPECT_TRUE(fs::is_regular_file(documents("ukazkova-ves-databaze.vdb_1")));
    EXPECT_EQ(installedFiles(), before_);
}

TEST_F(InstalledSampleTest, ADatabaseNamedOnTheCommandLineOpensInstead) {
    const std::string mine = path("mine.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(6), mine));
    section_->setDatabaseToOpen(mine);
    section_->FormShow();
    EXPECT_EQ(section_->database().fileName, mine);
    EXPECT_EQ(section_->database().activePointCount(), 6);
}

TEST_F(InstalledSampleTest, ABrokenDatabaseOnTheCommandLineIsSaidAndTheSampleOpens) {
    const std::string broken = path("broken.vdb");
    orma::test::writeBytes(broken, "not a database\r\n");
    section_->setDatabaseToOpen(broken);
    dialogs_.allowAnyMessages();
    section_->FormShow();
    EXPECT_FALSE(dialogs_.messages().empty());
    EXPECT_EQ(section_->database().fileName, folders_.startDatabase.file.string());
    EXPECT_EQ(section_->database().activePointCount(), 4);
}

}  // namespace
}  // namespace orma::ui::test
