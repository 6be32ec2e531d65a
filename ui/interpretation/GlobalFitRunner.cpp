#include "ui/interpretation/GlobalFitRunner.h"

#include <QWidget>

namespace orma::ui {

namespace {

enum GlobalFitPhase { kSearching, kBand };

}  // namespace

void runGlobalFitWithBand(Sounding& sounding, const ComputationOptions& options, TaskProgress& progress,
                          GlobalFitResult& result) {
    progress.phase = kSearching;
    GlobalFitOptions global;
    global.layers = sounding.model.layerCount();
    global.threads = 0;  // every core: the window waits for nothing else
    global.computation = options;
    global.progress = [&progress](int done, int total) { progress.report(done, total); };
    global.cancel = &progress.cancel;
    result.summary = fitGlobally(sounding, global);
    if (!result.summary.outcome || progress.cancelled()) return;
    result.model = sounding.model;
    result.computedRho = sounding.computedRho;
    result.computedPacked = sounding.computedPacked;
    result.ssq = sounding.ssq;

    progress.phase = kBand;
    progress.report(0, 0);
    auto band = std::make_shared<EquivalentBandPicture>();
    band->model = sounding.model;
    band->computation = options;
    band->equivalent = result.summary.equivalent;
    band->steps = stepLineEnvelope(band->equivalent.models);
    if (!curveEnvelope(sounding, band->equivalent.models, options, band->curves, &progress.cancel)) return;
    result.band = std::move(band);
}

GlobalFitRunner::GlobalFitRunner(QWidget* owner, const Sounding& sounding, const ComputationOptions& options,
                                 std::function<void(GlobalFitRunner&, bool cancelled)> ended)
    : startModel_(sounding.model), result_(std::make_shared<GlobalFitResult>()) {
    // The work's own copy: the window's sounding may be redrawn meanwhile.
    std::shared_ptr<Sounding> copy = std::make_shared<Sounding>(sounding);
    std::shared_ptr<GlobalFitResult> result = result_;
    task_ = std::make_unique<BackgroundTask>(
        owner, "Fitting globally: the best model from many starts...",
        [copy, options, result](TaskProgress& progress) { runGlobalFitWithBand(*copy, options, progress, *result); },
        [this, ended](bool cancelled) { ended(*this, cancelled); });
    task_->labelOf = [](int phase) {
        return phase == kSearching ? QString("Fitting globally: the best model from many starts...")
                                   : QString("Computing the curves of the equivalent models...");
    };
}

}  // namespace orma::ui
