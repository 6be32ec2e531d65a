// A point of the profile database opened again in this window: the section
// window has filled the sounding from the stored point (samples, composite
// curve, model with its fix flags) and says which point it is.

#include <QPushButton>

#include "core/Forward.h"
#include "core/PointProcessing.h"
#include "io/GefReader.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

void Ttelmorwin::reopenStoredPoint(const std::vector<std::string>& messages) {
    showMessages(messages);
    // No file is read: the stored samples are snapped and ranged again. The
    // composite comes from the database; no shifting.
    std::vector<std::string> readMessages;
    const int result = reprocessReadings(sounding_, readMessages);
    // Merged spacings were said when the sounding was first read; a box on
    // every click in the section would only repeat it.
    std::string merged;
    std::erase_if(readMessages, [&merged](const std::string& text) {
        if (!text.starts_with(kMergedSpacingsIntro)) return false;
        merged = text;
        return true;
    });
    showMessages(readMessages);
    if (result != kSuccess) {
        dialogs_.message(kReadingError);
        return;
    }
    sounding_.curveLoaded = true;
    sounding_.computedCurveShown = false;
    sounding_.curveEditMode = false;
    // Editing states and plot flags start afresh, the model and its flags stay.
    afterNewCurve();
    if (!settings_.scaleLocked) plot_->widenRangesToModel();
    importdorezu->hide();
    spustit->show();
    spustit->setFocus();
    setCaption("ORMA-programme for VES interpretation - opened: " + sounding_.gefPath);
    showStatus("Opened " + sounding_.gefPath + " from the database." + (merged.empty() ? "" : " " + merged));
    if (sounding_.model.interfaceCount > 0) {
        if (computeForward(sounding_, computation_) == kSuccess) sounding_.computedCurveShown = true;
        else dialogs_.message(kForwardFailed);
    }
    // Undo goes back to the point as it was opened, its curve included, not
    // to a state before its curve was computed.
    history_.reset(sounding_);
    updateUndoItems();
    plot_->redrawAll();
    Img->update();
}

}  // namespace orma::ui
