#pragma once
// What the mouse does on the interpretation plot: drawing a new model corner
// by corner, selecting the segment under the cursor, dragging it, inserting
// and deleting layers, fixing values for the fit, widening or narrowing the
// plot ranges by clicks in the margins, editing single points of the
// composite curve, and the double click that enters a new curve.
//
// The editor changes the sounding's model, the composite curve and its own
// EditState; everything drawn and said goes through the EditorSurface, in the
// order the canvas needs it. One gesture runs at a time (EditMode: Idle,
// Drawing, Dragging; CurveEditing while the sounding's curve is edited), and
// each completed gesture is one model change bracketed for undo
// (ModelChange). It knows no toolkit: tests/ui/model_editor_test.cpp drives
// its modes and undo brackets and tests/ui/editor_history_test.cpp its undo
// history against a recording surface (tests/ui/RecordingSurface.h).
//
// Gestures by button and keys, on the plot of a shifted curve:
//   right, nothing selected, inside  begin a new model (F6 does the same)
//   while drawing: move             the free corner follows the cursor
//                  left             fix the corner, start the next one
//                  middle           take the last corner back
//                  right            end the drawing (the last corner is the half-space)
//   hover                           select the nearest boundary or layer line
//   on a selection: left            drag it (release sets it where the button goes up)
//                   Ctrl+left       fix / free its depth or resistivity
//                   Shift+left      fix / free the layer's thickness
//                   right           insert a layer there
//                   Ctrl+right, middle   delete that layer
//                   Ctrl+Shift+right     delete the model and begin a new one
//   in a margin: left widens the range on that side by a third of a decade,
//                right narrows it again
//   curve editing (F4): move snaps a crosshair to the nearest grid row,
//                left sets the composite there, right ends curve editing
//   double click (not on a segment, not while drawing or editing the curve):
//                a new curve in the default input mode

#include <optional>

#include "core/Sounding.h"
#include "ui/interpretation/editing/EditState.h"
#include "ui/interpretation/editing/EditorSurface.h"
#include "ui/interpretation/editing/ModelChange.h"
#include "ui/interpretation/editing/ModelHistory.h"
#include "ui/interpretation/plot/PlotGeometry.h"
#include "ui/platform/MouseInput.h"

namespace orma::ui {

inline constexpr const char* kShiftBranchesFirst = "Shift VES curve branches (1 - 4 key)!";

class ModelEditor {
public:
    ModelEditor(Sounding& sounding, PlotGeometry& geometry, EditorSurface& surface);
    ~ModelEditor();
    ModelEditor(const ModelEditor&) = delete;
    ModelEditor& operator=(const ModelEditor&) = delete;

    const EditState& state() const { return state_; }
    /// The gesture in progress, or curve editing, or Idle.
    EditMode mode() const;

    void mouseDown(const MouseInput& in);
    void mouseMove(const MouseInput& in);
    void mouseUp(const MouseInput& in);
    void doubleClick(const MouseInput& in);

    /// Begins a new model drawing, or ends the one in progress (F6).
    void toggleModelDrawing();

    /// Undo (Ctrl+Z): back to the model before the last change; a drawing in
    /// progress is that change. Nothing happens while a segment is dragged.
    /// True when the sounding may hold another model (the window redraws).
    bool undo(ModelHistory& history);
    /// Redo (Ctrl+Y): not while drawing or dragging. True when a step was redone.
    bool redo(ModelHistory& history);
    /// Whether undo has anything to go back to.
    bool canUndo(const ModelHistory& history) const { return history.canUndo() || state_.drawing(); }

    /// A new curve or a model replaced from outside: no drawing, no drag, no
    /// selection, no crosshair.
    void reset();
    /// Forgets the selection (indices may no longer exist in the model).
    void clearSelection();
    /// Takes the crosshair off the canvas (curve editing ends).
    void hideCrosshair() { removeCrosshair(); }
    /// The canvas was cleared: no crosshair is on it any more.
    void forgetCrosshair() { state_.crossX = state_.crossY = -1; }

private:
    bool inside(const MouseInput& in) const { return geometry_.insidePlot(in.x, in.y); }
    LayerModel& model() { return sounding_.model; }
    int boundaries() const { return sounding_.model.interfaceCount; }

    void clickInMargin(const MouseInput& in);
    void drawingPress(const MouseInput& in);
    void gestureOnSelection(const MouseInput& in);
    void beginDrawing();
    void endDrawing();
    void moveFreeCorner(const MouseInput& in);
    void hover(const MouseInput& in);
    void dragTo(int x, int y);
    void toggleFixFlag();
    void toggleThicknessFlag();
    void insertAtSelection();
    void deleteAtSelection();
    void deleteModelAndRedraw();
    void curveEditMove(const MouseInput& in);
    void curveEditPress(const MouseInput& in);

    void removeModelLines();
    void drawModelLines();
    void removeCrosshair();
    void moveCrosshair(int x, int y);
    void forgetSelection();
    /// The transitions between Idle, Drawing and Dragging. A gesture opens
    /// one model change, ended when the gesture completes; a gesture that
    /// is abandoned (undo, reset) leaves no step.
    void openGestureChange();
    void completeGesture();
    void abandonGesture();

    Sounding& sounding_;
    PlotGeometry& geometry_;
    EditorSurface& surface_;
    EditState state_;
    std::optional<ModelChange> gestureChange_;
};

}  // namespace orma::ui
