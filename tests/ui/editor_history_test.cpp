// Undo and redo as a history of gestures, driven against the model editor
// without a window: every gesture that changes the model is one step, undo
// brings back exactly what was there before it, redo exactly what it made,
// and a new change after an undo drops what could have been redone. Long
// seeded random sequences are checked against a plain list of snapshots.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "EditingFixture.h"

namespace orma::ui::test {
namespace {

struct Gesture {
    const char* name;
    std::function<void(Editing&)> act;
    std::function<void(Editing&)> prepare = {};  ///< steps of its own before the gesture
};

/// Every kind of model change the mouse makes, each on the four-layer model
/// 20/90/10/200 ohm.m with boundaries at 1.5, 6 and 25 m.
std::vector<Gesture> everyGesture() {
    using E = Editing;
    return {
        {"drag a boundary",
         [](E& e) {
             ASSERT_TRUE(e.selectBoundary(1));
             e.dragTo(e.onBoundary(1), e.onBoundary(1).x, e.g.yOf(12));
         }},
        {"drag a layer",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(2));
             e.dragTo(e.onLayer(2), e.g.xOf(40), e.onLayer(2).y);
         }},
        {"drag the half-space",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(3));
             e.dragTo(e.onLayer(3), e.g.xOf(500), e.onLayer(3).y);
         }},
        {"click a boundary to a new place",
         [](E& e) {
             ASSERT_TRUE(e.selectBoundary(0));
             e.press(MouseButton::Left, e.onBoundary(0).x, e.onBoundary(0).y);
             e.release(MouseButton::Left, e.onBoundary(0).x, e.onBoundary(0).y + 7);
         }},
        {"fix a depth",
         [](E& e) {
             ASSERT_TRUE(e.selectBoundary(2));
             e.click(MouseButton::Left, e.onBoundary(2).x, e.onBoundary(2).y, true);
         }},
        {"fix a resistivity",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(1));
             e.click(MouseButton::Left, e.onLayer(1).x, e.onLayer(1).y, true);
         }},
        {"fix a thickness",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(2));
             e.click(MouseButton::Left, e.onLayer(2).x, e.onLayer(2).y, false, true);
         }},
        {"insert at the top",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(0));
             e.click(MouseButton::Right, e.onLayer(0).x, e.onLayer(0).y);
         }},
        {"insert at a boundary",
         [](E& e) {
             ASSERT_TRUE(e.selectBoundary(1));
             e.click(MouseButton::Right, e.onBoundary(1).x, e.onBoundary(1).y);
         }},
        {"insert at the half-space",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(3));
             e.click(MouseButton::Right, e.onLayer(3).x, e.onLayer(3).y);
         }},
        {"delete with the middle button",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(1));
             e.click(MouseButton::Middle, e.onLayer(1).x, e.onLayer(1).y);
         }},
        {"delete the half-space with Ctrl+right",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(3));
             e.click(MouseButton::Right, e.onLayer(3).x, e.onLayer(3).y, true);
         }},
        {"delete the model and draw a new one",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(2));
             e.click(MouseButton::Right, e.onLayer(2).x, e.onLayer(2).y, true, true);
             ASSERT_TRUE(e.editor.state().drawing());
             e.drawCorners({{50, 3}, {5, 30}});
         }},
        {"a right click beside the model and a new drawing",
         [](E& e) {
             e.drawModel({{15, 2}, {150, 10}, {40, 40}});
         }},
        {"delete the only boundary and draw anew",
         [](E& e) {
             ASSERT_TRUE(e.selectLayer(0));
             e.click(MouseButton::Middle, e.onLayer(0).x, e.onLayer(0).y);
             ASSERT_TRUE(e.editor.state().drawing());
             e.drawCorners({{70, 4}, {7, 20}});
         },
         [](E& e) {
             for (int twice = 0; twice < 2; ++twice) {
                 ASSERT_TRUE(e.selectLayer(0));
                 e.click(MouseButton::Middle, e.onLayer(0).x, e.onLayer(0).y);
             }
             ASSERT_EQ(e.m().interfaceCount, 1);
         }},
    };
}

TEST(EditorHistory, EveryGestureIsOneStepThatUndoRevertsAndRedoRestoresExactly) {
    for (const Gesture& gesture : everyGesture()) {
        SCOPED_TRACE(gesture.name);
        Editing e;
        e.drawFourLayers();
        ASSERT_EQ(e.m().interfaceCount, 3);
        if (gesture.prepare) gesture.prepare(e);
        if (::testing::Test::HasFatalFailure()) return;
        const State drawn = e.state();
        // A step before the gesture, so that a gesture taking two steps shows.
        ASSERT_TRUE(e.selectLayer(0));
        e.dragTo(e.onLayer(0), e.g.xOf(25), e.onLayer(0).y);
        const State stepBefore = e.state();
        ASSERT_TRUE(differs(stepBefore, drawn));
        // Then a change no gesture recorded: a composite point edited, the
        // SSQ on screen recomputed. Undo of the gesture must come back to
        // this, not to the SSQ of the step before.
        e.s().branches.shiftedRho[9][0] *= 1.2f;
        e.surface.redrawAll();
        const State before = e.state();
        ASSERT_TRUE(differs(before, stepBefore));

        gesture.act(e);
        if (::testing::Test::HasFatalFailure()) return;
        ASSERT_FALSE(e.editor.state().drawing());
        const State after = e.state();
        ASSERT_TRUE(differs(after, before)) << "the gesture changed nothing";
        EXPECT_TRUE(e.editor.canUndo(e.history));
        EXPECT_FALSE(e.history.canRedo());

        ASSERT_TRUE(e.editor.undo(e.history));
        EXPECT_TRUE(sameState(e.state(), before));
        ASSERT_TRUE(e.editor.undo(e.history));
        EXPECT_TRUE(sameState(e.state(), stepBefore));
        ASSERT_TRUE(e.editor.undo(e.history));
        EXPECT_TRUE(sameState(e.state(), drawn));
        ASSERT_TRUE(e.editor.redo(e.history));
        ASSERT_TRUE(e.editor.redo(e.history));
        EXPECT_TRUE(sameState(e.state(), before));
        ASSERT_TRUE(e.editor.redo(e.history));
        EXPECT_TRUE(sameState(e.state(), after));
        EXPECT_FALSE(e.editor.redo(e.history));
        EXPECT_TRUE(sameState(e.state(), after));
    }
}

TEST(EditorHistory, ToggledFlagsAreExactlyTheSelectedOnesAndEachToggleIsAStep) {
    Editing e;
    e.drawFourLayers();
    const State drawn = e.state();
    ASSERT_TRUE(e.selectBoundary(1));
    e.click(MouseButton::Left, e.onBoundary(1).x, e.onBoundary(1).y, true);
    ASSERT_TRUE(e.selectLayer(2));
    e.click(MouseButton::Left, e.onLayer(2).x, e.onLayer(2).y, true);
    e.click(MouseButton::Left, e.onLayer(2).x, e.onLayer(2).y, false, true);
    for (int k = 0; k < kFlagSlots; ++k) {
        EXPECT_EQ(e.m().depthFixed[k], k == 1 ? 1 : 0) << k;
        EXPECT_EQ(e.m().resistivityFixed[k], k == 2 ? 1 : 0) << k;
        EXPECT_EQ(e.m().thicknessFixed[k], k == 2 ? 1 : 0) << k;
    }
    // Shift on a boundary changes nothing (thickness flags belong to layers).
    ASSERT_TRUE(e.selectBoundary(0));
    const std::size_t steps = e.history.size();
    e.click(MouseButton::Left, e.onBoundary(0).x, e.onBoundary(0).y, false, true);
    EXPECT_EQ(e.history.size(), steps);
    EXPECT_EQ(e.m().thicknessFixed[0], 0);
    // The same Ctrl+click again frees the depth: a step of its own.
    ASSERT_TRUE(e.selectBoundary(1));
    e.click(MouseButton::Left, e.onBoundary(1).x, e.onBoundary(1).y, true);
    EXPECT_EQ(e.m().depthFixed[1], 0);
    for (int undo = 0; undo < 3; ++undo) ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_EQ(e.m().depthFixed[1], 1);
    EXPECT_EQ(e.m().resistivityFixed[2], 0);
    EXPECT_EQ(e.m().thicknessFixed[2], 0);
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_TRUE(sameState(e.state(), drawn));
}

TEST(EditorHistory, ANewChangeAfterUndoDropsTheRedoBranch) {
    Editing e;
    e.drawFourLayers();
    const State drawn = e.state();
    ASSERT_TRUE(e.selectBoundary(1));
    e.dragTo(e.onBoundary(1), e.onBoundary(1).x, e.g.yOf(10));
    const State a = e.state();
    ASSERT_TRUE(e.selectLayer(1));
    e.click(MouseButton::Left, e.onLayer(1).x, e.onLayer(1).y, true);
    const State b = e.state();

    ASSERT_TRUE(e.editor.undo(e.history));
    ASSERT_TRUE(sameState(e.state(), a));
    EXPECT_TRUE(e.history.canRedo());
    ASSERT_TRUE(e.selectLayer(0));
    e.click(MouseButton::Right, e.onLayer(0).x, e.onLayer(0).y);  // insert
    const State c = e.state();
    ASSERT_TRUE(differs(c, b));
    EXPECT_FALSE(e.history.canRedo());
    EXPECT_FALSE(e.editor.redo(e.history));
    EXPECT_TRUE(sameState(e.state(), c));

    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_TRUE(sameState(e.state(), a));
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_TRUE(sameState(e.state(), drawn));
    ASSERT_TRUE(e.editor.redo(e.history));
    ASSERT_TRUE(e.editor.redo(e.history));
    EXPECT_TRUE(sameState(e.state(), c)) << "redo follows the new branch, not the dropped one";
}

TEST(EditorHistory, UndoWhileDrawingGoesBackToTheModelBeforeIt) {
    Editing e;
    e.drawFourLayers();
    const State drawn = e.state();
    // A new drawing half done: two corners set, the third following the cursor.
    e.move(e.g.x1 - 3, e.g.y0 + 3);
    e.press(MouseButton::Right, e.g.x1 - 3, e.g.y0 + 3);
    ASSERT_TRUE(e.editor.state().drawing());
    e.move(e.g.xOf(40), e.g.yOf(3));
    e.press(MouseButton::Left, e.g.xOf(40), e.g.yOf(3));
    e.move(e.g.xOf(9), e.g.yOf(15));
    EXPECT_TRUE(e.editor.canUndo(e.history));
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_FALSE(e.editor.state().drawing());
    EXPECT_TRUE(sameState(e.state(), drawn));
    EXPECT_FALSE(e.history.canRedo()) << "half a drawing is no step to redo";
    // The abandoned drawing left no step: one more undo is the empty start.
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_EQ(e.m().interfaceCount, 0);
    EXPECT_FALSE(e.editor.undo(e.history));
    EXPECT_FALSE(e.editor.canUndo(e.history));
    ASSERT_TRUE(e.editor.redo(e.history));
    EXPECT_TRUE(sameState(e.state(), drawn));
}

TEST(EditorHistory, RedoWaitsWhileAModelIsDrawn) {
    Editing e;
    e.drawFourLayers();
    ASSERT_TRUE(e.selectBoundary(1));
    e.dragTo(e.onBoundary(1), e.onBoundary(1).x, e.g.yOf(10));
    const State dragged = e.state();
    ASSERT_TRUE(e.editor.undo(e.history));
    ASSERT_TRUE(e.history.canRedo());
    // A new drawing begun (not yet a change): redo must not cut into it.
    e.move(e.g.x1 - 3, e.g.y0 + 3);
    e.press(MouseButton::Right, e.g.x1 - 3, e.g.y0 + 3);
    ASSERT_TRUE(e.editor.state().drawing());
    e.move(e.g.xOf(40), e.g.yOf(3));
    const State drawing = e.state();
    EXPECT_FALSE(e.editor.redo(e.history));
    EXPECT_TRUE(e.editor.state().drawing());
    EXPECT_TRUE(sameState(e.state(), drawing));
    // Abandoned by undo, the redo is there again.
    ASSERT_TRUE(e.editor.undo(e.history));
    ASSERT_TRUE(e.editor.redo(e.history));
    EXPECT_TRUE(sameState(e.state(), dragged));
}

TEST(EditorHistory, UndoAfterAnUnrecordedChangeStepsBackToTheLastStepAndRedoBringsTheChangeBack) {
    Editing e;
    e.drawFourLayers();
    const State drawn = e.state();
    ASSERT_TRUE(e.selectLayer(2));
    e.click(MouseButton::Left, e.onLayer(2).x, e.onLayer(2).y, true);
    const State fixed = e.state();
    // A composite point edited: the SSQ on screen changes, no step is taken.
    e.s().branches.shiftedRho[4][0] *= 0.8f;
    e.surface.redrawAll();
    const State edited = e.state();
    ASSERT_TRUE(differs(edited, fixed));
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_TRUE(sameState(e.state(), fixed));
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_TRUE(sameState(e.state(), drawn));
    ASSERT_TRUE(e.editor.redo(e.history));
    ASSERT_TRUE(e.editor.redo(e.history));
    EXPECT_TRUE(sameState(e.state(), edited));
}

TEST(EditorHistory, NothingIsUndoneOrRedoneWhileASegmentIsHeld) {
    Editing e;
    e.drawFourLayers();
    ASSERT_TRUE(e.selectBoundary(0));
    e.dragTo(e.onBoundary(0), e.onBoundary(0).x, e.g.yOf(3));
    ASSERT_TRUE(e.editor.undo(e.history));
    const State undone = e.state();
    ASSERT_TRUE(e.selectLayer(1));
    const Editing::Point p = e.onLayer(1);
    e.press(MouseButton::Left, p.x, p.y);
    e.move(e.g.xOf(300), p.y, true);
    const State held = e.state();
    EXPECT_FALSE(e.editor.undo(e.history));
    EXPECT_FALSE(e.editor.redo(e.history));
    EXPECT_TRUE(sameState(e.state(), held));
    EXPECT_TRUE(e.editor.state().dragging());
    e.release(MouseButton::Left, e.g.xOf(300), p.y);
    ASSERT_TRUE(e.editor.undo(e.history));
    EXPECT_TRUE(sameState(e.state(), undone));
}

TEST(EditorHistory, GesturesThatChangeNothingLeaveNoStep) {
    Editing e;
    e.drawFourLayers();
    const std::size_t steps = e.history.size();
    const State drawn = e.state();
    // Hovering, clicks away from the model, Ctrl+click on nothing, margin clicks.
    e.move(e.g.x0 + 2, e.g.y1 - 2);
    EXPECT_FALSE(e.editor.state().active.any());
    e.click(MouseButton::Left, e.g.x0 + 2, e.g.y1 - 2, true);
    e.click(MouseButton::Left, e.g.x0 + 2, e.g.y1 - 2, false, true);
    e.click(MouseButton::Middle, e.g.x0 + 2, e.g.y1 - 2);
    e.click(MouseButton::Left, e.g.x0 - 10, e.g.y0 + 50);
    e.click(MouseButton::Right, e.g.x0 - 10, e.g.y0 + 50);
    EXPECT_EQ(e.history.size(), steps);
    EXPECT_TRUE(sameState(e.state(), drawn));
}

// ---- long random sequences against a plain list of snapshots ----------------

class RandomSession {
public:
    explicit RandomSession(unsigned seed) : random_(seed) {
        const State empty = e_.state();
        e_.drawFourLayers();
        expected_ = {empty, e_.state()};
        at_ = 1;
    }

    /// One random gesture or command, checked against the list.
    void step(int i) {
        const int choice = pick(0, 15);
        if (choice <= 1) return undo(i);
        if (choice == 2) return redo(i);
        const State before = e_.state();
        if (!gesture(choice)) return;
        ASSERT_FALSE(e_.editor.state().drawing()) << "step " << i;
        ASSERT_FALSE(e_.editor.state().dragging()) << "step " << i;
        const State after = e_.state();
        if (!differs(after, before)) return;
        expected_.resize(at_ + 1);  // a change after undo drops the redo branch
        expected_.push_back(after);
        if (expected_.size() > ModelHistory::kCapacity) expected_.erase(expected_.begin());
        at_ = expected_.size() - 1;
        EXPECT_FALSE(e_.history.canRedo()) << "step " << i;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    double logUniform(double lo, double hi) {
        return std::pow(10.0,
                        std::uniform_real_distribution<double>(std::log10(lo), std::log10(hi))(random_));
    }

    void undo(int i) {
        const bool possible = at_ > 0;
        EXPECT_EQ(e_.editor.undo(e_.history), possible) << "step " << i;
        if (possible) --at_;
        EXPECT_TRUE(sameState(e_.state(), expected_[at_])) << "undo at step " << i;
    }
    void redo(int i) {
        const bool possible = at_ + 1 < expected_.size();
        EXPECT_EQ(e_.editor.redo(e_.history), possible) << "step " << i;
        if (possible) ++at_;
        EXPECT_TRUE(sameState(e_.state(), expected_[at_])) << "redo at step " << i;
    }

    /// Performs gesture `choice`; false when the chosen segment cannot be
    /// taken (nothing happened).
    bool gesture(int choice) {
        const int n = e_.m().interfaceCount;
        if (n <= 0) {
            drawRandomModel();
            return true;
        }
        const int layer = pick(0, n);
        const int boundary = pick(0, n - 1);
        switch (choice) {
            case 3:
            case 4:
                if (!e_.selectBoundary(boundary)) return false;
                e_.dragTo(e_.onBoundary(boundary), e_.onBoundary(boundary).x, e_.g.yOf(logUniform(0.3, 60)));
                return true;
            case 5:
            case 6:
                if (!e_.selectLayer(layer)) return false;
                e_.dragTo(e_.onLayer(layer), e_.g.xOf(logUniform(3, 300)), e_.onLayer(layer).y);
                return true;
            case 7:
                if (!e_.selectBoundary(boundary)) return false;
                e_.click(MouseButton::Left, e_.onBoundary(boundary).x, e_.onBoundary(boundary).y, true);
                return true;
            case 8:
                if (!e_.selectLayer(layer)) return false;
                e_.click(MouseButton::Left, e_.onLayer(layer).x, e_.onLayer(layer).y, pick(0, 1) == 0,
                         pick(0, 1) == 0 ? false : true);
                return true;
            case 9:
            case 10: {
                if (n >= 8) return false;  // keeps the segments wide enough to be hit
                const bool onLayer = pick(0, 1) == 0;
                if (!(onLayer ? e_.selectLayer(layer) : e_.selectBoundary(boundary))) return false;
                const Editing::Point p = onLayer ? e_.onLayer(layer) : e_.onBoundary(boundary);
                e_.click(MouseButton::Right, p.x, p.y);
                return true;
            }
            case 11:
            case 12: {
                if (!e_.selectLayer(layer)) return false;
                const bool ctrl = pick(0, 1) == 0;
                e_.click(ctrl ? MouseButton::Right : MouseButton::Middle, e_.onLayer(layer).x,
                         e_.onLayer(layer).y, ctrl);
                if (e_.editor.state().drawing()) drawRandomModel(false);  // the only boundary went
                return true;
            }
            case 13:
                if (!e_.selectLayer(layer)) return false;
                e_.click(MouseButton::Right, e_.onLayer(layer).x, e_.onLayer(layer).y, true, true);
                drawRandomModel(false);
                return true;
            case 14:
                drawRandomModel();
                return true;
            default:
                // Hover and clicks on nothing: no change expected, none checked here.
                e_.move(e_.g.x0 + pick(0, 300), e_.g.y0 + pick(0, 300));
                return true;
        }
    }

    /// A model of 2 to 5 layers with corners well apart.
    void drawRandomModel(bool start = true) {
        const int layers = pick(2, 5);
        std::vector<std::pair<double, double>> corners;
        double depth = logUniform(0.4, 1.0);
        for (int k = 0; k < layers; ++k) {
            corners.emplace_back(logUniform(3, 300), depth);
            depth *= logUniform(2.0, 3.0);
        }
        if (start)
            e_.drawModel(corners);
        else
            e_.drawCorners(corners);
    }

    std::mt19937 random_;
    Editing e_;
    std::vector<State> expected_;
    std::size_t at_ = 0;
};

TEST(EditorHistory, RandomGestureSequencesMatchAPlainListOfSnapshots) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        RandomSession session(seed);
        for (int i = 0; i < 250; ++i) {
            session.step(i);
            if (::testing::Test::HasFailure()) return;
        }
    }
}

}  // namespace
}  // namespace orma::ui::test
