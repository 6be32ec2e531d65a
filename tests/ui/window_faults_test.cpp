// Faults of the window found by trying it: the fit's refusal, the drift step,
// presets over an old computed curve, the buttons over the scale labels.

#include <QPushButton>

#include "window_fixture.h"

namespace orma::ui::test {
namespace {

TEST_F(WindowTest, FitRefusalNamesTheMissingCurveFirstAndThenTheMissingModel) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("There is no composite curve to fit the model to.");
    window.optimizeFit();
    dialogs_.verifyDone();

    openGef(window);
    dialogs_.allowAnyMessages();
    const std::size_t before = dialogs_.messages().size();
    window.optimizeFit();
    ASSERT_EQ(dialogs_.messages().size(), before + 1);
    EXPECT_EQ(dialogs_.messages().back().rfind("There is no model to fit", 0), 0u);
    EXPECT_FALSE(window.sounding().computedCurveShown);
}

TEST_F(WindowTest, DriftStepsThatCannotBeHeldAreRefused) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    const char* caption = "Modify the step of the drift of VES curve ";
    const char* prompt = "[log10 ohm.m]:";
    for (const char* typed : {"1e39", "-1e39", "39"}) {
        dialogs_.expectInput(caption, prompt, typed);
        dialogs_.expectMessage("Integer!");
        dialogs_.expectInput(caption, prompt, std::nullopt, typed);  // asked again: Cancel
        window.typeDriftStep();
        EXPECT_FLOAT_EQ(window.sounding().driftStep, 0.001f) << typed;
    }
    // A step that is a number but would carry the curve beyond what a float
    // holds moves nothing.
    dialogs_.expectInput(caption, prompt, "38");
    window.typeDriftStep();
    const float before = window.sounding().composite(9);
    dialogs_.allowAnyMessages();
    const std::size_t shown = dialogs_.messages().size();
    window.driftToHigherResistivity();
    ASSERT_EQ(dialogs_.messages().size(), shown + 1);
    EXPECT_FLOAT_EQ(window.sounding().composite(9), before);
    dialogs_.verifyDone();
}

TEST_F(WindowTest, PresetsTakeTheOldComputedCurveAway) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadQTypeModel();
    ASSERT_TRUE(window.sounding().computedCurveShown);
    window.loadKTypeModel();
    EXPECT_FALSE(window.sounding().computedCurveShown);
    // No aqua computed curve is left on the canvas.
    const QImage image = window.canvas().image();
    const PlotGeometry& g = window.plot().geometry();
    int aqua = 0;
    for (int y = g.y0; y <= g.y1; ++y)
        for (int x = g.x0; x <= g.x1; ++x) aqua += (image.pixel(x, y) & 0xFFFFFF) == 0x00FFFFu;
    EXPECT_EQ(aqua, 0);
}

TEST_F(WindowTest, TheButtonsStayBelowTheLowestScaleLabel) {
    Ttelmorwin& window = openWindow();
    openGef(window);
    window.loadKTypeModel();
    const PlotGeometry& g = window.plot().geometry();
    EXPECT_LE(g.y1 + g.textHeight / 2 + 1, window.spustit->y());
}

}  // namespace
}  // namespace orma::ui::test
