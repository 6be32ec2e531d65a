// Model > Computation: the options of the forward computation and the fit
// (accurate filter, measured AB/2, fit until converged) and the parameter
// ranges of the current model. The options live only as long as the window:
// they are not part of ormawin.ini.

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProgressDialog>

#include "core/Forward.h"
#include "core/ParameterRanges.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {
namespace {

constexpr const char* kNoComposite = "There is no composite curve to fit the model to.";
constexpr const char* kNoModel = "There is no model whose parameter ranges could be found.";

/// What the SSQ text adds when the curve is not computed the standard way.
std::string forwardNote(const ComputationOptions& options) {
    if (options.standardForward()) return {};
    std::string note = "(";
    if (options.accurateForward) note += "201-point filter";
    if (options.accurateForward && options.measuredSpacings) note += ", ";
    if (options.measuredSpacings) note += "measured AB/2";
    return note + ")";
}

QString forwardName(const ComputationOptions& options) {
    QString name = options.accurateForward ? "201-point filter" : "13-point filter";
    if (options.measuredSpacings) name += " at the measured AB/2";
    return name;
}

}  // namespace

void Ttelmorwin::appendComputationMenu(QMenu* model) {
    QMenu* computation = model->addMenu("Computation");
    computation->menuAction()->setObjectName("Vypocet1");
    struct CheckItem {
        const char* name;
        const char* caption;
        void (Ttelmorwin::*handler)();
    };
    for (const CheckItem& item :
         {CheckItem{"Presnyvypocet1", "Accurate forward (201-point filter)", &Ttelmorwin::Presnyvypocet1Click},
          CheckItem{"Merenerozestupy1", "Model at the measured AB/2", &Ttelmorwin::Merenerozestupy1Click},
          CheckItem{"Dokonvergence1", "Fit until converged", &Ttelmorwin::Dokonvergence1Click}}) {
        QAction* action = addItem(computation, item.name, item.caption, QKeySequence(), item.handler);
        action->setCheckable(true);
    }
    computation->addSeparator();
    addItem(computation, "Rozsahyparametru1", "Parameter ranges...", QKeySequence(),
            &Ttelmorwin::Rozsahyparametru1Click);
}

void Ttelmorwin::Presnyvypocet1Click() {
    computation_.accurateForward = menuItem("Presnyvypocet1")->isChecked();
    computationChanged();
}

void Ttelmorwin::Merenerozestupy1Click() {
    computation_.measuredSpacings = menuItem("Merenerozestupy1")->isChecked();
    computationChanged();
}

void Ttelmorwin::Dokonvergence1Click() { computation_.fitUntilConverged = menuItem("Dokonvergence1")->isChecked(); }

void Ttelmorwin::computationChanged() {
    plot_->ssqNote = forwardNote(computation_);
    // The curve on screen belongs to the forward computation it was made
    // with: compute it anew, then draw everything with the new SSQ text.
    if (sounding_.curveLoaded && sounding_.model.exists() && sounding_.computedCurveShown &&
        computeForward(sounding_, computation_) != kSuccess) {
        sounding_.computedCurveShown = false;
        dialogs_.message(kForwardFailed);
    }
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::Rozsahyparametru1Click() {
    if (!sounding_.curveLoaded) {
        dialogs_.message(kNoComposite);
        return;
    }
    if (!sounding_.model.exists()) {
        dialogs_.message(kNoModel);
        return;
    }
    // Each value costs a few fits: long models take seconds, so the work
    // shows its progress and can be cancelled.
    QProgressDialog progress("Finding the parameter ranges...", "Cancel", 0, 1, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const RangeSummary ranges =
        computeParameterRanges(sounding_, *fitWorkspace_, computation_, kDefaultRangeFactor, [&](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            return !progress.wasCanceled();
        });
    QApplication::restoreOverrideCursor();
    progress.reset();
    if (ranges.status == RangeStatus::Refused) {
        dialogs_.message(ranges.message);
        return;
    }
    if (ranges.status != RangeStatus::Computed) return;
    if (rangesDialog_ == nullptr) rangesDialog_ = new ParameterRangesDialog(this);
    rangesDialog_->showRanges(ranges, forwardName(computation_));
}

}  // namespace orma::ui
