// Plot ranges, pixel scales and the label spacing rule.

#include <cmath>

#include <gtest/gtest.h>

#include "PlotSoundingFixture.h"
#include "core/AbGrid.h"
#include "support/QtTestEnvironment.h"
#include "ui/interpretation/plot/GridPainter.h"
#include "ui/interpretation/plot/PlotRanges.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

using orma::testing::addPoint;

TEST(PlotRanges, SoundingWithoutModelGetsTheMarginOnAllFourLimits) {
    Canvas canvas(800, 600);
    Sounding s;
    addPoint(s, 1.0f, 10.0f);
    addPoint(s, 20.0f, 1000.0f);
    addPoint(s, 300.0f, 100.0f);
    PlotGeometry g;
    fitPlotRanges(g, canvas, s, false);
    EXPECT_FLOAT_EQ(g.rMin, 0.8f);
    EXPECT_FLOAT_EQ(g.rMax, 3.6f);
    EXPECT_FLOAT_EQ(g.aMin, -0.3025f);
    // The largest spacing is one grid step above the bottom border, not on it.
    EXPECT_FLOAT_EQ(g.aMax, std::log10(300.0f) + static_cast<float>(kGridStep));
    EXPECT_TRUE(g.rangesValid);
    EXPECT_DOUBLE_EQ(s.points.logRhoA[1], 3.0);
    EXPECT_GE(g.marginLeft, 4 * canvas.textWidth("W"));
    EXPECT_EQ(g.marginTop, 2 * canvas.textHeight("W"));
    // The model value list in the right margin must not be cut at the image edge.
    EXPECT_GE(g.marginRight, 4 * canvas.textWidth("W"));
    EXPECT_GT(g.marginRight, canvas.textWidth(" -Dp.- [m]"));
    EXPECT_GT(g.marginRight, canvas.textWidth("[Ohm.m]"));
}

TEST(PlotRanges, ModelDepthsAndResistivitiesWidenTheRanges) {
    Canvas canvas(800, 600);
    Sounding s;
    addPoint(s, 2.0f, 10.0f);
    addPoint(s, 100.0f, 100.0f);
    s.model.interfaceCount = 1;
    s.model.resistivity[0] = 5;
    s.model.resistivity[1] = 2000;
    s.model.depth[0] = 0.2f;
    s.model.depth[1] = kHalfSpaceDepth;
    PlotGeometry g;
    fitPlotRanges(g, canvas, s, false);
    EXPECT_FLOAT_EQ(g.rMin, std::log10(5.0f) * 0.8f);
    EXPECT_FLOAT_EQ(g.rMax, std::log10(2000.0f) * 1.2f);
    EXPECT_FLOAT_EQ(g.aMin, std::log10(0.2f) * 1.1f);  // the half-space sentinel is not a depth
    EXPECT_FLOAT_EQ(g.aMax, 2.0f + static_cast<float>(kGridStep));
}

TEST(PlotRanges, TheDeepestReadingStaysOffTheBottomBorder) {
    // The first reading typed (1 m) and a whole curve to 300 m, on a tall and
    // a short window.
    for (const int height : {900, 400}) {
        for (const float deepest : {1.0f, 300.0f}) {
            Canvas canvas(800, height);
            Sounding s;
            if (deepest > 1.0f) addPoint(s, 1.0f, 50.0f);
            addPoint(s, deepest, 80.0f);
            PlotGeometry g;
            fitPlotRanges(g, canvas, s, false);
            computeGeometry(g);
            const int y = g.yOf(deepest);
            EXPECT_TRUE(g.insidePlot(g.xOf(80.0), y)) << height << " " << deepest;
            EXPECT_GE(g.y1 - y, 8) << "a cross of the reading is drawn clear of the border";
        }
    }
}

TEST(PlotRanges, ResistivitiesBelowOneOhmMetreStayInside) {
    Canvas canvas(800, 600);
    Sounding s;
    addPoint(s, 1.0f, 0.1f);
    addPoint(s, 10.0f, 0.5f);
    PlotGeometry g;
    fitPlotRanges(g, canvas, s, false);
    EXPECT_LT(g.rMin, -1.0f);
    EXPECT_GT(g.rMax, std::log10(0.5f));
}

TEST(PlotRanges, LockedScaleKeepsRangesButStillMeasures) {
    Canvas canvas(800, 600);
    Sounding s;
    addPoint(s, 3.0f, 50.0f);
    PlotGeometry g;
    g.rMin = 1;
    g.rMax = 2;
    g.aMin = 0;
    g.aMax = 3;
    fitPlotRanges(g, canvas, s, true);
    EXPECT_EQ(g.rMin, 1);
    EXPECT_EQ(g.aMax, 3);
    EXPECT_GT(g.textHeight, 0);
    EXPECT_DOUBLE_EQ(s.points.logAb2[0], std::log10(3.0));
}

TEST(PlotRanges, WideningToTheModelReportsWhetherSomethingChanged) {
    PlotGeometry g;
    g.rMin = 0.5f;
    g.rMax = 3;
    g.aMin = -0.3f;
    g.aMax = 2.5f;
    LayerModel m;
    m.interfaceCount = 2;
    m.resistivity = {10, 100, 50};
    m.depth = {1, 10, kHalfSpaceDepth};
    EXPECT_FALSE(widenRangesToModel(g, m, false));
    m.depth[1] = 1000;
    m.resistivity[2] = 5;
    EXPECT_TRUE(widenRangesToModel(g, m, false));
    EXPECT_FLOAT_EQ(g.aMax, 3.0f);  // no margin added
    EXPECT_FLOAT_EQ(g.rMin, 0.5f);
    m.resistivity[0] = 1e5f;
    EXPECT_FALSE(widenRangesToModel(g, m, true));
    EXPECT_FLOAT_EQ(g.rMax, 3.0f);
}

TEST(PlotGeometry, ScalesFillThePlotRectangleAndEmptyRangesBecomeOneDecade) {
    PlotGeometry g;
    g.imageWidth = 1000;
    g.imageHeight = 700;
    g.marginLeft = g.marginRight = 50;
    g.marginTop = g.marginBottom = 30;
    g.rMin = 1;
    g.rMax = 1;  // all points at one resistivity
    g.aMin = -0.3f;
    g.aMax = 2.7f;
    computeGeometry(g);
    EXPECT_EQ(g.x1, 950);
    EXPECT_EQ(g.y1, 670);
    EXPECT_FLOAT_EQ(g.sx, 900.0f);
    EXPECT_FLOAT_EQ(g.rMax, 2.0f);
    EXPECT_FLOAT_EQ(g.sy, 640.0f / 3.0f);
    EXPECT_EQ(g.xOf(10.0), g.x0);
    EXPECT_EQ(g.xOf(100.0), g.x1);
    // Truncated pixels per decade for data positions: 213 px per decade.
    EXPECT_EQ(g.yOf(10.0), static_cast<int>(213 * 1.3 + 30));
    EXPECT_NEAR(g.rhoAt(g.x0 + 450), std::sqrt(1000.0), 1e-3);
    EXPECT_NEAR(std::log10(g.ab2At(g.y1)), 2.7, 1e-5);
}

TEST(GridLabels, IntermediateLabelKeepsOnePointOneFiveExtentsClear) {
    // A label 20 px wide needs more than trunc(23) px on both sides.
    EXPECT_TRUE(intermediateLabelFits(20, 100, 76, 124, 0));
    EXPECT_FALSE(intermediateLabelFits(20, 100, 77, 200, 0));    // crowds the previous label
    EXPECT_FALSE(intermediateLabelFits(20, 100, -9999, 123, 0));  // crowds the next decade
    EXPECT_TRUE(intermediateLabelFits(20, 30, -9999, 60, 10));    // the first label has no predecessor
    // A wider decade label needs more room: trunc(1.15 * 30) = 34.
    EXPECT_FALSE(intermediateLabelFits(20, 100, -9999, 134, 30));
    EXPECT_TRUE(intermediateLabelFits(20, 100, -9999, 135, 30));
}

}  // namespace
}  // namespace orma::ui
