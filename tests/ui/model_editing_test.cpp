// The model changes behind the mouse gestures and the undo history, without a
// window: layer insertion and deletion, segment picking, boundary clamps.

#include <gtest/gtest.h>

#include "ui/interpretation/editing/LayerEditing.h"
#include "ui/interpretation/editing/ModelHistory.h"
#include "RecordingSurface.h"

namespace orma::ui {
namespace {

LayerModel threeLayers() {
    LayerModel m;
    m.interfaceCount = 2;
    m.resistivity[0] = 10;
    m.resistivity[1] = 100;
    m.resistivity[2] = 20;
    m.depth[0] = 1;
    m.depth[1] = 10;
    m.depth[2] = kHalfSpaceDepth;
    return m;
}


TEST(LayerEditing, InsertSplitsTheTopTheMiddleAndTheHalfSpace) {
    LayerModel top = threeLayers();
    top.depthFixed[0] = 1;
    top.thicknessFixed[0] = 1;
    ASSERT_TRUE(insertLayer(top, 0, 100));
    EXPECT_EQ(top.interfaceCount, 3);
    EXPECT_FLOAT_EQ(top.depth[0], 0.9f);
    EXPECT_FLOAT_EQ(top.resistivity[0], 10.0f);
    EXPECT_FLOAT_EQ(top.depth[1], 1.0f);
    EXPECT_EQ(top.depthFixed[0], 0);  // the new entry is free ...
    EXPECT_EQ(top.depthFixed[1], 1);  // ... the old one kept its flag one place down
    EXPECT_EQ(top.thicknessFixed[0], 1);  // thickness flags stay where they are
    EXPECT_EQ(top.thicknessFixed[1], 0);

    LayerModel middle = threeLayers();
    ASSERT_TRUE(insertLayer(middle, 1, 100));
    EXPECT_FLOAT_EQ(middle.depth[1], 5.5f);
    EXPECT_FLOAT_EQ(middle.resistivity[1], 55.0f);
    EXPECT_FLOAT_EQ(middle.depth[2], 10.0f);
    EXPECT_FLOAT_EQ(middle.resistivity[2], 100.0f);

    LayerModel bottom = threeLayers();
    ASSERT_TRUE(insertLayer(bottom, 2, 100));
    EXPECT_FLOAT_EQ(bottom.depth[2], 55.0f);  // halfway to the plot's bottom edge
    EXPECT_FLOAT_EQ(bottom.resistivity[2], 60.0f);
    EXPECT_FLOAT_EQ(bottom.resistivity[3], 20.0f);
    EXPECT_FLOAT_EQ(bottom.depth[3], kHalfSpaceDepth);

    // A last boundary below the plot's edge still gets a deeper one below it.
    LayerModel deep = threeLayers();
    ASSERT_TRUE(insertLayer(deep, 2, 5));
    EXPECT_GT(deep.depth[2], deep.depth[1]);
}

TEST(LayerEditing, AFullModelAndIndicesOutsideItChangeNothing) {
    LayerModel full = threeLayers();
    full.interfaceCount = kMaxBoundaries;
    for (int k = 0; k <= kMaxBoundaries; ++k) {
        full.resistivity[k] = 10.0f + k;
        full.depth[k] = 1.0f + k;
    }
    const LayerModel before = full;
    EXPECT_FALSE(insertLayer(full, 3, 100));
    EXPECT_EQ(full.interfaceCount, kMaxBoundaries);
    EXPECT_EQ(full.depth, before.depth);

    LayerModel m = threeLayers();
    EXPECT_FALSE(insertLayer(m, 3, 100));
    EXPECT_FALSE(deleteLayer(m, -1));
    EXPECT_FALSE(deleteLayer(m, 3));
    EXPECT_EQ(m.interfaceCount, 2);
    LayerModel none;
    EXPECT_FALSE(deleteLayer(none, 0));
}

TEST(LayerEditing, DeleteTakesTheLayersLowerBoundaryAndTheHalfSpaceMovesUp) {
    LayerModel m = threeLayers();
    m.resistivityFixed[2] = 1;
    ASSERT_TRUE(deleteLayer(m, 0));
    EXPECT_EQ(m.interfaceCount, 1);
    EXPECT_FLOAT_EQ(m.resistivity[0], 100.0f);
    EXPECT_FLOAT_EQ(m.depth[0], 10.0f);
    EXPECT_EQ(m.resistivityFixed[1], 1);
    EXPECT_FLOAT_EQ(m.depth[1], kHalfSpaceDepth);

    LayerModel half = threeLayers();
    ASSERT_TRUE(deleteLayer(half, 2));
    EXPECT_EQ(half.interfaceCount, 1);
    EXPECT_FLOAT_EQ(half.resistivity[1], 100.0f);  // the layer above is the new half-space
    EXPECT_FLOAT_EQ(half.depth[0], 1.0f);
    EXPECT_FLOAT_EQ(half.depth[1], kHalfSpaceDepth);
}

TEST(LayerEditing, TheNearestSegmentWinsAndATieGoesToTheBoundary) {
    const LayerModel m = threeLayers();
    const PlotGeometry g = test::decadePlot();
    // Boundary 0 at y 120 from x 150 (10 ohm.m) to 250 (100 ohm.m); layer 1 at x 250 from y 120 to 220;
    // the half-space (20 ohm.m) at x 180 from y 220 to the plot's bottom at 320.
    EXPECT_EQ(segmentAt(m, g, 200, 124, 10), (Selection{0, -1}));
    EXPECT_EQ(segmentAt(m, g, 245, 170, 10), (Selection{-1, 1}));
    EXPECT_EQ(segmentAt(m, g, 247, 123, 10), (Selection{0, -1}));  // 3 px from both
    EXPECT_EQ(segmentAt(m, g, 248, 124, 10), (Selection{-1, 1}));  // the layer is nearer
    EXPECT_FALSE(segmentAt(m, g, 200, 131, 10).any());             // beyond the tolerance
    EXPECT_NE(segmentAt(m, g, 260, 120, 10).boundary, 0);          // not between its layers
    EXPECT_EQ(segmentAt(m, g, 182, 300, 10), (Selection{-1, 2}));
}

TEST(LayerEditing, ABoundaryStaysBetweenItsNeighbours) {
    const LayerModel m = threeLayers();
    EXPECT_FLOAT_EQ(clampBoundaryDepth(m, 0, 50), 10.0f);
    EXPECT_FLOAT_EQ(clampBoundaryDepth(m, 0, 0.2), 0.2f);
    EXPECT_FLOAT_EQ(clampBoundaryDepth(m, 1, 0.2), 1.0f);
    EXPECT_FLOAT_EQ(clampBoundaryDepth(m, 1, 5000), 5000.0f);  // the half-space sets no limit
}

TEST(ModelHistory, RecordsOnlyChangesAndUndoRedoRestoreExactly) {
    Sounding s;
    ModelHistory history;
    history.reset(s);
    EXPECT_FALSE(history.record(s));
    s.model = threeLayers();
    s.computedRho[4] = 42.5f;
    s.ssq = 0.125;
    s.computedCurveShown = true;
    ASSERT_TRUE(history.record(s));
    const Sounding first = s;
    s.model.depthFixed[1] = 1;
    ASSERT_TRUE(history.record(s));

    ASSERT_TRUE(history.undo(s));
    EXPECT_TRUE(ModelSnapshot::of(s) == ModelSnapshot::of(first));
    ASSERT_TRUE(history.undo(s));
    EXPECT_EQ(s.model.interfaceCount, 0);
    EXPECT_FALSE(s.computedCurveShown);
    EXPECT_FALSE(history.undo(s));
    ASSERT_TRUE(history.redo(s));
    EXPECT_DOUBLE_EQ(s.ssq, 0.125);

    // A change after an undo drops the steps that could have been redone.
    s.model.resistivity[0] = 11;
    history.record(s);
    EXPECT_FALSE(history.canRedo());

    // A change that was never recorded can still be redone after an undo.
    s.model.resistivity[0] = 12;
    ASSERT_TRUE(history.undo(s));
    EXPECT_FLOAT_EQ(s.model.resistivity[0], 11.0f);
    ASSERT_TRUE(history.redo(s));
    EXPECT_FLOAT_EQ(s.model.resistivity[0], 12.0f);
}

TEST(ModelHistory, KeepsABoundedNumberOfSteps) {
    Sounding s;
    ModelHistory history;
    history.reset(s);
    for (int i = 0; i < 300; ++i) {
        s.ssq = i + 1;
        history.record(s);
    }
    EXPECT_EQ(history.size(), ModelHistory::kCapacity);
    while (history.undo(s)) {}
    EXPECT_DOUBLE_EQ(s.ssq, 300.0 - ModelHistory::kCapacity + 1);
}

}  // namespace
}  // namespace orma::ui
