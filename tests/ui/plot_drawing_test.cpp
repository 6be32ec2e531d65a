// The interpretation plot on a real sounding: XOR elements, branch lines,
// colours, and what a full redraw leaves on the canvas.

#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "PlotSoundingFixture.h"
#include "support/QtTestEnvironment.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/interpretation/plot/PlotContext.h"
#include "ui/interpretation/plot/CurvePainter.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

QRgb xored(QRgb before, Colour pen) { return before ^ (toPixel(pen) & 0xFFFFFF); }

/// The plot rectangle only: the texts around it are not compared.
QImage plotArea(const Canvas& canvas, const PlotGeometry& g) {
    return canvas.image().copy(g.x0, g.y0, g.x1 - g.x0 + 1, g.y1 - g.y0 + 1);
}

class PlotDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        testing::loadFourBranchSounding(sounding);
        testing::setFourLayerModel(sounding);
        computeForward(sounding);
        plot.fitPlotRanges();
        plot.redrawAll();
    }

    Canvas canvas{900, 700};
    Sounding sounding;
    DisplaySettings settings;
    InterpretationPlot plot{canvas, sounding, settings};
};

TEST_F(PlotDrawing, ModelLinesFlipPixelsAndASecondToggleRestoresTheCanvas) {
    ASSERT_TRUE(plot.modelShown);
    const PlotGeometry& g = plot.geometry();
    const LayerModel& m = sounding.model;
    // Layer 1's line halfway between its boundaries, boundary 1's line halfway across.
    const QPoint layer(g.xOf(m.resistivity[1]), (g.yOf(m.depth[0]) + g.yOf(m.depth[1])) / 2);
    const QPoint boundary((g.xOf(m.resistivity[1]) + g.xOf(m.resistivity[2])) / 2, g.yOf(m.depth[1]));
    const QImage on = canvas.image();
    plot.toggleModelLines();
    EXPECT_FALSE(plot.modelShown);
    const QImage off = canvas.image();
    EXPECT_EQ(on.pixel(layer), xored(off.pixel(layer), settings.modelColour));
    EXPECT_EQ(on.pixel(boundary), xored(off.pixel(boundary), settings.modelColour));
    plot.toggleModelLines();
    EXPECT_EQ(canvas.image(), on);
}

TEST_F(PlotDrawing, SelectedAndFixedSegmentsChangeWidthAndColourAndStayExact) {
    plot.toggleModelLines();  // off, with the old style
    const QImage off = canvas.image();
    sounding.model.depthFixed[1] = 1;
    plot.styleSource = [] { return ModelLineStyle{-1, 1, false}; };
    plot.toggleModelLines();
    const PlotGeometry& g = plot.geometry();
    const LayerModel& m = sounding.model;
    const int x = (g.xOf(m.resistivity[1]) + g.xOf(m.resistivity[2])) / 2;
    const int y = g.yOf(m.depth[1]);
    // Active width 4 covers y-2..y+1.
    for (int dy = -2; dy <= 1; ++dy)
        EXPECT_EQ(canvas.image().pixel(x, y + dy), xored(off.pixel(x, y + dy), settings.fixedValueColour)) << dy;
    EXPECT_EQ(canvas.image().pixel(x, y + 2), off.pixel(x, y + 2));
    // The corner where the wide boundary meets the next layer's line flips once.
    const int corner = g.xOf(m.resistivity[2]);
    EXPECT_NE(canvas.image().pixel(corner, y), off.pixel(corner, y));
    plot.toggleModelLines();
    EXPECT_EQ(canvas.image(), off);
}

TEST_F(PlotDrawing, ComputedCurveTogglesExactlyAndWritesTheFitError) {
    settings.smoothingOn = false;  // a polyline through the vertices
    plot.redrawAll();
    const PlotGeometry& g = plot.geometry();
    const QImage without = plotArea(canvas, g);
    plot.toggleComputedCurve();
    EXPECT_GT(sounding.ssq, 0.0);
    EXPECT_DOUBLE_EQ(sounding.ssq, computeSsq(sounding));
    const QImage with = plotArea(canvas, g);
    EXPECT_NE(with, without);
    // Every changed pixel carries the curve colour, and the curve passes its
    // vertex at a grid point in the middle of the range.
    const int k = (sounding.minGridIndex + sounding.maxGridIndex) / 2;
    const QPoint vertex(static_cast<int>(g.xOfLogExact(std::log10(sounding.computedRho[k]))) - g.x0,
                        static_cast<int>(g.yOfLogExact(std::log10(sounding.grid.value[k]))) - g.y0);
    int nearVertex = 0;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x) {
            if (with.pixel(x, y) == without.pixel(x, y)) continue;
            ASSERT_EQ(with.pixel(x, y), xored(without.pixel(x, y), kAqua)) << x << "," << y;
            nearVertex += std::abs(x - vertex.x()) <= 1 && std::abs(y - vertex.y()) <= 1;
        }
    }
    EXPECT_GT(nearVertex, 0);
    plot.toggleComputedCurve();
    EXPECT_EQ(plotArea(canvas, g), without);
}

TEST_F(PlotDrawing, CrosshairTwiceLeavesEveryPixelAsBefore) {
    const PlotGeometry& g = plot.geometry();
    const QImage before = canvas.image();
    const int px = (g.x0 + g.x1) / 2 + 7, py = (g.y0 + g.y1) / 2 - 5;
    plot.drawCrosshair(px, py);
    EXPECT_EQ(canvas.image().pixel(px - 30, py), xored(before.pixel(px - 30, py), kRed));
    EXPECT_EQ(canvas.image().pixel(px, py + 40), xored(before.pixel(px, py + 40), kRed));
    plot.drawCrosshair(px, py);
    EXPECT_EQ(canvas.image(), before);
}

TEST_F(PlotDrawing, RedrawDrawsComputedCurveOnlyWhenShown) {
    const QImage plain = plotArea(canvas, plot.geometry());
    sounding.computedCurveShown = true;
    plot.redrawAll();
    EXPECT_NE(plotArea(canvas, plot.geometry()), plain);
    plot.toggleComputedCurve();
    EXPECT_EQ(plotArea(canvas, plot.geometry()), plain);
}

TEST_F(PlotDrawing, CompositeVerticesLieOnTheExactGridRows) {
    // Smoothing off: the composite is a polyline through its vertices.
    settings.smoothingOn = false;
    settings.modelLineWidth = 1;
    sounding.model.interfaceCount = 0;  // no model over the curve
    plot.redrawAll();
    const PlotGeometry& g = plot.geometry();
    const int k = sounding.minGridIndex + 5;
    ASSERT_TRUE(sounding.hasComposite(k));
    const int x = static_cast<int>(g.xOfLogExact(std::log10(sounding.composite(k))));
    const int y = static_cast<int>(g.yOfLogExact(k * kGridStep));
    EXPECT_EQ(canvas.image().pixel(x, y), toPixel(settings.compositeColour));
}

TEST_F(PlotDrawing, NothingIsDrawnWithoutACurve) {
    Canvas blank(200, 150);
    Sounding empty;
    InterpretationPlot idle(blank, empty, settings);
    bool sectionShown = false;
    idle.showSectionOnce = [&] { sectionShown = true; };
    const QImage before = blank.image();
    idle.redrawAll();
    idle.toggleModelLines();
    idle.drawCrosshair(50, 50);
    EXPECT_EQ(blank.image(), before);
    EXPECT_FALSE(sectionShown);
    plot.showSectionOnce = [&] { sectionShown = true; };
    plot.redrawAll();
    EXPECT_TRUE(sectionShown);
}

TEST_F(PlotDrawing, FreeCornerEndsTheLastLayerWhileDrawingOtherwiseItReachesTheBottom) {
    const PlotGeometry& g = plot.geometry();
    LayerModel& m = sounding.model;
    const int x = g.xOf(m.resistivity[3]);
    const int yFree = g.yOf(100.0f);
    plot.toggleModelLines();
    const QImage off = canvas.image();
    plot.toggleModelLines();
    EXPECT_NE(canvas.image().pixel(x, yFree + 20), off.pixel(x, yFree + 20));  // half-space to the bottom
    EXPECT_EQ(m.depth[3], kHalfSpaceDepth);  // the stored model keeps its sentinel
    plot.toggleModelLines();

    plot.styleSource = [] { return ModelLineStyle{-1, -1, true}; };
    m.depth[3] = 100.0f;
    plot.toggleModelLines();
    EXPECT_NE(canvas.image().pixel(x, yFree - 1), off.pixel(x, yFree - 1));
    EXPECT_EQ(canvas.image().pixel(x, yFree + 1), off.pixel(x, yFree + 1));
    plot.toggleModelLines();
    EXPECT_EQ(canvas.image(), off);
}

TEST_F(PlotDrawing, ModelLabelsAreNotStackedWhenAskedTwice) {
    plot.drawModelLabels();
    const QImage once = canvas.image();
    plot.drawModelLabels();  // redraws first, so the transparent texts do not thicken
    EXPECT_EQ(canvas.image(), once);
    plot.modelLabelsWanted = false;
    plot.redrawAll();
    const QImage without = canvas.image();
    plot.drawModelLabels();
    EXPECT_EQ(canvas.image(), without);
}

TEST_F(PlotDrawing, LockedScaleKeepsPixelScalesAcrossAResize) {
    settings.scaleLocked = true;
    const PlotGeometry before = plot.geometry();
    canvas.resize(1000, 800);
    plot.fitPlotRanges();
    plot.redrawAll();
    EXPECT_EQ(plot.geometry().sx, before.sx);
    EXPECT_EQ(plot.geometry().x1, before.x1);
    EXPECT_EQ(plot.geometry().rMax, before.rMax);
    settings.scaleLocked = false;
    plot.fitPlotRanges();
    plot.redrawAll();
    EXPECT_EQ(plot.geometry().x1, 1000 - plot.geometry().marginRight);
}

class BranchLines : public ::testing::Test {
protected:
    void draw() {
        plot.fitPlotRanges();
        PlotGeometry& g = plot.geometry();
        g.imageWidth = canvas.width();
        g.imageHeight = canvas.height();
        computeGeometry(g);
        canvas.fill(kWhite);
        paintMeasuredBranches(PlotContext{canvas, sounding, settings, g, drawer});
    }
    void add(float ab2, float rho, int branch, int grid) {
        const int n = sounding.points.pointCount++;
        sounding.points.ab2[n] = ab2;
        sounding.points.rhoA[n] = rho;
        sounding.points.branch[n] = branch;
        sounding.points.gridIndex[n] = grid;
    }

    Canvas canvas{600, 500};
    Sounding sounding;
    DisplaySettings settings;
    CurveDrawer drawer;
    InterpretationPlot plot{canvas, sounding, settings};
};

TEST_F(BranchLines, TwoReadingsAtOneSpacingShowTwoCrossesAndOneAveragedVertex) {
    add(1.0f, 20, 1, 0);
    add(10.3f, 30, 1, 9);
    add(10.3f, 120, 1, 9);  // repeated reading at the same spacing
    add(107.f, 50, 1, 18);
    settings.smoothingOn = false;
    sounding.minGridIndex = 0;
    sounding.maxGridIndex = 18;
    draw();
    ASSERT_EQ(drawer.pointCount(), 3);
    const PlotGeometry& g = plot.geometry();
    const double y = g.yOfLogExact(std::log10(10.3));
    const double x = (g.xOfLogExact(std::log10(30.0)) + g.xOfLogExact(std::log10(120.0))) / 2;
    EXPECT_EQ(drawer.points()[1], QPoint(static_cast<int>(x), static_cast<int>(y)));
    const QRgb navy = toPixel(settings.branchColour[0]);
    for (float rho : {30.0f, 120.0f}) {
        const int cx = g.xOf(rho), cy = g.yOf(10.3f);
        EXPECT_EQ(canvas.image().pixel(cx - kCrossHalfSize, cy), navy);
        EXPECT_EQ(canvas.image().pixel(cx + kCrossHalfSize, cy), navy);
        EXPECT_EQ(canvas.image().pixel(cx, cy + kCrossHalfSize), navy);
    }
}

TEST_F(BranchLines, BranchFiveUsesTheFifthColour) {
    add(2.18f, 40, 5, 3);
    add(22.5f, 80, 5, 12);
    sounding.minGridIndex = 3;
    sounding.maxGridIndex = 12;
    settings.branchColour[4] = 0x123456;
    draw();
    const PlotGeometry& g = plot.geometry();
    EXPECT_EQ(canvas.image().pixel(g.xOf(40.0f) + 1, g.yOf(2.18f)), toPixel(0x123456));
}

TEST(PlotPicture, RendersTheSampleSounding) {
    Canvas canvas(1344, 1080);
    Sounding sounding;
    DisplaySettings settings;
    testing::loadFourBranchSounding(sounding);
    testing::setFourLayerModel(sounding);
    computeForward(sounding);
    sounding.computedCurveShown = true;
    InterpretationPlot plot(canvas, sounding, settings);
    plot.fitPlotRanges();
    plot.redrawAll();
    plot.drawModelLabels();
    EXPECT_TRUE(plot.modelLabelsDrawn);

    // Pixels at positions from the plot mapping: truncated for the frame and
    // the crosses, float vertices for the curve (the spline starts exactly at
    // its first vertex).
    const PlotGeometry& g = plot.geometry();
    const QImage& image = canvas.image();
    const auto xOf = [&](double logRho) { return static_cast<int>((logRho - g.rMin) * g.sx) + g.x0; };
    const auto yOf = [&](double logA) { return static_cast<int>(std::trunc(g.sy) * (logA - g.aMin) + g.y0); };
    const QRgb black = qRgb(0, 0, 0);
    EXPECT_EQ(image.pixel(g.x0, (g.y0 + g.y1) / 2), black) << "left edge of the frame";
    EXPECT_EQ(image.pixel(g.x1, (g.y0 + g.y1) / 2), black) << "right edge of the frame";
    EXPECT_EQ(image.pixel((3 * g.x0 + g.x1) / 4, g.y0), black) << "top edge of the frame";
    EXPECT_EQ(image.pixel((3 * g.x0 + g.x1) / 4, g.y1), black) << "bottom edge of the frame";

    // The cross of branch 3 (red) at 82.3 m, well away from the other curves.
    int s = 0;
    while (s < sounding.points.pointCount &&
           !(sounding.points.branch[s] == 3 && sounding.points.ab2[s] == 82.3f))
        ++s;
    ASSERT_LT(s, sounding.points.pointCount);
    const int cx = xOf(std::log10(sounding.points.rhoA[s]));
    const int cy = yOf(std::log10(82.3));
    const QRgb red = qRgb(255, 0, 0);
    for (int d = -2; d <= 2; ++d) {
        EXPECT_EQ(image.pixel(cx + d, cy), red) << "horizontal stroke " << d;
        EXPECT_EQ(image.pixel(cx, cy + d), red) << "vertical stroke " << d;
    }

    // The composite (black) at its first grid row.
    const int k = sounding.minGridIndex;
    const double firstX = (std::log10(sounding.composite(k)) - g.rMin) * g.sx + g.x0;
    const double firstY = (k * 0.11266336187471834863 - g.aMin) * g.sy + g.y0;
    EXPECT_EQ(image.pixel(static_cast<int>(firstX), static_cast<int>(firstY)), black);
    // Set ORMA_PLOT_PNG to a file name to look at the picture.
    if (const char* path = std::getenv("ORMA_PLOT_PNG")) {
        EXPECT_TRUE(canvas.image().save(path));
    }
}

}  // namespace
}  // namespace orma::ui
