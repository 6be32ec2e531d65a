#pragma once
// Model > "Fit globally" off the window's thread: the global fit
// (core/GlobalFit.h) of a copy of the window's sounding, with the model's
// layer count, its held values held and the model itself one more start,
// then the band of its equivalent models (core/EquivalentBand.h). The work
// has its own sounding and fit workspaces; the window applies the result on
// its own thread when the task tells it the work has ended.

#include <QString>

#include <array>
#include <functional>
#include <memory>

#include "core/ComputationOptions.h"
#include "core/GlobalFit.h"
#include "core/Sounding.h"
#include "ui/interpretation/plot/EquivalentBandPainter.h"
#include "ui/platform/BackgroundTask.h"

class QWidget;

namespace orma::ui {

struct GlobalFitResult {
    GlobalFitSummary summary;  ///< refused, cancelled, or the winner
    LayerModel model;          ///< the winner, with the held values' flags
    std::array<float, kGridSlots> computedRho{};
    std::array<float, kGridSlots> computedPacked{};
    double ssq = 0.0;
    std::shared_ptr<EquivalentBandPicture> band;  ///< null unless the fit succeeded
};

class GlobalFitRunner {
public:
    /// `ended` is told on the window's thread when the work has ended
    /// (result() holds what it gave) or was cancelled.
    GlobalFitRunner(QWidget* owner, const Sounding& sounding, const ComputationOptions& options,
                    std::function<void(GlobalFitRunner&, bool cancelled)> ended);

    void start() { task_->start(); }
    BackgroundTask& task() { return *task_; }
    const GlobalFitResult& result() const { return *result_; }
    /// The model the fit started from, as the window held it.
    const LayerModel& startModel() const { return startModel_; }

private:
    LayerModel startModel_;
    std::shared_ptr<GlobalFitResult> result_;
    std::unique_ptr<BackgroundTask> task_;
};

/// The work itself, on the calling thread: the global fit of `sounding`
/// (changed: the winner and its curve) with the default starts on every
/// core, and the band. Progress and Cancel through `progress`.
void runGlobalFitWithBand(Sounding& sounding, const ComputationOptions& options, TaskProgress& progress,
                          GlobalFitResult& result);

}  // namespace orma::ui
