#pragma once
// What the editing state machine asks of its window. The editor decides; the
// window draws and talks to the user. Calls come in the order they must
// happen on the canvas: an XOR element is removed before the data under it
// changes and drawn again afterwards.

#include <string>

#include "ui/interpretation/editing/EditState.h"

namespace orma::ui {

enum class CursorShape { Arrow, HorizontalResize, VerticalResize };

class EditorSurface {
public:
    virtual ~EditorSurface() = default;

    /// The model step line is on the canvas.
    virtual bool modelShown() const = 0;
    /// The measured curve has been plotted since the last load.
    virtual bool plotDrawn() const = 0;
    /// The plot keeps its ranges (display options): margin clicks do nothing.
    virtual bool scaleLocked() const = 0;

    /// XOR-draws the model step line (and its value list) with `style`
    /// selected; a second call with unchanged data removes it.
    virtual void toggleModelLines(const Selection& style) = 0;
    /// Clears the canvas and draws everything anew with the editor's state.
    virtual void redrawAll() = 0;
    /// Removes the computed curve from the canvas when it is shown.
    virtual void removeComputedCurve() = 0;
    /// Removes the old computed curve, computes the model's curve and draws
    /// it with its SSQ; says "Forward task unsuccessful" when that fails.
    virtual void runForward() = 0;
    virtual void toggleCrosshair(int x, int y) = 0;
    virtual void drawCursorStatus(int x, int y) = 0;
    /// Red segments of every branch to and from its value at grid row `k`.
    virtual void markEditedCurvePoint(int k) = 0;
    virtual void setCursorShape(CursorShape shape) = 0;
    /// "..." and "<-": shown (and "..." focused, so Enter fits) or hidden.
    virtual void showFitButtons(bool shown) = 0;
    virtual void message(const std::string& text) = 0;

    /// A mouse-drawn curve changed: process it as a freshly entered curve.
    virtual void reprocessEnteredCurve() = 0;
    /// A double click asks for a new curve in the default input mode.
    virtual void enterNewCurve() = 0;
    /// The end of a gesture that changed the model: a point to undo to (and,
    /// for a point re-opened from the profile database, what goes back there).
    virtual void modelChanged() = 0;
    /// Before the model is thrown away for a new drawing: keep it for undo.
    virtual void keepModelForUndo() = 0;
};

}  // namespace orma::ui
