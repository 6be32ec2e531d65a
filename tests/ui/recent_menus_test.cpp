// Database > "Recent databases" and File > "Recent GEF folders": what was
// opened or saved is one click away, the click goes the way of Ctrl+O (and
// of F1), and an entry that is gone is said and dropped.

#include <QAction>
#include <QMenu>

#include "SectionFixture.h"
#include "io/RecentFiles.h"
#include "io/VdbFile.h"
#include "support/FileBytes.h"
#include "ui/platform/RecentMenu.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;
using orma::test::writeBytes;

class RecentMenusTest : public SectionTest {
protected:
    std::vector<std::string> databases() {
        section_->recentDatabases().refresh();
        return section_->recentDatabases().entries();
    }
    std::vector<std::string> folders() {
        window_->recentGefFolders().refresh();
        return window_->recentGefFolders().entries();
    }
    std::string changesQuestion(const std::string& name) const {
        return "The database " + name +
               " has changes that are not saved.\nSave them (as the next numbered copy) before another "
               "database "
               "is opened?";
    }
};

TEST_F(RecentMenusTest, DatabasesOpenedAndSavedComeFirstAndOpenWithOneClick) {
    EXPECT_TRUE(databases().empty());
    QMenu* menu = section_->recentDatabases().menu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_FALSE(menu->actions()[0]->isEnabled()) << "an empty list shows one disabled line";

    const std::string a = path("a&b.vdb"), other = path("other.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(4), a));
    ASSERT_TRUE(writeVdbFile(spreadProfile(2), other));
    dialogs_.expectOpen(a);
    section_->openDatabase();
    section_->saveDatabaseNextCopy();  // Ctrl+U: a&b.vdb_1
    dialogs_.expectOpen(other);
    section_->openDatabase();
    EXPECT_EQ(databases(), (std::vector<std::string>{other, a + "_1", a}));
    // The menu names each with its number; an ampersand stays an ampersand.
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[1]->text().toStdString(), "&2  " + path("a&&b.vdb_1"));

    // One click: the numbered copy opens, and goes first.
    menu->actions()[1]->trigger();
    EXPECT_EQ(section_->database().fileName, a + "_1");
    EXPECT_EQ(section_->database().activePointCount(), 4);
    EXPECT_EQ(databases().front(), a + "_1");

    // Unsaved changes are settled first, with the question of Ctrl+O; Cancel
    // keeps everything.
    section_->database().currentPoint = 3;
    dialogs_.expectQuestion("Delete the VES point VES 103 from the profile?", true);
    section_->deleteCurrentPoint();
    dialogs_.expectSaveQuestion(changesQuestion(a + "_1"), SaveAnswer::Cancel);
    section_->openRecentDatabase(other);
    EXPECT_EQ(section_->database().fileName, a + "_1");
    EXPECT_EQ(section_->database().activePointCount(), 3);
    // Save: the next numbered copy is written, then the other opens.
    dialogs_.expectSaveQuestion(changesQuestion(a + "_1"), SaveAnswer::Save);
    section_->openRecentDatabase(other);
    EXPECT_EQ(section_->database().fileName, other);
    EXPECT_EQ(databases(), (std::vector<std::string>{other, a + "_2", a + "_1", a}));
}

TEST_F(RecentMenusTest, ADatabaseThatIsGoneIsSaidDroppedAndNothingElseHappens) {
    const std::string a = path("a.vdb"), gone = path("gone.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(4), a));
    ASSERT_TRUE(writeVdbFile(spreadProfile(2), gone));
    for (const std::string& name : {gone, a}) {
        dialogs_.expectOpen(name);
        section_->openDatabase();
    }
    fs::remove(gone);
    section_->database().currentPoint = 3;
    dialogs_.expectQuestion("Delete the VES point VES 103 from the profile?", true);
    section_->deleteCurrentPoint();
    // Said before any question about the unsaved changes.
    dialogs_.expectMessage("The database " + gone +
                           " is not there any more. It is taken off the list of recent databases.");
    section_->openRecentDatabase(gone);
    EXPECT_EQ(databases(), std::vector<std::string>{a});
    EXPECT_EQ(section_->database().fileName, a);
    EXPECT_TRUE(section_->hasUnsavedChanges());
}

TEST_F(RecentMenusTest, GefFoldersOfOpenedFilesOpenTheDialogThereAndTheListIsShared) {
    fs::create_directories(dir_ / "field" / "day1");
    const std::string gef = (dir_ / "field" / "day1" / "VES100.GEF").string();
    writeBytes(gef, readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/profile1/VES100.GEF"));
    dialogs_.allowAnyMessages();  // whatever the reader says of the file
    dialogs_.expectOpen(gef);
    window_->openGefFile();
    dialogs_.allowAnyMessages(false);
    ASSERT_TRUE(window_->sounding().curveLoaded);
    EXPECT_EQ(folders(), std::vector<std::string>{(dir_ / "field" / "day1").string()});

    // A database opened meanwhile shares the file and keeps the folder.
    const std::string db = path("a.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(2), db));
    dialogs_.expectOpen(db);
    section_->openDatabase();
    EXPECT_EQ(folders().size(), 1u);
    RecentLists lists;
    ASSERT_TRUE(readRecentLists(recentFilesPath(dir_), lists));
    EXPECT_EQ(lists.databases, std::vector<std::string>{db});

    // The click opens F1's dialog in that folder.
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen");
    window_->recentGefFolders().menu()->actions()[0]->trigger();
    EXPECT_EQ(dialogs_.lastFileOptions().proposedName, (dir_ / "field" / "day1" / "").string());
    EXPECT_EQ(dialogs_.lastFileOptions().filter, gefOpenDialogOptions(window_->sounding()).filter);

    // A folder that is gone is said and dropped, without a dialog.
    fs::remove_all(dir_ / "field");
    dialogs_.expectMessage("The folder " + (dir_ / "field" / "day1").string() +
                           " is not there any more. It is taken off the list of recent GEF folders.");
    window_->openRecentGefFolder((dir_ / "field" / "day1").string());
    EXPECT_TRUE(folders().empty());
}

TEST_F(RecentMenusTest, AListThatCannotBeKeptIsSaidOnceAndOpeningGoesOn) {
    fs::create_directory(recentFilesPath(dir_));  // a folder where the list goes
    const std::string a = path("a.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(2), a));
    dialogs_.expectOpen(a);
    dialogs_.expectMessage("The list of recent files could not be saved.\n" + recentFilesPath(dir_).string() +
                           " is a directory, not a file.");
    section_->openDatabase();
    EXPECT_EQ(section_->database().fileName, a);
    dialogs_.expectOpen(a);
    section_->openDatabase();  // said once only
    EXPECT_TRUE(databases().empty());
}

}  // namespace
}  // namespace orma::ui::test
