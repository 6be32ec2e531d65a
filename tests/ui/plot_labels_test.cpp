// Room for what the plot writes around its frame, and curves kept inside it.

#include <algorithm>

#include <gtest/gtest.h>

#include "PlotSoundingFixture.h"
#include "support/QtTestEnvironment.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/interpretation/plot/PlotRanges.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

using orma::testing::addPoint;

TEST(PlotMarginsTest, TheLeftMarginHoldsTheAxisTitleAndTheWidestSpacingLabelApart) {
    Canvas canvas(900, 700);
    Sounding s;
    addPoint(s, 1.0f, 10.0f);
    addPoint(s, 25000.0f, 100.0f);  // labels up to 20000 m
    PlotGeometry g;
    fitPlotRanges(g, canvas, s, false);
    const int title = canvas.textWidth("[m]");
    const int widest = canvas.textWidth("20000");
    // The label ends one character left of the frame; the title starts at cw/5.
    EXPECT_GT(g.marginLeft - g.charWidth - widest, g.charWidth / 5 + title);
}

TEST(PlotMarginsTest, TheBottomMarginKeepsTheLowestLabelAboveTheButtons) {
    Canvas canvas(900, 700);
    Sounding s;
    addPoint(s, 1.0f, 10.0f);
    addPoint(s, 100.0f, 100.0f);
    PlotGeometry g;
    g.bottomReserve = 25;
    fitPlotRanges(g, canvas, s, false);
    computeGeometry(g);
    // A label centred on the frame's bottom row reaches textHeight/2 below it.
    EXPECT_LT(g.y1 + g.textHeight / 2 + 1, g.imageHeight - 25);
}

TEST(PlotMarginsTest, TheValueListHoldsSixDigitResistivitiesAndDeepBoundaries) {
    Canvas canvas(900, 700);
    Sounding s;
    addPoint(s, 1.0f, 10.0f);
    addPoint(s, 100.0f, 100.0f);
    s.model.interfaceCount = 1;
    s.model.resistivity[0] = 123456.0f;
    s.model.resistivity[1] = 50.0f;
    s.model.depth[0] = 1234.5f;
    s.model.depth[1] = kHalfSpaceDepth;
    PlotGeometry g;
    fitPlotRanges(g, canvas, s, false);
    EXPECT_GE(g.marginRight, g.charWidth + canvas.textWidth("123456.0"));
    EXPECT_GE(g.marginRight, 2 + canvas.textWidth(" -1234.50-"));
}

TEST(PlotMarginsTest, BranchesAndCompositeBeyondTheRangesStayInsideTheFrame) {
    Canvas canvas(900, 700);
    Sounding s;
    DisplaySettings settings;
    testing::loadFourBranchSounding(s);
    InterpretationPlot plot(canvas, s, settings);
    plot.fitPlotRanges();
    // Ranges narrowed (as by clicks in the margins) so that the curves run out.
    plot.geometry().rMin += 0.8f;
    plot.geometry().aMax -= 1.0f;
    plot.redrawAll();
    const QImage withCurves = canvas.image();
    const PlotGeometry g = plot.geometry();

    for (int k = 0; k < kGridPoints; ++k) s.branches.shiftedRho[k][0] = kMissing;
    s.points.pointCount = 0;
    plot.redrawAll();
    const QImage withoutCurves = canvas.image();
    int differing = 0;
    for (int y = 0; y < withCurves.height(); ++y) {
        for (int x = 0; x < withCurves.width(); ++x) {
            if (g.insidePlot(x, y)) continue;
            differing += withCurves.pixel(x, y) != withoutCurves.pixel(x, y);
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(PlotMarginsTest, ScaleLabelsKeepABlankFromTheAxisTitles) {
    Canvas canvas(900, 700);
    Sounding s;
    DisplaySettings settings;
    testing::loadFourBranchSounding(s);
    InterpretationPlot plot(canvas, s, settings);
    plot.fitPlotRanges();
    const int gap = canvas.textWidth(" ");
    const int titleStart = plot.geometry().imageWidth - canvas.textWidth("[Ohm.m]");
    // Moving the right end by small steps puts a scale label at every
    // distance from "[Ohm.m]"; none may come nearer than a blank.
    const float rMax = plot.geometry().rMax;
    for (int step = 0; step < 60; ++step) {
        plot.geometry().rMax = rMax + 0.01f * static_cast<float>(step);
        plot.redrawAll();
        const PlotGeometry& g = plot.geometry();
        const int firstRow = std::max(0, g.marginTop / 2 - g.textHeight / 2);
        for (int y = firstRow; y < firstRow + g.textHeight && y < g.y0; ++y) {
            for (int x = titleStart - gap; x < titleStart; ++x) {
                ASSERT_EQ(canvas.image().pixel(x, y), qRgb(255, 255, 255)) << "step " << step << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace orma::ui
