#include "ui/interpretation/editing/ModelEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/AbGrid.h"
#include "ui/interpretation/editing/LayerEditing.h"

namespace orma::ui {

namespace {

/// A third of a decade per margin click (the lower edge moves by a hair more).
constexpr float kMarginStep = 0.3333f;
constexpr float kLowerEdgeStep = 0.33333f;

bool noButtonHeld(const MouseInput& in) { return !in.leftHeld && !in.middleHeld && !in.rightHeld; }

void toggleFlag(int& flag) { flag = flag != 0 ? 0 : 1; }

/// The AB/2 grid row k is drawn at: its table entry, unless that entry holds
/// no AB/2 of row k (before the snapping the readers copy the AB/2 of reading
/// k there, and a row no reading falls on keeps it): then the row's own
/// customary value. Otherwise the crosshair would snap to an empty row drawn
/// where another row's point is.
float rowAb2(const Sounding& sounding, int k) {
    const float a = sounding.grid.value[k];
    if (a > 0 && std::isfinite(a) && snapAb2(a).index == k) return a;
    return snapAb2(abGridValue(k)).nominal;
}

}  // namespace

ModelEditor::ModelEditor(Sounding& sounding, PlotGeometry& geometry, EditorSurface& surface)
    : sounding_(sounding), geometry_(geometry), surface_(surface) {}

// A gesture still open when the window goes is no change to record.
ModelEditor::~ModelEditor() { abandonGesture(); }

EditMode ModelEditor::mode() const {
    if (state_.gesture == EditMode::Idle && sounding_.curveEditMode) return EditMode::CurveEditing;
    return state_.gesture;
}

void ModelEditor::openGestureChange() {
    abandonGesture();
    gestureChange_.emplace(surface_);
}

void ModelEditor::completeGesture() {
    state_.gesture = EditMode::Idle;
    if (gestureChange_) gestureChange_->finish();
    gestureChange_.reset();
}

void ModelEditor::abandonGesture() {
    state_.gesture = EditMode::Idle;
    if (gestureChange_) gestureChange_->dismiss();
    gestureChange_.reset();
}

void ModelEditor::reset() {
    abandonGesture();
    const int tolerance = state_.hitTolerance;
    state_ = EditState{};
    state_.hitTolerance = tolerance;
    surface_.setCursorShape(CursorShape::Arrow);
}

bool ModelEditor::undo(ModelHistory& history) {
    if (state_.dragging()) return false;
    const bool abandonDrawing = state_.drawing();
    reset();
    // A drawing in progress is the change being undone: back to the model
    // from before it began.
    if (abandonDrawing) {
        history.restoreCurrent(sounding_);
        return true;
    }
    return history.undo(sounding_);
}

bool ModelEditor::redo(ModelHistory& history) {
    if (state_.dragging() || state_.drawing()) return false;
    if (!history.redo(sounding_)) return false;
    reset();
    return true;
}

void ModelEditor::clearSelection() {
    state_.active = {};
    state_.previous = {-2, -2};
}

void ModelEditor::forgetSelection() {
    clearSelection();
    surface_.setCursorShape(CursorShape::Arrow);
}

void ModelEditor::removeModelLines() {
    if (surface_.modelShown()) surface_.toggleModelLines(state_.active);
}

void ModelEditor::drawModelLines() {
    if (!surface_.modelShown()) surface_.toggleModelLines(state_.active);
}

void ModelEditor::removeCrosshair() {
    if (state_.crosshairShown()) surface_.toggleCrosshair(state_.crossX, state_.crossY);
    state_.crossX = state_.crossY = -1;
}

void ModelEditor::moveCrosshair(int x, int y) {
    removeCrosshair();
    state_.crossX = x;
    state_.crossY = y;
    surface_.toggleCrosshair(x, y);
}

// ---- button press ---------------------------------------------------------

void ModelEditor::mouseDown(const MouseInput& in) {
    const bool inPlot = inside(in);
    state_.doubleClickBlocked = surface_.plotDrawn() && !inPlot;
    // A second button while one segment is held does nothing.
    if (state_.dragging()) return;

    if (in.button == MouseButton::Right && inPlot && sounding_.curveLoaded && !state_.drawing() &&
        !state_.active.any()) {
        toggleModelDrawing();
        // The first corner waits for the cursor: a depth of 0 takes no clicks.
        if (state_.drawing()) model().depth[0] = 0;
        return;
    }
    if (surface_.plotDrawn() && !inPlot) clickInMargin(in);
    if (!sounding_.compositeBuilt) return;
    if (sounding_.curveEditMode) {
        curveEditPress(in);
        return;
    }
    if (inPlot && state_.drawing() && model().depth[boundaries()] > 0) {
        drawingPress(in);
        return;
    }
    gestureOnSelection(in);
}

void ModelEditor::clickInMargin(const MouseInput& in) {
    // A locked scale keeps its ranges: margin clicks change nothing then.
    if (surface_.scaleLocked()) return;
    PlotGeometry& g = geometry_;
    const float sign = in.button == MouseButton::Left ? 1.0f : in.button == MouseButton::Right ? -1.0f : 0.0f;
    if (sign == 0.0f) return;
    bool changed = false;
    if (in.x < g.x0) g.rMin -= sign * kMarginStep, changed = true;
    else if (in.x > g.x1) g.rMax += sign * kMarginStep, changed = true;
    if (in.y < g.y0) g.aMin -= sign * kMarginStep, changed = true;
    else if (in.y > g.y1) g.aMax += sign * (sign > 0 ? kLowerEdgeStep : kMarginStep), changed = true;
    if (changed) surface_.redrawAll();
}

void ModelEditor::drawingPress(const MouseInput& in) {
    LayerModel& m = model();
    switch (in.button) {
        case MouseButton::Middle:
            if (m.interfaceCount <= 0) break;
            removeModelLines();
            --m.interfaceCount;
            if (m.depth[m.interfaceCount] > 0 && m.interfaceCount >= 1) drawModelLines();
            break;
        case MouseButton::Right:
            toggleModelDrawing();
            break;
        case MouseButton::Left: {
            if (m.interfaceCount >= kMaxBoundaries) {
                surface_.message(kModelFullMessage);
                break;
            }
            removeModelLines();
            const int n = ++m.interfaceCount;
            m.depth[n] = m.depth[n - 1];
            m.resistivity[n] = m.resistivity[n - 1];
            if (m.depth[n] > 0 && n >= 1) drawModelLines();
            break;
        }
        case MouseButton::None:
            break;
    }
}

void ModelEditor::gestureOnSelection(const MouseInput& in) {
    if (!surface_.modelShown() || !state_.active.any() || state_.drawing()) return;
    const bool left = in.button == MouseButton::Left;
    const bool right = in.button == MouseButton::Right;
    const bool middle = in.button == MouseButton::Middle;
    if (left && !in.ctrl && !in.shift) {
        openGestureChange();
        state_.gesture = EditMode::Dragging;
        state_.lastDragX = state_.lastDragY = -1;
    } else if (left && in.ctrl && !in.shift) {
        toggleFixFlag();
    } else if (left && !in.ctrl && in.shift) {
        toggleThicknessFlag();
    } else if (right && !in.ctrl && !in.shift) {
        insertAtSelection();
    } else if ((right && in.ctrl && !in.shift) || (middle && !in.ctrl && !in.shift)) {
        deleteAtSelection();
    } else if (right && in.ctrl && in.shift) {
        deleteModelAndRedraw();
    }
}

void ModelEditor::toggleFixFlag() {
    const ModelChange change(surface_);
    LayerModel& m = model();
    if (state_.active.boundary >= 0) toggleFlag(m.depthFixed[state_.active.boundary]);
    else toggleFlag(m.resistivityFixed[state_.active.layer]);
    surface_.redrawAll();
}

void ModelEditor::toggleThicknessFlag() {
    // Thickness flags belong to layers; they are not drawn.
    if (state_.active.layer < 0) return;
    const ModelChange change(surface_);
    toggleFlag(model().thicknessFixed[state_.active.layer]);
    surface_.redrawAll();
}

void ModelEditor::insertAtSelection() {
    ModelChange change(surface_);
    if (!insertLayer(model(), state_.active.index(), std::pow(10.0, static_cast<double>(geometry_.aMax)))) {
        change.dismiss();
        if (boundaries() >= kMaxBoundaries) surface_.message(kModelFullMessage);
        return;
    }
    // The indices below the new layer moved: the hover selects afresh.
    forgetSelection();
    surface_.redrawAll();
    if (sounding_.curveLoaded) surface_.runForward();
}

void ModelEditor::deleteAtSelection() {
    ModelChange change(surface_);
    if (!deleteLayer(model(), state_.active.index())) {
        change.dismiss();
        return;
    }
    forgetSelection();
    surface_.redrawAll();
    if (!sounding_.curveLoaded || boundaries() < 1) change.dismiss();
    if (!sounding_.curveLoaded) return;
    if (boundaries() >= 1) {
        surface_.runForward();
        return;
    }
    // No boundary left: a new drawing begins (undo brings the old model back).
    toggleModelDrawing();
}

void ModelEditor::deleteModelAndRedraw() {
    forgetSelection();
    toggleModelDrawing();
}

// ---- model drawing --------------------------------------------------------

void ModelEditor::toggleModelDrawing() {
    if (!sounding_.compositeBuilt) {
        surface_.message(kShiftBranchesFirst);
        return;
    }
    if (state_.drawing()) endDrawing();
    else beginDrawing();
}

void ModelEditor::beginDrawing() {
    sounding_.curveEditMode = false;
    openGestureChange();
    surface_.removeComputedCurve();
    forgetSelection();
    if (sounding_.curveLoaded) {
        state_.crossX = state_.crossY = -1;
        LayerModel& m = model();
        m.interfaceCount = 0;
        m.depthFixed.fill(0);
        m.resistivityFixed.fill(0);
        surface_.showFitButtons(false);
        state_.gesture = EditMode::Drawing;
        surface_.redrawAll();
    }
    state_.gesture = EditMode::Drawing;
}

void ModelEditor::endDrawing() {
    state_.crossX = state_.crossY = -1;
    // Drawn from here on with the half-space's depth, not the free corner's.
    state_.gesture = EditMode::Idle;
    LayerModel& m = model();
    m.depth[boundaries()] = kHalfSpaceDepth;
    surface_.showFitButtons(true);
    surface_.redrawAll();
    if (boundaries() >= 1) surface_.runForward();
    completeGesture();
}

void ModelEditor::moveFreeCorner(const MouseInput& in) {
    if (in.x == state_.crossX && in.y == state_.crossY) return;
    removeCrosshair();
    removeModelLines();
    LayerModel& m = model();
    const int n = boundaries();
    m.resistivity[n] = static_cast<float>(geometry_.rhoAt(in.x));
    float depth = static_cast<float>(geometry_.ab2At(in.y));
    if (n >= 1 && depth < m.depth[n - 1]) depth = m.depth[n - 1];
    m.depth[n] = depth;
    moveCrosshair(in.x, in.y);
    drawModelLines();
}

// ---- moves and release ----------------------------------------------------

void ModelEditor::mouseMove(const MouseInput& in) {
    if (sounding_.curveEditMode) {
        if (sounding_.compositeBuilt) curveEditMove(in);
        return;
    }
    if (state_.drawing()) {
        if (noButtonHeld(in) && inside(in) && sounding_.compositeBuilt) moveFreeCorner(in);
        return;
    }
    if (state_.dragging()) {
        if (!in.leftHeld) {
            // The release went elsewhere: end the drag where the cursor is.
            MouseInput release = in;
            release.button = MouseButton::Left;
            mouseUp(release);
            return;
        }
        const bool moved = in.x != state_.lastDragX || in.y != state_.lastDragY;
        if (moved && surface_.modelShown() && state_.active.any()) dragTo(in.x, in.y);
        return;
    }
    if (noButtonHeld(in)) hover(in);
}

void ModelEditor::hover(const MouseInput& in) {
    if (!surface_.modelShown() || boundaries() <= 0) return;
    const Selection found = segmentAt(model(), geometry_, in.x, in.y, state_.hitTolerance);
    surface_.setCursorShape(found.layer >= 0      ? CursorShape::HorizontalResize
                            : found.boundary >= 0 ? CursorShape::VerticalResize
                                                  : CursorShape::Arrow);
    if (found != state_.active) {
        removeModelLines();
        state_.active = found;
        drawModelLines();
    }
    state_.previous = found;
}

void ModelEditor::dragTo(int x, int y) {
    removeModelLines();
    LayerModel& m = model();
    if (state_.active.boundary >= 0) {
        const int k = state_.active.boundary;
        m.depth[k] = clampBoundaryDepth(m, k, geometry_.ab2At(y));
    } else if (state_.active.layer >= 0) {
        m.resistivity[state_.active.layer] = static_cast<float>(geometry_.rhoAt(x));
    }
    drawModelLines();
    state_.lastDragX = x;
    state_.lastDragY = y;
    if (sounding_.curveLoaded && boundaries() > 0) surface_.runForward();
}

void ModelEditor::mouseUp(const MouseInput& in) {
    if (!state_.dragging() || in.button != MouseButton::Left) return;
    // A plain click on a selected segment moves it to the click position.
    if (surface_.modelShown() && state_.active.any()) dragTo(in.x, in.y);
    completeGesture();
}

void ModelEditor::doubleClick(const MouseInput& in) {
    if (in.button != MouseButton::Left) return;
    if (state_.doubleClickBlocked || state_.active.any()) return;
    // Two quick clicks while drawing corners or editing the curve are two
    // clicks, not a request to replace the curve.
    if (mode() != EditMode::Idle) return;
    surface_.enterNewCurve();
}

// ---- composite curve editing ----------------------------------------------

void ModelEditor::curveEditMove(const MouseInput& in) {
    if (!inside(in)) return;
    // The grid row nearest to the cursor; the first minimum wins.
    int nearest = -1, nearestY = 0, best = std::numeric_limits<int>::max();
    const int first = std::max(sounding_.minGridIndex, 0);
    const int last = std::min(sounding_.maxGridIndex, kGridPoints - 1);
    for (int k = first; k <= last; ++k) {
        const int rowY = geometry_.yOf(rowAb2(sounding_, k));
        if (std::abs(rowY - in.y) < best) {
            best = std::abs(rowY - in.y);
            nearest = k;
            nearestY = rowY;
        }
    }
    if (nearest < 0) return;
    if (!state_.crosshairShown()) {
        moveCrosshair(in.x, nearestY);
        state_.snappedIndex = nearest;
        surface_.drawCursorStatus(state_.crossX, state_.crossY);
        return;
    }
    if (in.x != state_.crossX) {
        moveCrosshair(in.x, state_.crossY);
        surface_.drawCursorStatus(state_.crossX, state_.crossY);
    }
    if (best < std::abs(state_.crossY - in.y)) {
        moveCrosshair(state_.crossX, nearestY);
        state_.snappedIndex = nearest;
        surface_.drawCursorStatus(state_.crossX, state_.crossY);
    }
}

void ModelEditor::curveEditPress(const MouseInput& in) {
    if (in.button == MouseButton::Right) {
        sounding_.curveEditMode = false;
        removeCrosshair();
        // The whole plot again, model and computed curve included, so that
        // what the shown-flags claim is really on the canvas.
        surface_.redrawAll();
        return;
    }
    if (in.button != MouseButton::Left || !inside(in)) return;
    const int k = state_.snappedIndex;
    if (k < sounding_.minGridIndex || k > sounding_.maxGridIndex || k < 0 || k >= kGridPoints) return;
    const float rho = static_cast<float>(geometry_.rhoAt(in.x));
    surface_.redrawAll();
    state_.crossX = state_.crossY = -1;
    GridTable& shifted = sounding_.branches.shiftedRho;
    const int branches = std::min(sounding_.branches.branchCount, kMaxBranches);
    for (int b = 1; b <= branches; ++b) {
        if (!(shifted[k][b] > 0)) continue;
        shifted[k][b] = rho;
        shifted[k][0] = rho;
    }
    if (sounding_.mouseDrawnCurve) {
        const int m = k - sounding_.minGridIndex;
        if (m >= 0 && m < sounding_.points.pointCount) sounding_.points.rhoA[m] = rho;
        surface_.reprocessEnteredCurve();
    }
    surface_.markEditedCurvePoint(k);
}

}  // namespace orma::ui
