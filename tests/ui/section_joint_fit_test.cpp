// Pf > "Fit the profile jointly...": the dialog names the points of another
// layer count and brings them to the chosen count or leaves them out; the
// joint fit runs off the window's thread; its models come in as one change of
// the database (caption "*", recovery copy) that Pf > "Undo the joint fit"
// takes back while nothing else changed; Cancel changes nothing. And the
// depth ranges of the interfaces in the section, with their Display switch.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <cmath>
#include <cstring>

#include "SectionFixture.h"
#include "core/LateralInversion.h"
#include "io/VdbFile.h"
#include "support/OutcomeAssertions.h"
#include "ui/interpretation/GlobalFitRunner.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/platform/BackgroundTask.h"
#include "ui/platform/StatusLine.h"
#include "ui/section/JointFitDialog.h"
#include "ui/section/SectionDepthRanges.h"

namespace orma::ui::test {
namespace {

/// The fields of a point that are not its model.
bool sameExceptModel(VesPoint a, const VesPoint& b) {
    a.MDLmx = b.MDLmx;
    a.resistivity = b.resistivity;
    a.depth = b.depth;
    a.ssq = b.ssq;
    a.depthRange = b.depthRange;
    return a == b;
}

class SectionJointFitTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        VesDatabase db;
        ASSERT_TRUE(orma::test::succeeded(readVdbFile(
            std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb", db)));
        showDatabase(db);
        before_ = points();
    }
    const std::vector<VesPoint>& points() { return section_->database().activeProfile()->points; }
    void fitJointly() {
        section_->fitProfileJointly();
        ASSERT_NE(section_->jointFitTask(), nullptr);
        section_->jointFitTask()->waitForFinished();
    }
    bool undoEnabled() const { return section_->menuItem("Vratitspolecnyfit1")->isEnabled(); }
    std::string caption() const { return section_->windowTitle().toStdString(); }

    std::vector<VesPoint> before_;  ///< profile P1: nine points of four layers, three of five
};

TEST_F(SectionJointFitTest, TheJointModelsComeInAsOneChangeAndUndoPutsTheOldOnesBack) {
    QString named;
    section_->runJointFitDialog = [&named](JointFitDialog& dialog) {
        EXPECT_EQ(dialog.layers->value(), 4) << "the layer count most points have";
        EXPECT_EQ(dialog.resistivityFactor->text(), "1.3");
        EXPECT_EQ(dialog.depthFactor->text(), "1.25");
        EXPECT_EQ(dialog.depthBendFactor->text(), "1.15");
        named = dialog.pointsText();
        EXPECT_TRUE(dialog.leaveOut->isChecked()) << "a point's own layer count stands at first";
        dialog.accept();
    };
    const std::uint64_t revision = section_->database().revision();
    dialogs_.expectMessageWithList(
        "3 points were left out of the joint fit and keep their models:",
        std::vector<std::string>{"The VES point VES 250 has a model of 5 layers, not 4; it is left out of the joint fit.",
                                 "The VES point VES 450 has a model of 5 layers, not 4; it is left out of the joint fit.",
                                 "The VES point VES 650 has a model of 5 layers, not 4; it is left out of the joint fit."});
    fitJointly();
    dialogs_.verifyDone();
    EXPECT_EQ(named.toStdString(), "Models of another layer count: VES 250 (5 layers), VES 450 (5 layers), VES 650 (5 layers).");
    EXPECT_EQ(section_->database().revision(), revision + 1) << "one change";
    EXPECT_EQ(caption().front(), '*');
    int changed = 0;
    for (std::size_t k = 0; k < before_.size(); ++k) {
        const VesPoint& now = points()[k];
        EXPECT_TRUE(sameExceptModel(now, before_[k])) << now.name;
        if (before_[k].MDLmx == 4) {
            EXPECT_EQ(now, before_[k]) << now.name << " was left out";
        } else {
            changed += now.sameModelValuesAs(before_[k]) ? 0 : 1;
        }
    }
    EXPECT_EQ(changed, 9);
    EXPECT_NE(section_->statusLine().fullText().toStdString().find("Profile fitted jointly: 9 points"), std::string::npos);

    EXPECT_TRUE(undoEnabled());
    section_->undoJointFit();
    EXPECT_EQ(points(), before_);
    EXPECT_FALSE(undoEnabled());
    EXPECT_EQ(section_->database().revision(), revision + 2) << "the undo is a change too";
}

TEST_F(SectionJointFitTest, PointsOfAnotherLayerCountAreBroughtToTheChosenCount) {
    section_->runJointFitDialog = [](JointFitDialog& dialog) {
        EXPECT_TRUE(dialog.bringToLayers->text().contains("to 4 layers"));
        dialog.bringToLayers->setChecked(true);
        dialog.layers->setValue(5);
        EXPECT_TRUE(dialog.pointsText().contains("VES 100 (4 layers)"));
        dialog.layers->setValue(4);
        dialog.accept();
    };
    fitJointly();
    for (const VesPoint& p : points()) EXPECT_EQ(p.layerCount(), 4) << p.name;
}

TEST_F(SectionJointFitTest, CancelAndACancelledDialogChangeNothing) {
    const std::uint64_t revision = section_->database().revision();
    section_->runJointFitDialog = [](JointFitDialog& dialog) { dialog.reject(); };
    section_->fitProfileJointly();
    EXPECT_EQ(section_->jointFitTask(), nullptr);

    section_->runJointFitDialog = [](JointFitDialog& dialog) { dialog.accept(); };
    section_->fitProfileJointly();
    ASSERT_NE(section_->jointFitTask(), nullptr);
    section_->jointFitTask()->cancel();
    section_->jointFitTask()->waitForFinished();
    EXPECT_EQ(points(), before_);
    EXPECT_EQ(section_->database().revision(), revision);
    EXPECT_FALSE(undoEnabled());
    EXPECT_EQ(section_->statusLine().fullText().toStdString(), "The joint fit was cancelled; no model was changed.");
}

TEST_F(SectionJointFitTest, AFactorThatIsNoFactorKeepsTheDialogOpen) {
    JointFitDialog dialog;
    dialog.prepare(*section_->database().activeProfile());
    dialog.depthFactor->setText("0.9");
    dialog.accept();
    EXPECT_FALSE(dialog.choice().has_value());
    EXPECT_TRUE(dialog.problem->text().contains("depth factor"));
    dialog.depthFactor->setText(" 1.1 ");
    dialog.accept();
    ASSERT_TRUE(dialog.choice().has_value());
    EXPECT_EQ(dialog.choice()->depthFactor, 1.1);

    // The dip's factor may also be 0: no bend ties; but not a factor below 1.
    dialog.prepare(*section_->database().activeProfile());
    dialog.depthBendFactor->setText("0.5");
    dialog.accept();
    EXPECT_FALSE(dialog.choice().has_value());
    EXPECT_TRUE(dialog.problem->text().contains("dip factor"));
    dialog.depthBendFactor->setText("0");
    dialog.accept();
    ASSERT_TRUE(dialog.choice().has_value());
    EXPECT_EQ(dialog.choice()->depthBendFactor, 0.0);
}

TEST_F(SectionJointFitTest, AfterAnotherChangeTheUndoIsRefusedAndTheJointModelsStay) {
    section_->runJointFitDialog = [](JointFitDialog& dialog) { dialog.accept(); };
    dialogs_.expectMessageWithList("3 points were left out of the joint fit and keep their models:");
    fitJointly();
    const std::vector<VesPoint> joint = points();
    section_->increaseXScale();  // a scale step: a change of the database
    EXPECT_FALSE(undoEnabled());
    dialogs_.expectMessage(
        "The database has changed since the joint fit; the models of before it can no longer be put back.");
    section_->undoJointFit();
    EXPECT_EQ(points(), joint);
}

TEST_F(SectionJointFitTest, TheReopenedPointShowsItsJointModel) {
    clickPoint(1);
    ASSERT_TRUE(window_->showsStoredPoint());
    section_->runJointFitDialog = [](JointFitDialog& dialog) { dialog.accept(); };
    dialogs_.expectMessageWithList("3 points were left out of the joint fit and keep their models:");
    fitJointly();
    const VesPoint& stored = points()[1];
    const LayerModel& shown = window_->sounding().model;
    ASSERT_EQ(shown.interfaceCount, stored.MDLmx);
    for (int i = 0; i <= stored.MDLmx; ++i) EXPECT_EQ(shown.resistivity[i], std::fabs(stored.resistivity[i]));
}

TEST_F(SectionJointFitTest, FitGloballyOnAReopenedPointStoresItsModelAndDepthRanges) {
    clickPoint(0);
    const std::uint64_t revision = section_->database().revision();
    window_->startGlobalFit();
    ASSERT_NE(window_->globalFit(), nullptr);
    window_->globalFit()->task().waitForFinished();
    const VesPoint& stored = points()[0];
    const LayerModel& model = window_->sounding().model;
    EXPECT_GT(section_->database().revision(), revision);
    ASSERT_EQ(stored.MDLmx, model.interfaceCount);
    for (int i = 0; i < stored.MDLmx; ++i) {
        EXPECT_EQ(std::fabs(stored.depth[i]), model.depth[i]);
        ASSERT_TRUE(stored.depthRange[i].known()) << "interface " << i + 1;
        EXPECT_LE(stored.depthRange[i].min, model.depth[i]);
        EXPECT_GE(stored.depthRange[i].max, model.depth[i]);
    }
    window_->rangesDialog()->close();
}

TEST_F(SectionJointFitTest, DepthRangesAreDrawnAndTheirSwitchHidesThem) {
    const auto barPixels = [this] {
        const QImage& image = section_->canvas().image();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == toPixel(kDepthRangeBar) ? 1 : 0;
        return count;
    };
    EXPECT_EQ(barPixels(), 0) << "the sample database carries no ranges";
    VesDatabase db = section_->database();
    VesPoint& p = db.localities[0].profiles[0].points[2];
    p.depthRange[0] = {1.0f, 3.0f};
    p.depthRange[1] = {6.0f, 14.0f};
    showDatabase(db);
    const int shown = barPixels();
    EXPECT_GT(shown, 20);
    QAction* item = section_->menuItem("Rozsahyhloubek1");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_EQ(barPixels(), 0);
    item->trigger();
    EXPECT_EQ(barPixels(), shown);
}

}  // namespace
}  // namespace orma::ui::test
