// The display options (Ctrl+Alt+Z) and the input options of the window.

#include "ui/interpretation/Tparzobr.h"
#include "ui/interpretation/Tpreferenceuzivatele.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

void Ttelmorwin::setOptionDialogs(Tparzobr* displayOptions, Tpreferenceuzivatele* inputOptions) {
    parzobr_ = displayOptions;
    preference_ = inputOptions;
}

void Ttelmorwin::execDialog(QDialog& dialog) {
    if (runModalDialog) runModalDialog(dialog);
    else dialog.exec();
}

void Ttelmorwin::editDisplayOptions() {
    if (parzobr_ == nullptr) {
        ownParzobr_ = std::make_unique<Tparzobr>(this);
        parzobr_ = ownParzobr_.get();
    }
    Tparzobr& dialog = *parzobr_;
    dialog.edit(settings_, sectionSwitches_, dialogs_);
    dialog.applied = [this] {
        // Both windows show the new settings at once.
        plot_->redrawAll();
        Img->update();
        if (sectionOptionsChanged) sectionOptionsChanged();
    };
    dialog.FormShow();
    execDialog(dialog);
}

void Ttelmorwin::editInputOptions() {
    if (preference_ == nullptr) {
        ownPreference_ = std::make_unique<Tpreferenceuzivatele>(this);
        preference_ = ownPreference_.get();
    }
    preference_->edit(settings_.inputMode);
    preference_->FormShow();
    execDialog(*preference_);
}

}  // namespace orma::ui
