#pragma once
// The model editor on the recording surface with a shifted three-layer
// curve, and the mouse and gesture helpers the editor tests drive it with;
// State compares what undo must bring back, field by field.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "RecordingSurface.h"

namespace orma::ui::test {

/// What undo must bring back, compared field by field (not through the
/// history's own comparison, so a comparison that forgets a field is seen).
struct State {
    LayerModel model;
    std::array<float, kGridSlots> computedRho{};
    double ssq = 0.0;
    bool computedCurveShown = false;

    static State of(const Sounding& s) { return State{s.model, s.computedRho, s.ssq, s.computedCurveShown}; }
};

inline ::testing::AssertionResult sameState(const State& a, const State& b) {
    const LayerModel& m = a.model;
    const LayerModel& n = b.model;
    if (m.interfaceCount != n.interfaceCount)
        return ::testing::AssertionFailure()
               << "boundaries " << m.interfaceCount << " vs " << n.interfaceCount;
    for (int k = 0; k < kMaxLayers; ++k) {
        if (m.resistivity[k] != n.resistivity[k] || m.depth[k] != n.depth[k])
            return ::testing::AssertionFailure()
                   << "layer " << k << ": " << m.resistivity[k] << "/" << m.depth[k] << " vs "
                   << n.resistivity[k] << "/" << n.depth[k];
    }
    for (int k = 0; k < kFlagSlots; ++k) {
        if (m.depthFixed[k] != n.depthFixed[k] || m.resistivityFixed[k] != n.resistivityFixed[k] ||
            m.thicknessFixed[k] != n.thicknessFixed[k])
            return ::testing::AssertionFailure() << "fix flags of entry " << k;
    }
    if (a.computedRho != b.computedRho) return ::testing::AssertionFailure() << "computed curve";
    if (a.computedCurveShown != b.computedCurveShown)
        return ::testing::AssertionFailure() << "curve shown-flag";
    if (!(a.ssq == b.ssq) && !(std::isnan(a.ssq) && std::isnan(b.ssq)))
        return ::testing::AssertionFailure() << "SSQ " << a.ssq << " vs " << b.ssq;
    return ::testing::AssertionSuccess();
}

inline bool differs(const State& a, const State& b) { return !sameState(a, b); }

/// A sounding with a shifted three-layer curve on grid rows 0..17 (1 to 82 m),
/// an editor on the decade plot, and the recording surface.
class Editing {
public:
    Editing()
        : sounding_(std::make_unique<Sounding>()),
          surface(*sounding_, history),
          editor(*sounding_, g, surface) {
        Sounding& s = *sounding_;
        s.minGridIndex = 0;
        s.maxGridIndex = 17;
        s.model.interfaceCount = 2;
        s.model.resistivity = {30, 8, 120};
        s.model.depth = {2, 9, kHalfSpaceDepth};
        computeForward(s);
        for (int k = 0; k <= 17; ++k)
            s.branches.shiftedRho[k][0] = s.branches.shiftedRho[k][1] = s.computedRho[k];
        s.branches.branchCount = 1;
        s.model = LayerModel{};
        s.computedRho = {};
        s.ssq = 0;
        s.curveLoaded = s.compositeBuilt = true;
        history.reset(s);
    }

    Sounding& s() { return *sounding_; }
    const LayerModel& m() const { return sounding_->model; }
    State state() const { return State::of(*sounding_); }

    // ---- the mouse ----
    void move(int x, int y, bool leftHeld = false) {
        MouseInput in;
        in.leftHeld = leftHeld;
        in.x = x;
        in.y = y;
        editor.mouseMove(in);
    }
    void press(MouseButton button, int x, int y, bool ctrl = false, bool shift = false) {
        MouseInput in;
        in.button = button;
        in.leftHeld = button == MouseButton::Left;
        in.middleHeld = button == MouseButton::Middle;
        in.rightHeld = button == MouseButton::Right;
        in.ctrl = ctrl;
        in.shift = shift;
        in.x = x;
        in.y = y;
        editor.mouseDown(in);
    }
    void release(MouseButton button, int x, int y) {
        MouseInput in;
        in.button = button;
        in.x = x;
        in.y = y;
        editor.mouseUp(in);
    }
    void click(MouseButton button, int x, int y, bool ctrl = false, bool shift = false) {
        press(button, x, y, ctrl, shift);
        release(button, x, y);
    }

    // ---- where the model's segments are ----
    struct Point {
        int x, y;
    };
    Point onBoundary(int k) const {
        return {(g.xOf(m().resistivity[k]) + g.xOf(m().resistivity[k + 1])) / 2, g.yOf(m().depth[k])};
    }
    Point onLayer(int k) const {
        const int top = k == 0 ? g.y0 : g.yOf(m().depth[k - 1]);
        const int bottom = k == m().interfaceCount ? g.y1 : g.yOf(m().depth[k]);
        return {g.xOf(m().resistivity[k]), (top + bottom) / 2};
    }
    /// Hovers onto boundary k; false when the hover does not select it.
    bool selectBoundary(int k) {
        const Point p = onBoundary(k);
        move(p.x, p.y);
        return editor.state().active == Selection{k, -1};
    }
    bool selectLayer(int k) {
        const Point p = onLayer(k);
        move(p.x, p.y);
        return editor.state().active == Selection{-1, k};
    }

    // ---- gestures ----
    /// Corners as (resistivity, depth of the layer's bottom); the last is the
    /// half-space, whose depth only places the cursor. Starts with a right
    /// click in the empty top right corner of the plot.
    void drawModel(const std::vector<std::pair<double, double>>& corners) {
        move(g.x1 - 3, g.y0 + 3);
        press(MouseButton::Right, g.x1 - 3, g.y0 + 3);
        drawCorners(corners);
    }
    /// The corners of a drawing already begun.
    void drawCorners(const std::vector<std::pair<double, double>>& corners) {
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const int x = g.xOf(corners[i].first), y = g.yOf(corners[i].second);
            move(x, y);
            press(i + 1 < corners.size() ? MouseButton::Left : MouseButton::Right, x, y);
        }
    }
    void drawFourLayers() { drawModel({{20, 1.5}, {90, 6}, {10, 25}, {200, 60}}); }
    void dragTo(Point from, int x, int y) {
        press(MouseButton::Left, from.x, from.y);
        move((from.x + x) / 2, (from.y + y) / 2, true);
        move(x, y, true);
        release(MouseButton::Left, x, y);
    }

    ModelHistory history;
    PlotGeometry g = decadePlot();

private:
    std::unique_ptr<Sounding> sounding_;

public:
    RecordingSurface surface;
    ModelEditor editor;
};

}  // namespace orma::ui::test
