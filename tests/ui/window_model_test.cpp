// Shift, drift, preset models, forward task, fit and JPEG of the window.

#include <QImage>
#include <QPushButton>

#include <cmath>

#include "window_fixture.h"

namespace orma::ui::test {
namespace {

TEST_F(WindowTest, ShiftKeysChooseTheReferenceBranchAndReshiftFromTheData) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.shiftOnto(1);
    EXPECT_NEAR(window.sounding().composite(0), 11.7, 0.02);   // branch 1 stays
    EXPECT_NEAR(window.sounding().composite(12), 54.9, 0.05);  // branch 2 lowered onto it
    window.shiftOnto(3);
    EXPECT_NEAR(window.sounding().composite(18), 0.9 * 21.8, 0.03);
    window.shiftOnto(2);
    EXPECT_NEAR(window.sounding().composite(0), 1.2 * 11.7, 0.02);
}

TEST_F(WindowTest, ShiftReportsBranchesWithoutOverlap) {
    Ttelmorwin& window = openWindow();
    std::string text = "x\r\n2005-01-01\r\nx\r\nx\r\n";
    text += gefReading(1.0, 0.5, 10, 1) + gefReading(1.3, 0.5, 12, 1);
    text += gefReading(10.3, 5, 50, 2) + gefReading(13.4, 5, 55, 2);
    const std::string path = writeFile("GAP.GEF", text);
    dialogs_.expectOpen(path);
    dialogs_.expectMessage("Between branch 1 and 2 no overlay!, shift was proceeded with  dRz = 0 !!!");
    window.openGefFile();
    dialogs_.verifyDone();
}

TEST_F(WindowTest, DriftMovesTheCompositeByItsStepAndBack) {
    Ttelmorwin& window = openWindow();
    window.driftToHigherResistivity();  // nothing loaded: silently nothing
    openGef(window);
    const float before = window.sounding().composite(9);
    for (int i = 0; i < 5; ++i) window.driftToHigherResistivity();
    EXPECT_NEAR(window.sounding().composite(9) / before, std::pow(10.0, 0.005), 1e-4);
    for (int i = 0; i < 5; ++i) window.driftToLowerResistivity();
    EXPECT_NEAR(window.sounding().composite(9), before, before * 1e-5);
}

TEST_F(WindowTest, DriftStepDialogShowsTheStepAndAsksAgainAfterText) {
    Ttelmorwin& window = openWindow();
    const char* caption = "Modify the step of the drift of VES curve ";
    const char* prompt = "[log10 ohm.m]:";
    // The float 0.001 is proposed as the text that gives it back, not as
    // its 15 digits 0.00100000004749745.
    dialogs_.expectInput(caption, prompt, "0.05", "0.001");
    window.typeDriftStep();
    EXPECT_FLOAT_EQ(window.sounding().driftStep, 0.05f);

    // Text, nan and a step whose factor overflows are refused and asked
    // again with what was typed; Cancel keeps the step.
    dialogs_.expectInput(caption, prompt, "0.1x", "0.05");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput(caption, prompt, "nan", "0.1x");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput(caption, prompt, "45", "nan");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput(caption, prompt, std::nullopt, "45");
    window.typeDriftStep();
    EXPECT_FLOAT_EQ(window.sounding().driftStep, 0.05f);

    dialogs_.expectInput(caption, prompt, "abc");
    dialogs_.expectMessage("Integer!");
    dialogs_.expectInput(caption, prompt, " -0.2 ", "abc");
    window.typeDriftStep();
    dialogs_.verifyDone();
    EXPECT_FLOAT_EQ(window.sounding().driftStep, -0.2f);
}

TEST_F(WindowTest, CurveEditingNeedsAShiftedCurve) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("Shift branches from 1 to 4!");
    window.toggleCurveEditing();
    dialogs_.verifyDone();

    const std::string path = openGef(window);
    window.toggleCurveEditing();
    EXPECT_TRUE(window.sounding().curveEditMode);
    window.toggleCurveEditing();
    EXPECT_FALSE(window.sounding().curveEditMode);
    // A curve from a file is not committed: the caption stays.
    EXPECT_EQ(window.windowTitle().toStdString(), "ORMA - programme for VES interpretation - opened: " + path);
}

TEST_F(WindowTest, PresetModelsSetThreeLayersAndQComputesItsCurve) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    const LayerModel& model = window.sounding().model;
    window.loadHTypeModel();
    EXPECT_EQ(model.interfaceCount, 2);
    EXPECT_FLOAT_EQ(model.resistivity[0], 200.0f);
    EXPECT_FLOAT_EQ(model.resistivity[1], 20.0f);
    EXPECT_FLOAT_EQ(model.resistivity[2], 500.0f);
    EXPECT_FLOAT_EQ(model.depth[0], 1.0f);
    EXPECT_FLOAT_EQ(model.depth[1], 10.0f);
    EXPECT_FLOAT_EQ(model.depth[2], 1e12f);
    EXPECT_FALSE(window.sounding().computedCurveShown);
    EXPECT_TRUE(window.plot().modelShown);

    window.loadATypeModel();
    EXPECT_FLOAT_EQ(model.resistivity[2], 500.0f);
    EXPECT_FLOAT_EQ(model.resistivity[0], 10.0f);

    window.loadQTypeModel();
    EXPECT_FLOAT_EQ(model.resistivity[0], 1000.0f);
    EXPECT_TRUE(window.sounding().computedCurveShown);
    EXPECT_TRUE(window.plot().modelShown);
    EXPECT_GT(window.sounding().computedRho[0], 500.0f);  // a Q curve starts high
}

TEST_F(WindowTest, ForwardTaskThenFitLowersTheSsq) {
    Ttelmorwin& window = openWindow();
    window.computeModelCurve();  // nothing loaded: nothing computed
    EXPECT_FALSE(window.sounding().computedCurveShown);

    openGef(window);
    window.computeModelCurve();  // no model yet
    EXPECT_FALSE(window.sounding().computedCurveShown);

    window.loadKTypeModel();
    window.computeModelCurve();
    ASSERT_TRUE(window.sounding().computedCurveShown);
    EXPECT_NEAR(window.sounding().computedRho[9], 51.3, 0.1);
    const double forwardSsq = window.sounding().ssq;
    EXPECT_GT(forwardSsq, 0.1);  // the data lie 1.2 times above the preset's curve

    window.optimizeFit();
    EXPECT_LT(window.sounding().ssq, forwardSsq / 10);
    EXPECT_TRUE(window.sounding().computedCurveShown);
    EXPECT_TRUE(window.plot().modelShown);
}

TEST_F(WindowTest, FitButtonWidensThePlotToTheModel) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    LayerModel& model = window.sounding().model;
    model.resistivity[1] = 5000.0f;  // far right of the curve's range
    model.resistivityFixed[1] = 1;    // and held there by the fit
    window.optimizeFitAndWidenRanges();
    EXPECT_FLOAT_EQ(model.resistivity[1], 5000.0f);
    EXPECT_GE(window.plot().geometry().rMax, std::log10(5000.0f) - 1e-4);

    // The menu item fits without widening.
    window.plot().fitPlotRanges();
    window.plot().redrawAll();
    const float rMax = window.plot().geometry().rMax;
    window.optimizeFit();
    EXPECT_FLOAT_EQ(window.plot().geometry().rMax, rMax);
}

TEST_F(WindowTest, FitWithoutACurveIsRefusedWithAMessage) {
    Ttelmorwin& window = openWindow();
    dialogs_.allowAnyMessages();
    window.optimizeFit();
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_FALSE(dialogs_.messages()[0].empty());
    EXPECT_FALSE(window.sounding().computedCurveShown);
}

TEST_F(WindowTest, JpegHoldsExactlyWhatThePlotShows) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    const std::string path = (dir_ / "plot.jpg").string();
    dialogs_.expectSave(path);
    window.savePlotAsJpeg();
    EXPECT_EQ(dialogs_.lastFileOptions().filter, "souboryJPG|*.jpg|souboryJPG|*.JPG");
    const QImage saved(QString::fromStdString(path), "JPG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), window.canvas().image().size());
    EXPECT_GT(qGray(saved.pixel(saved.width() / 2, 2)), 200);  // the white margin

    dialogs_.expectSave(std::nullopt);  // cancelled: nothing written
    window.savePlotAsJpeg();

    dialogs_.expectSave((dir_ / "missing-dir" / "p.jpg").string());
    dialogs_.allowAnyMessages();
    window.savePlotAsJpeg();
    dialogs_.verifyDone();
    ASSERT_EQ(dialogs_.messages().size(), 1u);
    EXPECT_NE(dialogs_.messages()[0].find("p.jpg"), std::string::npos);
}

}  // namespace
}  // namespace orma::ui::test
