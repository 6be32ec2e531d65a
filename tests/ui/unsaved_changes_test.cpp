// Changes of the database that are not saved: the caption's mark, the Save /
// Discard / Cancel question before End (either window, menu or close box) and
// before Open, the recovery copy after every change, and its offer at start.

#include <QAction>
#include <QLineEdit>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "SectionFixture.h"
#include "io/RecoveryCopy.h"
#include "io/SectionSettingsFile.h"
#include "io/VdbFile.h"
#include "support/FileBytes.h"
#include "support/OutcomeAssertions.h"

namespace orma::ui::test {
namespace {

using orma::test::readBytes;

class UnsavedTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        database_ = path("profil.vdb");
        ASSERT_TRUE(writeVdbFile(spreadProfile(4), database_));
        dialogs_.expectOpen(database_);
        section_->openDatabase();
        ASSERT_EQ(db().activePointCount(), 4);
    }

    VesDatabase& db() { return section_->database(); }
    std::string caption() const { return section_->windowTitle().toStdString(); }
    static fs::path stateFolder() { return fs::path(std::getenv("XDG_STATE_HOME")) / "orma"; }
    static int recoveryCopies() {
        std::error_code error;
        int n = 0;
        for (fs::directory_iterator it(stateFolder(), error), end; !error && it != end; it.increment(error)) ++n;
        return n;
    }
    /// A change as the user makes it: the selected point deleted.
    void deleteAPoint() {
        db().currentPoint = 3;
        dialogs_.expectQuestion("Delete the VES point " + db().activeProfile()->points[3].name + " from the profile?",
                                true);
        section_->deleteCurrentPoint();
        ASSERT_EQ(db().activePointCount(), 3);
    }
    std::string endQuestion() const {
        return "The database " + database_ +
               " has changes that are not saved.\nSave them (as the next numbered copy) before the program ends?";
    }

    std::string database_;
};

TEST_F(UnsavedTest, AChangeMarksTheCaptionAndIsKeptInARecoveryCopyUntilSaved) {
    EXPECT_EQ(caption(), "db: " + database_ + " - loc:L0");
    EXPECT_FALSE(section_->hasUnsavedChanges());
    EXPECT_EQ(recoveryCopies(), 0);
    section_->chooseProfile(0);  // a choice is no change
    EXPECT_FALSE(section_->hasUnsavedChanges());

    deleteAPoint();
    EXPECT_TRUE(section_->hasUnsavedChanges());
    EXPECT_EQ(caption(), "*db: " + database_ + " - loc:L0");
    ASSERT_EQ(recoveryCopies(), 1);
    VesDatabase copy;
    ASSERT_TRUE(orma::test::succeeded(readVdbFile(section_->recoveryCopy().path().string(), copy)));
    EXPECT_EQ(copy.localities[0].profiles[0].points.size(), 3u);
    EXPECT_EQ(readBytes(database_ + "_1"), "") << "nothing saved by itself";

    section_->menuItem("Ulodbnamenchdatavsledkjako1")->trigger();  // Ctrl+U
    EXPECT_FALSE(section_->hasUnsavedChanges());
    EXPECT_EQ(caption(), "db: " + database_ + "_1 - loc:L0");
    EXPECT_EQ(recoveryCopies(), 0) << "a save removes the recovery copy";
}

TEST_F(UnsavedTest, EndAsksAndCancelKeepsTheProgramExactlyAsItWas) {
    deleteAPoint();
    const fs::path copy = section_->recoveryCopy().path();
    for (int round = 0; round < 2; ++round) {
        dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Cancel);
        if (round == 0) section_->endProgram();
        else section_->menuItem("Konec1")->trigger();
        EXPECT_EQ(programClosed_, 0);
        EXPECT_FALSE(fs::exists(sectionSettingsPath(dir_))) << "no settings written either";
    }
    // The interpretation window's End and close box ask the same.
    dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Cancel);
    window_->endProgram();
    dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Cancel);
    EXPECT_FALSE(window_->close());
    dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Cancel);
    EXPECT_FALSE(section_->close());
    EXPECT_EQ(programClosed_, 0);
    EXPECT_TRUE(section_->hasUnsavedChanges());
    EXPECT_EQ(db().activePointCount(), 3);
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(database_ + "_1"));
}

TEST_F(UnsavedTest, EndWithDiscardEndsWithoutSavingAndAsksOnlyOnce) {
    deleteAPoint();
    const fs::path copy = section_->recoveryCopy().path();
    dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Discard);
    section_->endProgram();
    EXPECT_EQ(programClosed_, 1);
    EXPECT_FALSE(fs::exists(copy)) << "a discard removes the recovery copy";
    EXPECT_FALSE(fs::exists(database_ + "_1"));
    // The main window closing after it asks nothing more.
    EXPECT_TRUE(window_->close());
}

TEST_F(UnsavedTest, EndWithSaveWritesTheNextNumberedCopyFirst) {
    deleteAPoint();
    dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Save);
    EXPECT_TRUE(window_->close());
    VesDatabase saved;
    ASSERT_TRUE(orma::test::succeeded(readVdbFile(database_ + "_1", saved)));
    EXPECT_EQ(saved.localities[0].profiles[0].points.size(), 3u);
    EXPECT_EQ(recoveryCopies(), 0);
}

TEST_F(UnsavedTest, ASaveThatFailsKeepsTheProgramRunning) {
    deleteAPoint();
    db().fileName.clear();  // nothing to save under, and the dialog is cancelled
    db().saveBaseName.clear();
    dialogs_.expectSaveQuestion(
        "The database without a name has changes that are not saved.\n"
        "Save them (as the next numbered copy) before the program ends?",
        SaveAnswer::Save);
    dialogs_.expectSave(std::nullopt);
    dialogs_.expectMessage("No file chosen");
    section_->endProgram();
    EXPECT_EQ(programClosed_, 0);
    EXPECT_TRUE(section_->hasUnsavedChanges());
}

TEST_F(UnsavedTest, ACancelledNewProfileOrPointDialogChangesNothing) {
    section_->runParametersDialog = [](TVESparametryEdit& dialog) { dialog.reject(); };
    section_->newProfile();
    section_->newLocality();
    EXPECT_EQ(db().localities.size(), 1u);
    EXPECT_EQ(db().localities[0].profiles.size(), 1u);
    EXPECT_EQ(db().currentPoint, 0);
    db().currentPoint = 2;
    section_->editSelectedPoint();  // the point's parameters, cancelled
    EXPECT_FALSE(section_->hasUnsavedChanges());
    EXPECT_EQ(caption(), "db: " + database_ + " - loc:L0");

    section_->runParametersDialog = [](TVESparametryEdit& dialog) {
        dialog.eNazevPf->setText("PF 2");
        dialog.acceptIfValid();
    };
    section_->newProfile();
    EXPECT_EQ(db().localities[0].profiles.size(), 2u);
    EXPECT_EQ(db().activeProfile()->name, "PF 2");
    EXPECT_TRUE(section_->hasUnsavedChanges());
}

TEST_F(UnsavedTest, WithoutChangesEndAsksNothing) {
    section_->chooseLocality(0);
    EXPECT_TRUE(window_->close());
    section_->endProgram();
    EXPECT_EQ(programClosed_, 1);
}

TEST_F(UnsavedTest, OpenAsksFirstAndDiscardedChangesGoOnlyWhenAnotherDatabaseOpens) {
    const std::string other = path("other.vdb");
    ASSERT_TRUE(writeVdbFile(spreadProfile(2), other));
    deleteAPoint();
    const std::string question = "The database " + database_ +
                                 " has changes that are not saved.\n"
                                 "Save them (as the next numbered copy) before another database is opened?";
    dialogs_.expectSaveQuestion(question, SaveAnswer::Cancel);
    section_->openDatabase();  // no open dialog after Cancel

    dialogs_.expectSaveQuestion(question, SaveAnswer::Discard);
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("No file chosen");
    section_->openDatabase();
    EXPECT_TRUE(section_->hasUnsavedChanges()) << "nothing was opened, so nothing is dropped";
    EXPECT_EQ(recoveryCopies(), 1);

    dialogs_.expectSaveQuestion(question, SaveAnswer::Discard);
    dialogs_.expectOpen(other);
    section_->openDatabase();
    EXPECT_EQ(db().activePointCount(), 2);
    EXPECT_FALSE(section_->hasUnsavedChanges());
    EXPECT_EQ(recoveryCopies(), 0);
    EXPECT_EQ(caption(), "db: " + other + " - loc:L0");
}

TEST_F(UnsavedTest, AFitOfAReopenedPointIsAChangeEndAsksAboutAndSaves) {
    clickPoint(1);
    EXPECT_FALSE(section_->hasUnsavedChanges()) << "re-opening changes nothing";
    dialogs_.allowAnyMessages();
    window_->optimizeFit();
    dialogs_.allowAnyMessages(false);
    ASSERT_TRUE(section_->hasUnsavedChanges());
    const LayerModel fitted = window_->sounding().model;
    dialogs_.expectSaveQuestion(endQuestion(), SaveAnswer::Save);
    window_->endProgram();
    VesDatabase saved;
    ASSERT_TRUE(orma::test::succeeded(readVdbFile(database_ + "_1", saved)));
    // Six decimals in the file.
    EXPECT_NEAR(std::fabs(saved.localities[0].profiles[0].points[1].resistivity[0]), fitted.resistivity[0], 1e-5);
}

/// A recovery copy that an earlier run left for `database`, holding `db`.
fs::path leaveRecoveryCopy(VesDatabase db, const std::string& database) {
    db.fileName = database;
    RecoveryCopy earlier;
    EXPECT_TRUE(earlier.write(db));
    return earlier.path();
}

std::string offer(const FoundRecoveryCopy& found) {
    return "The program ended on " + found.savedAt + " without saving the changes of the database " +
           found.database + ". Its recovery copy holds them:\n" + found.copy.string() +
           "\n\nOpen: open the recovery copy (it still needs saving).\nThrow away: delete the recovery copy.\n"
           "Cancel: keep it for the next start.";
}

TEST_F(SectionTest, AtStartARecoveryCopyIsOfferedOpenedAsUnsavedThrownAwayOrKept) {
    const fs::path sampleFolder = dir_ / "ves-ukazkova-data";
    fs::create_directories(sampleFolder);
    const std::string sample = (sampleFolder / "ukazkova-ves-databaze.vdb").string();
    ASSERT_TRUE(writeVdbFile(spreadProfile(2), sample));
    fs::last_write_time(sample, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    const fs::path copy = leaveRecoveryCopy(spreadProfile(5), sample);
    const std::vector<FoundRecoveryCopy> found = findRecoveryCopies(recoveryDirectory());
    ASSERT_EQ(found.size(), 1u);

    // Cancel: kept for the next start, the sample as it is.
    dialogs_.expectSaveQuestion(offer(found[0]), SaveAnswer::Cancel, "Open", "Throw away");
    section_->FormShow();
    EXPECT_EQ(section_->database().activePointCount(), 2);
    EXPECT_TRUE(fs::exists(copy));

    // Open: the copy's contents, standing for the sample, still to be saved.
    dialogs_.expectSaveQuestion(offer(found[0]), SaveAnswer::Save, "Open", "Throw away");
    section_->FormShow();
    EXPECT_EQ(section_->database().activePointCount(), 5);
    EXPECT_EQ(section_->database().fileName, sample);
    EXPECT_TRUE(section_->hasUnsavedChanges());
    EXPECT_EQ(section_->windowTitle().toStdString(), "*db: " + sample + " - loc:L0");
    EXPECT_EQ(section_->recoveryCopy().path(), copy) << "later changes replace the same copy";
    section_->menuItem("Ulodbnamenchdatavsledkjako1")->trigger();
    EXPECT_FALSE(fs::exists(copy)) << "saved: the copy is gone";
    EXPECT_TRUE(fs::exists(sample + "_1"));

    // Throw away: deleted, nothing opened.
    const fs::path another = leaveRecoveryCopy(spreadProfile(3), path("elsewhere.vdb"));
    const std::vector<FoundRecoveryCopy> left = findRecoveryCopies(recoveryDirectory());
    ASSERT_EQ(left.size(), 1u);
    dialogs_.expectSaveQuestion(offer(left[0]), SaveAnswer::Discard, "Open", "Throw away");
    section_->offerRecoveryCopies();
    EXPECT_FALSE(fs::exists(another));
}

}  // namespace
}  // namespace orma::ui::test
