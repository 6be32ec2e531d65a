// Model > "Fit globally": the global fit of the curve (core/GlobalFit.h)
// with the current model's layer count, its held values held and the model
// itself one more start, run off the window's thread (GlobalFitRunner) with
// a progress dialog and Cancel. Its best model comes in on the window's
// thread as one undo step (a re-opened point of the database takes it as it
// takes every model change), with the band of the equivalent models behind
// it and their value spans in the values dialog. Cancel changes nothing.

#include <QAction>
#include <QPushButton>

#include <algorithm>

#include "io/UserDialogs.h"
#include "ui/interpretation/GlobalFitRunner.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/editing/ModelChange.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {

namespace {

QString forwardLabel(const ComputationOptions& options) {
    QString name = options.accurateForward ? "201-point filter" : "13-point filter";
    if (options.measuredSpacings) name += " at the measured AB/2";
    return name;
}

/// The model the user had is the one the fit started from (held values too).
bool sameModelAndFlags(const LayerModel& a, const LayerModel& b) {
    return a.interfaceCount == b.interfaceCount && a.resistivity == b.resistivity && a.depth == b.depth &&
           a.depthFixed == b.depthFixed && a.resistivityFixed == b.resistivityFixed &&
           a.thicknessFixed == b.thicknessFixed;
}

}  // namespace

void Ttelmorwin::startGlobalFit() {
    if (globalFit_ != nullptr && globalFit_->task().running()) return;
    if (!fitPossible()) return;
    const std::uint64_t generation = curveGeneration_;
    globalFit_ = std::make_unique<GlobalFitRunner>(
        this, sounding_, computation_, [this, generation](GlobalFitRunner& run, bool cancelled) {
            if (generation != curveGeneration_) {
                showStatus("The global fit belonged to another curve; nothing was changed.");
                return;
            }
            globalFitEnded(run, cancelled);
        });
    showStatus("Fitting globally...");
    globalFit_->start();
}

void Ttelmorwin::globalFitEnded(GlobalFitRunner& run, bool cancelled) {
    const GlobalFitResult& result = run.result();
    if (cancelled) {
        showStatus("The global fit was cancelled; the model stays as it was.");
        return;
    }
    if (!result.summary.outcome) {
        dialogs_.message(result.summary.outcome.text());
        showStatus("The global fit was refused; the model stays as it was.");
        return;
    }
    if (!sameModelAndFlags(sounding_.model, run.startModel()) || result.band == nullptr) {
        showStatus("The model changed while the global fit ran; its result was not applied.");
        return;
    }
    // One undo step: the model before, the global fit's best after.
    ModelChange change(*this);
    editor_->reset();
    sounding_.model = result.model;
    sounding_.computedRho = result.computedRho;
    sounding_.computedPacked = result.computedPacked;
    sounding_.ssq = result.ssq;
    sounding_.computedCurveShown = true;
    plot_->setEquivalentBand(result.band);
    const GlobalFitSummary& s = result.summary;
    showStatus(shownText("Fit globally: SSQ = %.6f (was %.6f), ", s.best.ssq, s.best.startSsq) +
               std::to_string(s.equivalent.models.size()) + " equivalent models within " +
               shownText("%.2f", s.equivalent.factor) + " times it (the band), " + std::to_string(s.startsRun) +
               " starts.");
    plot_->redrawAll();
    if (!settings_.scaleLocked && plot_->widenRangesToModel()) plot_->redrawAll();
    showFitButtons(true);
    change.finish();
    Img->update();
    showEquivalentValues();
}

void Ttelmorwin::showEquivalentValues() {
    const EquivalentBandPicture* band = plot_->equivalentBand();
    if (band == nullptr) return;
    if (rangesDialog_ == nullptr) rangesDialog_ = new ParameterRangesDialog(this);
    rangesDialog_->showEquivalent(band->model, band->equivalent, forwardLabel(band->computation));
}

void Ttelmorwin::dropBandIfStale() {
    // The band is drawn only while it belongs to the model; a model changed
    // without a full redraw (a drag) still has it on the canvas.
    if (plot_->equivalentBand() == nullptr || plot_->equivalentBandShown()) return;
    plot_->redrawAll();
    Img->update();
}

std::optional<std::array<DepthRange, kMaxPointLayers>> Ttelmorwin::depthRangesOfModel() const {
    if (!plot_->equivalentBandShown()) return std::nullopt;
    const EquivalentModels& equivalent = plot_->equivalentBand()->equivalent;
    std::array<DepthRange, kMaxPointLayers> ranges{};
    const int n = std::clamp(sounding_.model.interfaceCount, 0, kMaxLayers - 1);
    for (int i = 0; i < n; ++i) {
        const ValueSpan& span = equivalent.depth[static_cast<std::size_t>(i)];
        const DepthRange range{static_cast<float>(span.min), static_cast<float>(span.max)};
        if (range.min > 0.0f && range.min <= range.max) ranges[static_cast<std::size_t>(i)] = range;
    }
    return ranges;
}

}  // namespace orma::ui
