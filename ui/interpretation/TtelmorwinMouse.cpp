// The mouse on the plot, model drawing and deletion, undo and redo. What a
// gesture means is decided in editing/ModelEditor; this file carries out
// what the editor asks for on the canvas and in the dialogs.

#include <QAction>
#include <QPushButton>

#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/editing/ModelChange.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

// ---- events -----------------------------------------------------------------

void Ttelmorwin::ImgMouseDown(const MouseInput& in) {
    editor_->mouseDown(in);
    Img->update();
}

void Ttelmorwin::ImgMouseMove(const MouseInput& in) {
    editor_->mouseMove(in);
    Img->update();
}

void Ttelmorwin::ImgMouseUp(const MouseInput& in) {
    editor_->mouseUp(in);
    Img->update();
}

void Ttelmorwin::ImgDblClick(const MouseInput& in) {
    editor_->doubleClick(in);
    Img->update();
}

// ---- Model menu -------------------------------------------------------------

void Ttelmorwin::toggleModelDrawing() {
    editor_->toggleModelDrawing();
    Img->update();
}

void Ttelmorwin::deleteModel() {
    ModelChange change(*this);
    if (sounding_.computedCurveShown) {
        plot_->toggleComputedCurve();
        sounding_.computedCurveShown = false;
    }
    if (!sounding_.curveLoaded || !sounding_.compositeBuilt) {
        // Without a curve there is no model to drop: no step to undo.
        change.dismiss();
        Img->update();
        return;
    }
    if (plot_->modelShown) plot_->toggleModelLines();
    editor_->reset();
    LayerModel& model = sounding_.model;
    model.interfaceCount = 0;
    model.depthFixed.fill(0);
    model.resistivityFixed.fill(0);
    plot_->redrawAll();
    change.finish();
    Img->update();
}

void Ttelmorwin::undoModelChange() {
    if (editor_->undo(history_)) showRestoredModel();
}

void Ttelmorwin::redoModelChange() {
    if (editor_->redo(history_)) showRestoredModel();
}

void Ttelmorwin::showRestoredModel() {
    showFitButtons(sounding_.curveLoaded && sounding_.model.interfaceCount > 0);
    plot_->redrawAll();
    updateUndoItems();
    writeBackStoredPoint();
    interpretationChanged();
    Img->update();
}

void Ttelmorwin::updateUndoItems() {
    if (QAction* undo = menuItem("UndoModel1")) undo->setEnabled(editor_->canUndo(history_));
    if (QAction* redo = menuItem("RedoModel1")) redo->setEnabled(history_.canRedo());
}

// ---- what the editor asks for ---------------------------------------------

bool Ttelmorwin::modelShown() const { return plot_->modelShown; }

bool Ttelmorwin::plotDrawn() const { return plot_->plotDrawn; }

bool Ttelmorwin::scaleLocked() const { return settings_.scaleLocked; }

void Ttelmorwin::toggleModelLines(const Selection& style) {
    plot_->toggleModelLines({style.layer, style.boundary, editor_->state().drawing()});
}

void Ttelmorwin::redrawAll() { plot_->redrawAll(); }

void Ttelmorwin::removeComputedCurve() {
    if (!sounding_.computedCurveShown) return;
    plot_->toggleComputedCurve();
    sounding_.computedCurveShown = false;
}

void Ttelmorwin::runForward() { forwardAndDraw(kForwardFailed); }

void Ttelmorwin::toggleCrosshair(int x, int y) { plot_->drawCrosshair(x, y); }

void Ttelmorwin::drawCursorStatus(int x, int y) { plot_->drawCursorStatus(x, y); }

void Ttelmorwin::markEditedCurvePoint(int k) {
    plot_->drawEditedCurvePoint(k);
    interpretationChanged();
}

void Ttelmorwin::setCursorShape(CursorShape shape) {
    switch (shape) {
        case CursorShape::Arrow: Img->setCursor(Qt::ArrowCursor); break;
        case CursorShape::HorizontalResize: Img->setCursor(Qt::SizeHorCursor); break;
        case CursorShape::VerticalResize: Img->setCursor(Qt::SizeVerCursor); break;
    }
}

void Ttelmorwin::showFitButtons(bool shown) {
    spustit->setVisible(shown);
    importdorezu->setVisible(shown);
    // Enter on the focused "..." starts the fit.
    if (shown) spustit->setFocus();
    else Img->setFocus();
}

void Ttelmorwin::message(const std::string& text) { dialogs_.message(text); }

void Ttelmorwin::reprocessEnteredCurve() {
    // The curve is the user's own from here on, whether it came from a stored point or not.
    openStoredPoint_.reset();
    orma::reprocessEnteredCurve(sounding_, dialogs_, *this);
}

void Ttelmorwin::enterNewCurve() {
    showSectionOnce();
    switch (static_cast<InputMode>(settings_.inputMode)) {
        case InputMode::ManualMeasuredAndShifted:
        case InputMode::ManualByBranch: inputCurveManually(); break;
        case InputMode::ManualByMouse: inputCurveByMouse(); break;
        case InputMode::GefFile: openGefFile(); break;
        case InputMode::RstFile: openNextRstCurve(); break;
    }
}

// Every completed change of the model ends here (drawing, dragging, layers
// inserted or deleted, flags, paste, presets, the fit; undo and redo end in
// showRestoredModel): the one place that writes a re-opened point back.
void Ttelmorwin::modelChanged() {
    const bool changed = history_.record(sounding_);
    updateUndoItems();
    dropBandIfStale();
    if (!changed) return;
    writeBackStoredPoint();
    interpretationChanged();
}

void Ttelmorwin::keepModelForUndo() {
    history_.keepBeforeChange(sounding_);
    updateUndoItems();
}

void Ttelmorwin::writeBackStoredPoint() {
    if (showsStoredPoint() && storedPointModelEdited) storedPointModelEdited();
}

}  // namespace orma::ui
