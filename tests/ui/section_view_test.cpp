// The section drawing: geometry from scales and ranges, and pixels at the
// positions the view mapping gives (arrows, interface marks, fit-error bars).

#include <gtest/gtest.h>

#include "support/QtTestEnvironment.h"
#include "support/VesDatabaseBuilders.h"
#include "ui/platform/Canvas.h"
#include "ui/section/SectionView.h"

namespace orma::ui {
namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFF;
constexpr QRgb kBlackPixel = 0xFF000000;   // white XOR white
constexpr QRgb kBarPixel = 0xFF7F7F7F;     // white XOR grey
constexpr QRgb kBluePixel = 0xFF0000FF;    // white XOR yellow

/// A point with one interface 5 m below it.
VesPoint twoLayerPoint(float chainage, float z, float ssq) {
    VesPoint p = orma::test::makePoint(0, 6, 2);
    p.profileChainage = chainage;
    p.terrainChainage = chainage;
    p.z = z;
    p.ssq = ssq;
    p.depth[0] = 5.0f;
    return p;
}

class SectionViewTest : public ::testing::Test {
protected:
    SectionViewTest() : canvas(1600, 1200), view(canvas, db, display) {
        Profile& profile = db.localities[0].profiles[0];
        profile.name = "P1";
        profile.xScale = 1e-3f;  // 1:1000
        profile.zScale = 1e-3f;
        QFont font = Canvas::defaultFont();
        font.setStyleStrategy(QFont::NoAntialias);
        canvas.setFont(font);
    }
    Profile& profile() { return db.localities[0].profiles[0]; }
    QRgb pixel(int x, int y) const { return canvas.image().pixel(x, y); }

    VesDatabase db;
    SectionDisplay display;
    Canvas canvas;
    SectionView view;
};

TEST_F(SectionViewTest, ScaleOneToAThousandAndTheImageGeometry) {
    profile().points = {twoLayerPoint(100.0f, 300.0f, 0.0f), twoLayerPoint(150.0f, 310.0f, 0.0f)};
    view.redrawAll();
    const SectionGeometry& g = view.geometry();
    EXPECT_NEAR(g.pixelsPerMetreX, 14.173, 0.0005);
    EXPECT_NEAR(g.pixelsPerMetreZ, 14.173, 0.0005);
    const int H = g.textHeight, W = g.textWidth;
    ASSERT_GT(H, 0);
    // Chainages 100..150, elevations 295 (interface) .. 310.
    EXPECT_EQ(g.imageWidth, static_cast<int>(50 * g.pixelsPerMetreX) + 10 * W);
    EXPECT_EQ(g.imageHeight, static_cast<int>(15 * g.pixelsPerMetreZ) + 6 * H);
    EXPECT_NEAR(g.px(100.0), 5 * W, 1);
    EXPECT_NEAR(g.py(310.0), 3 * H, 1);
    EXPECT_EQ(g.boxLeft, 3 * W);
    EXPECT_EQ(g.boxRight, g.imageWidth - 3 * W);
    EXPECT_EQ(g.boxBottom, g.imageHeight - 2 * H + H / 2);
    EXPECT_EQ(view.title(), "locality name:  - profile: P1");
}

TEST_F(SectionViewTest, ArrowInterfaceMarkAndFitErrorBarAtTheMappedPixels) {
    // Chainages off the 5-metre ticks of the bottom axis.
    profile().points = {twoLayerPoint(102.0f, 300.0f, 0.25f), twoLayerPoint(163.0f, 302.0f, 0.0f)};
    // The second point's deep interface keeps every label far above the bars.
    profile().points[1].depth[0] = 40.0f;
    db.currentPoint = 1;
    view.redrawAll();
    const SectionGeometry& g = view.geometry();
    const int s = SectionGeometry::kMarkerSize;
    const int x = g.px(102.0), y = g.py(300.0);
    EXPECT_EQ(pixel(x, y - s), kBlackPixel) << "shaft of the arrow";
    EXPECT_EQ(pixel(x - s / 2 + 1, y - s / 2), kBlackPixel) << "head of the arrow";

    const int mark = g.pyRounded(295.0);
    EXPECT_EQ(pixel(x - s / 2, mark), kBlackPixel);
    EXPECT_EQ(pixel(x + s / 2 - 1, mark), kBlackPixel);
    EXPECT_EQ(pixel(x + s / 2, mark), kWhitePixel);
    EXPECT_EQ(pixel(x, mark - 1), kWhitePixel);

    // SSQ 0.25: a bar of 25 pixels standing on the bottom of the axis box.
    for (int i = 1; i < 25; ++i) EXPECT_EQ(pixel(x, g.boxBottom - i), kBarPixel) << i;
    EXPECT_EQ(pixel(x, g.boxBottom - 25), kWhitePixel);
    EXPECT_EQ(pixel(x + 1, g.boxBottom - 5), kWhitePixel);

    // The selected point: yellow XOR shows blue; no bar for SSQ 0.
    const int x2 = g.px(163.0), y2 = g.py(302.0);
    EXPECT_EQ(pixel(x2, y2 - s), kBluePixel);
    EXPECT_EQ(pixel(x2, g.boxBottom - 1), kWhitePixel);
}

TEST_F(SectionViewTest, TwoPointsAtOneChainageAndAPointOnTheDisplayedLimit) {
    profile().points = {twoLayerPoint(100.0f, 300.0f, 0.0f), twoLayerPoint(100.0f, 306.0f, 0.0f),
                        twoLayerPoint(140.0f, 303.0f, 0.0f)};
    view.redrawAll();
    const SectionGeometry& g = view.geometry();
    const int s = SectionGeometry::kMarkerSize;
    const int x = g.px(100.0);
    EXPECT_EQ(pixel(x, g.py(300.0) - s), kBlackPixel);
    EXPECT_EQ(pixel(x, g.py(306.0) - s), kBlackPixel);
    // The terrain line takes the first of the two, then repeats its last vertex.
    const std::vector<QPoint> expected = {{x, g.pyRounded(300.0)}, {g.px(140.0), g.pyRounded(303.0)},
                                          {g.px(140.0), g.pyRounded(303.0)}};
    EXPECT_EQ(view.terrainLine(), expected);

    // On the minimal displayed chainage: not drawn, still in the line and selectable.
    display.minChainage = 100.0f;
    view.redrawAll();
    EXPECT_EQ(pixel(x, g.py(300.0) - s), kWhitePixel);
    EXPECT_EQ(pixel(x, g.py(306.0) - s), kWhitePixel);
    EXPECT_EQ(view.terrainLine().size(), 3u);
    EXPECT_EQ(view.nearestPoint(x + 2), 0);
    EXPECT_EQ(view.nearestPoint(g.px(140.0) - 3), 2);
}

TEST_F(SectionViewTest, AnEmptyProfileDrawsItsFrameAndTitle) {
    profile().points.clear();
    db.localities[0].name = "Hrádek";
    view.redrawAll();
    const SectionGeometry& g = view.geometry();
    EXPECT_GT(g.imageWidth, 0);
    EXPECT_GT(g.boxBottom, g.boxTop);
    EXPECT_GT(g.boxRight, g.boxLeft);
    EXPECT_EQ(pixel(g.boxLeft, (g.boxTop + g.boxBottom) / 2), toPixel(kGrey));
    EXPECT_EQ(pixel(g.boxRight, g.boxTop + 1), toPixel(kGrey));
    EXPECT_GE(view.shownWidth(), canvas.textWidth(view.title()));
    EXPECT_EQ(view.nearestPoint(10), -1);
}

TEST_F(SectionViewTest, LabelsFollowTheDisplaySwitches) {
    VesPoint p = twoLayerPoint(120.4f, 300.0f, 0.0f);
    p.terrainChainage = 120.4f;
    EXPECT_EQ(view.pointLabel(p), "120");
    display.labels.chainageAlongTerrain = false;
    EXPECT_EQ(view.pointLabel(p), "120.4");
    display.labels.profileNamePrefix = true;
    EXPECT_EQ(view.pointLabel(p), "P1120.4");
    display.labels.chainageAlongTerrain = true;
    EXPECT_EQ(view.pointLabel(p), "P1120");
    p.terrainChainage = -0.4f;  // the absolute value, as the drawing always showed
    EXPECT_EQ(view.pointLabel(p), "P10");
}

TEST_F(SectionViewTest, AZeroOrNegativeScaleIsShownAtTheSmallestScale) {
    profile().points = {twoLayerPoint(100.0f, 300.0f, 0.0f), twoLayerPoint(5000.0f, 300.0f, 0.0f)};
    profile().xScale = 0.0f;
    profile().zScale = -2e-3f;
    view.redrawAll();
    EXPECT_DOUBLE_EQ(view.geometry().pixelsPerMetreX, 1e-6 * SectionGeometry::kDotsPerMetre);
    EXPECT_NEAR(view.geometry().pixelsPerMetreZ, 2e-3 * SectionGeometry::kDotsPerMetre, 1e-4);
    EXPECT_LT(view.nearestPoint(view.geometry().px(100.0)), 1);
}

TEST_F(SectionViewTest, WildValuesInAFileNeverBreakTheDrawing) {
    VesPoint far = twoLayerPoint(9e6f, 3e30f, 1e30f);
    far.depth[0] = std::numeric_limits<float>::infinity();
    far.resistivity[0] = std::numeric_limits<float>::quiet_NaN();
    profile().points = {twoLayerPoint(100.0f, 300.0f, 0.1f), far};
    profile().xScale = 1.0f;
    display.maxChainage = 1e7f;
    display.maxElevation = 1e31f;
    view.redrawAll();
    EXPECT_LE(view.geometry().imageWidth, 1000000 + 20 * view.geometry().textWidth);
    EXPECT_GE(view.nearestPoint(0), 0);
}

}  // namespace
}  // namespace orma::ui
