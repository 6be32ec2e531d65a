#pragma once
// The state of mouse editing in the interpretation window: which model
// segment is selected, whether a model is being drawn or dragged, and where
// the XOR crosshair stands.

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

struct EditState {
    bool drawing = false;   ///< a new model is being drawn corner by corner
    bool dragging = false;  ///< the left button holds the selected segment
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
