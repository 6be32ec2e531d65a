// File menu: GEF and RST curves in, RST records out.

#include <QPushButton>

#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/RstWriter.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

void Ttelmorwin::afterNewCurve() {
    spustit->hide();
    importdorezu->hide();
    plot_->plotDrawn = false;
    plot_->modelShown = false;
    plot_->modelLabelsDrawn = false;
    plot_->selectedLayer = -1;
    plot_->selectedInterface = -1;
    plot_->modelDrawingInProgress = false;
    // Drawing, dragging, selection and crosshair belong to the old curve, and
    // so does the history of its models.
    editor_->reset();
    history_.reset(sounding_);
    updateUndoItems();
    // The ranges follow the new curve alone: the previous model has just been
    // dropped, so it must not widen them.
    plot_->fitPlotRanges();
}

void Ttelmorwin::OtevtGEF1Click() {
    sounding_.reprocessOnly = false;
    loadChosenCurveFile(dialogs_.openFile(gefOpenDialogOptions(sounding_)), openGefCurve);
}

void Ttelmorwin::loadChosenCurveFile(const std::optional<std::string>& chosen, CurveFileOpener open) {
    if (!chosen) {
        dialogs_.message(kGefNoFileChosen);
        return;
    }
    std::vector<std::string> messages;
    if (open(sounding_, *chosen, messages) == kSuccess) {
        // A curve drawn with the mouse and never committed is replaced.
        sounding_.mouseDrawnCurve = false;
        afterNewCurve();
    }
    sounding_.gefPath = *chosen;
    setCaption(gefOpenedCaption(sounding_));
    showMessages(messages);
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::finishRstLoad(int result, const std::vector<std::string>& messages) {
    if (result == kSuccess) {
        sounding_.mouseDrawnCurve = false;
        afterNewCurve();
        setCaption(rstOpenedCaption(sounding_));
    }
    showMessages(messages);
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::OtevtRST1Click() {
    sounding_.rstRecordIndex = 0;
    sounding_.reprocessOnly = false;
    const auto chosen = dialogs_.openFile(rstOpenDialogOptions(sounding_));
    if (!chosen) {
        dialogs_.message(kRstNoFileChosen);
        return;
    }
    std::vector<std::string> messages;
    const int result = openRstFile(sounding_, *chosen, messages);
    finishRstLoad(result, messages);
}

void Ttelmorwin::NatidalRST1Click() {
    std::vector<std::string> messages;
    const int result = openFollowingRstCurve(sounding_, messages);
    finishRstLoad(result, messages);
}

void Ttelmorwin::N2Click() {
    std::vector<std::string> messages;
    const auto result = openPrecedingRstCurve(sounding_, messages);
    if (result) finishRstLoad(*result, messages);
}

void Ttelmorwin::UloitRST1Click() { saveRstRecordToNewFile(sounding_, *rstOutput_, dialogs_); }

void Ttelmorwin::PiuloitRST1Click() { appendRstRecord(sounding_, *rstOutput_, dialogs_); }

}  // namespace orma::ui
