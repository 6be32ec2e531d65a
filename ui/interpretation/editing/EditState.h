#pragma once
// The state of mouse editing in the interpretation window: which model
// segment is selected, which gesture is in progress, and where the XOR
// crosshair stands.

namespace orma::ui {

/// The selected segment of the model step line: a boundary (horizontal
/// segment, depth D[k]) or a layer (vertical segment, resistivity R[k]). At
/// most one of the two is >= 0.
struct Selection {
    int boundary = -1;
    int layer = -1;

    bool any() const { return boundary >= 0 || layer >= 0; }
    /// The index a gesture on the selection works on.
    int index() const { return boundary >= 0 ? boundary : layer; }
    bool operator==(const Selection&) const = default;
};

/// What the mouse does on the model. Drawing and Dragging are gestures
/// of the editor (one undo step each when they end); CurveEditing is the
/// curve editing (F4) of the sounding, reported when no gesture runs.
enum class EditMode { Idle, Drawing, Dragging, CurveEditing };

struct EditState {
    EditMode gesture = EditMode::Idle;  ///< Idle, Drawing or Dragging
    bool drawing() const { return gesture == EditMode::Drawing; }    ///< corner by corner
    bool dragging() const { return gesture == EditMode::Dragging; }  ///< the left button holds a segment
    Selection active;       ///< the selected segment
    /// The selection the model was drawn with last; boundary/layer -2 means
    /// "not drawn yet", so that the next hover always redraws.
    Selection previous{-2, -2};
    int crossX = -1, crossY = -1;  ///< crosshair on the canvas; -1 none
    int snappedIndex = -1;         ///< grid row of the crosshair in curve editing
    int hitTolerance = 10;         ///< pixels within which a segment is selected
    bool doubleClickBlocked = true;
    int lastDragX = -1, lastDragY = -1;  ///< where the last drag step was taken

    bool crosshairShown() const { return crossX >= 0 && crossY >= 0; }
};

}  // namespace orma::ui
