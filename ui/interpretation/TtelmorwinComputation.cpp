// Model > Computation: the options of the forward computation and the fit
// (accurate filter, measured AB/2, fit until converged) and the parameter
// ranges of the current model. The options live only as long as the window:
// they are not part of ormawin.ini.

#include <QAction>
#include <QMenu>

#include <memory>
#include <optional>

#include "core/FitWorkspace.h"
#include "core/Forward.h"
#include "core/ParameterRanges.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/plot/EquivalentBandPainter.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/BackgroundTask.h"
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

void Ttelmorwin::toggleAccurateForward() {
    computation_.accurateForward = menuItem("Presnyvypocet1")->isChecked();
    computationChanged();
}

void Ttelmorwin::toggleMeasuredSpacings() {
    computation_.measuredSpacings = menuItem("Merenerozestupy1")->isChecked();
    computationChanged();
}

void Ttelmorwin::toggleFitUntilConverged() { computation_.fitUntilConverged = menuItem("Dokonvergence1")->isChecked(); }

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

void Ttelmorwin::showParameterRanges() {
    if (rangesTask_ != nullptr && rangesTask_->running()) return;
    if (!sounding_.curveLoaded) {
        dialogs_.message(kNoComposite);
        return;
    }
    if (!sounding_.model.exists()) {
        dialogs_.message(kNoModel);
        return;
    }
    // Each value costs a few fits: long models take seconds, so the work
    // runs off the window's thread with its progress and Cancel. Right after
    // a global fit of the same curve and options its equivalent models are
    // where the ranges step out from, instead of a second search.
    const EquivalentBandPicture* band = plot_->equivalentBand();
    const LayerModel& m = sounding_.model;
    const bool afterGlobalFit = plot_->equivalentBandShown() && band->computation == computation_ &&
                                band->model.resistivityFixed == m.resistivityFixed &&
                                band->model.depthFixed == m.depthFixed && band->model.thicknessFixed == m.thicknessFixed;
    struct Job {
        std::unique_ptr<Sounding> sounding;
        ComputationOptions options;
        std::optional<EquivalentModels> found;
        RangeSummary ranges;
    };
    auto job = std::make_shared<Job>();
    job->sounding = std::make_unique<Sounding>(sounding_);
    job->options = computation_;
    if (afterGlobalFit) job->found = band->equivalent;
    const std::uint64_t generation = curveGeneration_;
    const LayerModel model = sounding_.model;
    rangesTask_ = std::make_unique<BackgroundTask>(
        this, "Finding the parameter ranges...",
        [job](TaskProgress& progress) {
            auto workspace = std::make_unique<FitWorkspace>();
            const RangeProgress report = [&progress](int done, int total) {
                progress.report(done, total);
                return !progress.cancelled();
            };
            job->ranges = job->found ? computeParameterRanges(*job->sounding, *workspace, job->options,
                                                              kDefaultRangeFactor, report, *job->found)
                                     : computeParameterRanges(*job->sounding, *workspace, job->options,
                                                              kDefaultRangeFactor, report);
        },
        [this, job, generation, model](bool cancelled) {
            if (cancelled || job->ranges.status == RangeStatus::Cancelled) {
                showStatus("The parameter ranges were cancelled.");
                return;
            }
            if (generation != curveGeneration_) return;
            if (job->ranges.status == RangeStatus::Refused) {
                dialogs_.message(job->ranges.message);
                return;
            }
            if (rangesDialog_ == nullptr) rangesDialog_ = new ParameterRangesDialog(this);
            const EquivalentBandPicture* now = plot_->equivalentBand();
            const bool withSpans = job->found && plot_->equivalentBandShown() && now->belongsTo(model);
            rangesDialog_->showRanges(job->ranges, forwardName(job->options), withSpans ? &now->equivalent : nullptr);
        });
    rangesTask_->start();
}

}  // namespace orma::ui
