// The editing mode of the model editor, driven without a window: which
// gesture runs after each press, move and release, that every completed
// gesture makes exactly one undo bracket (kept before, ended after), and that
// a gesture abandoned or refused leaves no undo step behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "EditingFixture.h"

namespace orma::ui::test {
namespace {

long countOf(const RecordingSurface& surface, const std::string& call) {
    return std::count(surface.calls.begin(), surface.calls.end(), call);
}

/// Every keepModelForUndo is followed by its modelChanged before the next one.
::testing::AssertionResult bracketsPaired(const RecordingSurface& surface) {
    bool open = false;
    for (std::size_t i = 0; i < surface.calls.size(); ++i) {
        if (surface.calls[i] == "keepModelForUndo") {
            if (open) return ::testing::AssertionFailure() << "a second bracket opened at call " << i;
            open = true;
        } else if (surface.calls[i] == "modelChanged") {
            open = false;
        }
    }
    if (open) return ::testing::AssertionFailure() << "the last bracket is still open";
    return ::testing::AssertionSuccess();
}

TEST(ModelEditorMode, DrawingRunsFromTheRightClickToTheLastCornerAsOneBracket) {
    Editing e;
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
    e.move(e.g.x1 - 3, e.g.y0 + 3);
    e.press(MouseButton::Right, e.g.x1 - 3, e.g.y0 + 3);
    EXPECT_EQ(e.editor.mode(), EditMode::Drawing);
    EXPECT_EQ(countOf(e.surface, "keepModelForUndo"), 1);
    EXPECT_EQ(countOf(e.surface, "modelChanged"), 0) << "nothing ends before the last corner";
    e.drawCorners({{20, 1.5}, {90, 6}, {200, 30}});
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
    EXPECT_EQ(countOf(e.surface, "modelChanged"), 1);
    EXPECT_TRUE(bracketsPaired(e.surface));
    EXPECT_EQ(e.m().interfaceCount, 2);
}

TEST(ModelEditorMode, DraggingRunsFromPressToReleaseAndOtherButtonsDoNothingMeanwhile) {
    Editing e;
    e.drawFourLayers();
    e.surface.calls.clear();
    ASSERT_TRUE(e.selectBoundary(1));
    const Editing::Point p = e.onBoundary(1);
    e.press(MouseButton::Left, p.x, p.y);
    EXPECT_EQ(e.editor.mode(), EditMode::Dragging);
    const int boundaries = e.m().interfaceCount;
    e.press(MouseButton::Right, p.x, p.y);  // would insert a layer when idle
    EXPECT_EQ(e.m().interfaceCount, boundaries);
    e.move(p.x, e.g.yOf(12), true);
    EXPECT_EQ(e.editor.mode(), EditMode::Dragging);
    e.release(MouseButton::Left, p.x, e.g.yOf(12));
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
    EXPECT_EQ(countOf(e.surface, "keepModelForUndo"), 1);
    EXPECT_EQ(countOf(e.surface, "modelChanged"), 1);
    EXPECT_TRUE(bracketsPaired(e.surface));
}

TEST(ModelEditorMode, AReleaseElsewhereEndsTheDragOnTheNextMove) {
    Editing e;
    e.drawFourLayers();
    ASSERT_TRUE(e.selectLayer(2));
    const Editing::Point p = e.onLayer(2);
    e.press(MouseButton::Left, p.x, p.y);
    e.move(e.g.xOf(40), p.y);  // the button is up: the release went to another window
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
    EXPECT_TRUE(bracketsPaired(e.surface));
    ASSERT_TRUE(e.history.canUndo());
}

TEST(ModelEditorMode, AnAbandonedGestureLeavesNoStepAndNoOpenBracket) {
    Editing e;
    e.drawFourLayers();
    const std::size_t steps = e.history.size();
    // A drawing abandoned by undo.
    e.move(e.g.x1 - 3, e.g.y0 + 3);
    e.press(MouseButton::Right, e.g.x1 - 3, e.g.y0 + 3);
    e.move(e.g.xOf(40), e.g.yOf(3));
    e.press(MouseButton::Left, e.g.xOf(40), e.g.yOf(3));
    ASSERT_EQ(e.editor.mode(), EditMode::Drawing);
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
    EXPECT_EQ(e.history.size(), steps);
    EXPECT_FALSE(e.history.canRedo());
    // A drag cut short by a reset (a new curve): no step, and no late end of
    // the bracket when the next gesture begins.
    ASSERT_TRUE(e.selectBoundary(0));
    e.press(MouseButton::Left, e.onBoundary(0).x, e.onBoundary(0).y);
    ASSERT_EQ(e.editor.mode(), EditMode::Dragging);
    e.surface.calls.clear();
    e.editor.reset();
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
    EXPECT_EQ(countOf(e.surface, "modelChanged"), 0);
    EXPECT_EQ(e.history.size(), steps);
    ASSERT_TRUE(e.selectLayer(1));
    e.click(MouseButton::Left, e.onLayer(1).x, e.onLayer(1).y, true);
    EXPECT_EQ(countOf(e.surface, "modelChanged"), 1) << "the fix flag's own bracket only";
}

TEST(ModelEditorMode, ARefusedInsertEndsNoBracket) {
    Editing e;
    e.drawFourLayers();
    // A model of every boundary there can be, spread over the plot; one more is asked for.
    LayerModel& m = e.s().model;
    m.interfaceCount = kMaxLayers - 1;
    for (int k = 0; k < m.interfaceCount; ++k) {
        m.depth[k] = static_cast<float>(std::pow(10.0, -0.9 + 2.8 * (k + 1) / kMaxLayers));
        m.resistivity[k] = k % 2 == 0 ? 20.0f : 200.0f;
    }
    m.resistivity[m.interfaceCount] = 50.0f;
    m.depth[m.interfaceCount] = kHalfSpaceDepth;
    e.surface.redrawAll();
    e.history.record(e.s());  // set from outside: recorded, so the refusal alone is measured
    const std::size_t steps = e.history.size();
    e.surface.calls.clear();
    ASSERT_TRUE(e.selectBoundary(14));
    e.click(MouseButton::Right, e.onBoundary(14).x, e.onBoundary(14).y);
    EXPECT_EQ(e.m().interfaceCount, kMaxLayers - 1);
    EXPECT_EQ(countOf(e.surface, "keepModelForUndo"), 1);
    EXPECT_EQ(countOf(e.surface, "modelChanged"), 0);
    EXPECT_EQ(e.history.size(), steps);
    ASSERT_FALSE(e.surface.messages.empty());
}

TEST(ModelEditorMode, CurveEditingIsReportedAndBlocksTheDoubleClick) {
    Editing e;
    e.drawFourLayers();
    e.s().curveEditMode = true;
    EXPECT_EQ(e.editor.mode(), EditMode::CurveEditing);
    MouseInput in;
    in.button = MouseButton::Left;
    in.x = e.g.xOf(50);
    in.y = e.g.yOf(0.5);
    e.move(in.x, in.y);
    e.editor.doubleClick(in);
    EXPECT_EQ(e.surface.newCurveRequests, 0);
    e.s().curveEditMode = false;
    EXPECT_EQ(e.editor.mode(), EditMode::Idle);
}

}  // namespace
}  // namespace orma::ui::test
