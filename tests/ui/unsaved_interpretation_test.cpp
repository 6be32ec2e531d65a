// Work of the interpretation window that is in no database (a model drawn on
// a GEF file and not transferred): asked about before End, the close box, a
// point of the profile or another curve would drop it; kept in a recovery copy
// until it is transferred or discarded.

#include <QPushButton>

#include "SectionFixture.h"
#include "support/FileBytes.h"

namespace orma::ui::test {
namespace {

using orma::test::kBeforeEnd;
using orma::test::kBeforeStoredPoint;
using orma::test::unsavedWorkQuestion;

class UnsavedInterpretationTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        showDatabase(spreadProfile(3));
        gef_ = (dir_ / "VES1007.GEF").string();
        orma::test::writeBytes(gef_, orma::test::readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/profile1/VES100.GEF"));
    }

    /// Opens the GEF file and gives it a preset model: work in no database.
    void interpret() {
        dialogs_.expectOpen(gef_);
        window_->openGefFile();
        window_->loadKTypeModel();
        dialogs_.verifyDone();
        ASSERT_TRUE(window_->hasUnsavedInterpretation());
    }

    void expectWorkQuestion(const char* before, SaveAnswer answer) {
        dialogs_.expectSaveQuestion(unsavedWorkQuestion(gef_, before), answer, "Transfer");
    }

    std::size_t pointCount() { return section_->database().activeProfile()->points.size(); }

    std::string gef_;
};

TEST_F(UnsavedInterpretationTest, EndAsksCancelKeepsEverythingTransferStoresItBeforeTheDatabaseQuestion) {
    interpret();
    const fs::path copy = window_->interpretationRecoveryFile();
    EXPECT_TRUE(fs::exists(copy)) << "written after the change";

    expectWorkQuestion(kBeforeEnd, SaveAnswer::Cancel);
    window_->endProgram();
    dialogs_.verifyDone();
    EXPECT_TRUE(window_->hasUnsavedInterpretation());
    EXPECT_EQ(window_->sounding().model.interfaceCount, 2);
    EXPECT_TRUE(fs::exists(copy));

    // Transfer: the point dialog, then the database has a change to ask about.
    expectWorkQuestion(kBeforeEnd, SaveAnswer::Save);
    dialogs_.expectSaveQuestion(
        "The database without a name has changes that are not saved.\n"
        "Save them (as the next numbered copy) before the program ends?",
        SaveAnswer::Cancel);
    window_->endProgram();
    dialogs_.verifyDone();
    EXPECT_EQ(pointCount(), 4u);
    EXPECT_EQ(section_->database().activeProfile()->points.back().MDLmx, 2);
    EXPECT_FALSE(window_->hasUnsavedInterpretation());
    EXPECT_FALSE(fs::exists(copy));
}

TEST_F(UnsavedInterpretationTest, DiscardAtTheCloseBoxRemovesTheCopyAndIsAskedOnce) {
    interpret();
    expectWorkQuestion(kBeforeEnd, SaveAnswer::Discard);
    window_->show();
    EXPECT_TRUE(window_->close());
    dialogs_.verifyDone();
    EXPECT_FALSE(fs::exists(window_->interpretationRecoveryFile()));
    EXPECT_EQ(pointCount(), 3u);
    // The section's End asks no more about it.
    EXPECT_TRUE(section_->mayEndProgram());
}

TEST_F(UnsavedInterpretationTest, ACurveOpenedAndNotChangedIsNoWork) {
    dialogs_.expectOpen(gef_);
    window_->openGefFile();
    EXPECT_FALSE(window_->hasUnsavedInterpretation());
    EXPECT_FALSE(fs::exists(window_->interpretationRecoveryFile()));
    window_->endProgram();
    dialogs_.verifyDone();
}

TEST_F(UnsavedInterpretationTest, AClickOnAPointAsksFirstAndCancelKeepsTheWorkOnScreen) {
    interpret();
    const LayerModel model = window_->sounding().model;
    expectWorkQuestion(kBeforeStoredPoint, SaveAnswer::Cancel);
    clickPoint(1);
    dialogs_.verifyDone();
    EXPECT_EQ(window_->sounding().gefPath, gef_);
    EXPECT_FALSE(window_->showsStoredPoint());
    EXPECT_EQ(window_->sounding().model.resistivity, model.resistivity);

    expectWorkQuestion(kBeforeStoredPoint, SaveAnswer::Discard);
    clickPoint(1);
    dialogs_.verifyDone();
    EXPECT_TRUE(window_->showsStoredPoint()) << "the point is open";
    EXPECT_FALSE(window_->hasUnsavedInterpretation());
}

TEST_F(UnsavedInterpretationTest, AReopenedPointStaysOneUntilAFileIsReallyReadInItsPlace) {
    clickPoint(1);
    ASSERT_TRUE(window_->showsStoredPoint());
    dialogs_.allowAnyMessages();
    dialogs_.expectOpen((dir_ / "missing.GEF").string());
    window_->openGefFile();
    EXPECT_TRUE(window_->showsStoredPoint());
    dialogs_.expectOpen(gef_);
    window_->openGefFile();
    dialogs_.verifyDone();
    EXPECT_FALSE(window_->showsStoredPoint());
    EXPECT_EQ(window_->sounding().gefPath, gef_);
}

TEST_F(UnsavedInterpretationTest, AReopenedPointStaysOneWhenAnotherFileIsNotChosen) {
    clickPoint(1);
    ASSERT_TRUE(window_->showsStoredPoint());
    dialogs_.expectOpen(std::nullopt);
    dialogs_.expectMessage("no file chosen");
    window_->openGefFile();
    dialogs_.verifyDone();
    EXPECT_TRUE(window_->showsStoredPoint());

    // Its model changes still go back into the database.
    const std::uint64_t revision = section_->database().revision();
    window_->loadKTypeModel();
    EXPECT_GT(section_->database().revision(), revision);
    EXPECT_EQ(section_->database().activeProfile()->points[1].MDLmx, 2);
    EXPECT_FALSE(window_->hasUnsavedInterpretation()) << "the database keeps it";
}

}  // namespace
}  // namespace orma::ui::test
