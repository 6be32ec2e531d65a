// The curve drawer: when it smooths, and what the B-spline passes through.

#include <gtest/gtest.h>

#include "support/QtTestEnvironment.h"
#include "ui/interpretation/plot/CurveDrawer.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

const CurveVertex kZigzag[5] = {{10.7, 10}, {60, 80}, {110, 20}, {160, 90}, {210.9, 30.4}};
const SmoothingOptions kSmooth{true, 3, 128};

TEST(CurveDrawer, TwoVerticesOrANarrowGridSpanDrawStraight) {
    Canvas canvas(300, 120);
    CurveDrawer drawer;
    drawer.draw(canvas, kZigzag, 2, kSmooth, 10);
    ASSERT_EQ(drawer.pointCount(), 2);
    EXPECT_EQ(drawer.points()[1], QPoint(60, 80));
    drawer.draw(canvas, kZigzag, 5, kSmooth, 1);  // the sounding spans two grid indices
    EXPECT_EQ(drawer.pointCount(), 5);
    drawer.draw(canvas, kZigzag, 5, {false, 3, 128}, 10);
    EXPECT_EQ(drawer.pointCount(), 5);
    EXPECT_EQ(drawer.points()[0], QPoint(10, 10));  // truncated
    drawer.draw(canvas, kZigzag, 1, kSmooth, 10);
    EXPECT_EQ(drawer.pointCount(), 0);
}

TEST(CurveDrawer, SplineStartsAtTheFirstAndEndsAtTheLastVertex) {
    CurveDrawer drawer;
    const int n = drawer.smooth(kZigzag, 5, 3, 128);
    ASSERT_GT(n, 2);
    EXPECT_EQ(drawer.points()[0], QPoint(10, 10));
    EXPECT_EQ(drawer.points()[n - 1], QPoint(210, 30));
}

TEST(CurveDrawer, QuadraticSplineMidpointsAverageNeighbouringVertices) {
    // Knots 0 0 0 1 2 2 2: at v = 1 the quadratic basis is (0, 1/2, 1/2, 0).
    const CurveVertex square[4] = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    CurveDrawer drawer;
    const int n = drawer.smooth(square, 4, 3, 5);  // v = 0, 0.5, 1, 1.5, then the last vertex
    ASSERT_EQ(n, 5);
    EXPECT_EQ(drawer.points()[2], QPoint(100, 50));
    EXPECT_EQ(drawer.points()[1], QPoint(75, 12));  // 1/4 P0 + 5/8 P1 + 1/8 P2
}

TEST(CurveDrawer, ResolutionIsClampedToTheBuffer) {
    CurveVertex many[100];
    for (int i = 0; i < 100; ++i) many[i] = {i * 7.0, (i % 2) * 200.0};
    CurveDrawer drawer;
    EXPECT_LE(drawer.smooth(many, 100, 3, 5000), CurveDrawer::kMaxOutputPoints);
    EXPECT_EQ(drawer.points()[drawer.pointCount() - 1], QPoint(99 * 7, 200));
}

TEST(CurveDrawer, OrderAboveTheVertexCountStillEndsAtBothVertices) {
    CurveDrawer drawer;
    const int n = drawer.smooth(kZigzag, 3, 7, 50);
    ASSERT_GT(n, 2);
    EXPECT_EQ(drawer.points()[0], QPoint(10, 10));
    EXPECT_EQ(drawer.points()[n - 1], QPoint(110, 20));
    for (int i = 0; i < n; ++i) {  // a convex combination stays within the vertices' box
        EXPECT_GE(drawer.points()[i].x(), 10);
        EXPECT_LE(drawer.points()[i].x(), 110);
    }
}

}  // namespace
}  // namespace orma::ui
