#include "core/Fit.h"

#include <algorithm>
#include <cmath>

#include "core/FitLinearisation.h"
#include "core/FitParameters.h"
#include "core/Forward.h"
#include "core/Svd.h"

namespace orma {

namespace {

constexpr double kStopImprovement = 0.025;
constexpr const char* kForwardFailed = "Forward task unsuccessful";

FitSummary refused(FitStatus status, const char* message) {
    FitSummary summary;
    summary.status = status;
    summary.outcome = Outcome::failure(message);
    return summary;
}

/// Projects the residual on the left singular vectors and orders the damping
/// levels: the singular values by decreasing magnitude, then 0.
void prepareDamping(FitWorkspace& ws, int rows, int parameters) {
    for (int c = 0; c < parameters; ++c) {
        double sum = 0.0;
        for (int r = 0; r < rows; ++r) sum += ws.UT[c][r] * ws.residual[r];
        ws.projectedResidual[c] = sum;
        ws.dampingLevels[c] = ws.WJ[c][c];
    }
    std::sort(ws.dampingLevels.begin(), ws.dampingLevels.begin() + parameters,
              [](double a, double b) { return std::fabs(a) > std::fabs(b); });
    ws.dampingLevels[parameters] = 0.0;
}

/// The truncated, damped SVD step for damping mu, one log-change per column.
void computeStep(FitWorkspace& ws, int parameters, double mu) {
    for (int i = 0; i < parameters; ++i) {
        double delta = 0.0;
        for (int c = 0; c < parameters; ++c) {
            const double w = ws.WJ[c][c];
            if (std::fabs(w) <= kSingularValueCutoff) continue;
            delta += ws.projectedResidual[c] * w / (mu * mu + w * w) * ws.V[i][c];
        }
        ws.step[i] = delta;
    }
}

void acceptTrial(LayerModel& model, FitWorkspace& ws) {
    for (int i = 0; i <= model.interfaceCount; ++i)
        model.resistivity[i] = static_cast<float>(ws.fitResistivity[i]);
    for (int i = 0; i < model.interfaceCount; ++i) ws.layerThickness[i] = ws.fitThickness[i];
}

/// One pass: what a single press of Enter does.
FitSummary fitPass(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options,
                   const FitStepObserver& observer) {
    LayerModel& model = sounding.model;
    const LayerModel start = model;
    loadFitStart(sounding, ws, options);

    if (computeForward(sounding, options) != kSuccess)
        return refused(FitStatus::ForwardFailed, kForwardFailed);

    FitSummary summary;
    summary.startSsq = sounding.ssq;
    const int parameters = layoutFitColumns(model, ws);
    double current = summary.startSsq;

    bool finished = false;
    while (!finished) {
        if (summary.linearisations >= kMaxLinearisations) {
            summary.status = FitStatus::IterationLimit;
            break;
        }
        ++summary.linearisations;
        const double toBeat = current;

        const int rows = collectResidualRows(sounding, ws);
        lineariseModel(sounding, ws, options);
        fillJacobian(sounding, ws, rows, parameters);
        decomposeSvd(ws, rows, parameters);
        prepareDamping(ws, rows, parameters);

        bool accepted = false;
        for (int level = parameters; level >= 0 && !accepted; --level) {
            computeStep(ws, parameters, ws.dampingLevels[level]);
            ++summary.trials;
            if (!buildShortenedTrial(model, ws, parameters)) continue;
            if (computeForward(sounding, ws.fitResistivity.data(), ws.fitThickness.data(), options) != kSuccess)
                continue;
            const double trialSsq = computeSsq(sounding);
            if (!(trialSsq < toBeat)) continue;

            accepted = true;
            ++summary.acceptedSteps;
            acceptTrial(model, ws);
            current = trialSsq;
            if (observer) observer(ws.fitResistivity.data(), ws.fitThickness.data(), model.layerCount(), trialSsq);
            if ((toBeat - trialSsq) / trialSsq < kStopImprovement) {
                summary.status = FitStatus::Converged;
                finished = true;
            }
        }
        if (!accepted) {
            summary.status = FitStatus::NoImprovement;
            finished = true;
        }
    }

    if (summary.acceptedSteps > 0) rebuildDepths(model, ws);
    // Also after rejected trials: the stored curve must be the model's again.
    if (computeForward(sounding, options) != kSuccess) {
        // The accepted model, rounded to the stored floats, has no curve: the
        // pass is refused and leaves the record as it found it (the start
        // model's curve was computed above, so it is computed again).
        model = start;
        static_cast<void>(computeForward(sounding, options));
        return refused(FitStatus::ForwardFailed, kForwardFailed);
    }
    summary.ssq = sounding.ssq;
    return summary;
}

}  // namespace

FitJacobian decomposeFitJacobian(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    FitJacobian result;
    if (!isFittableModel(sounding) || !hasCompositeValue(sounding)) return result;
    loadFitStart(sounding, ws, options);
    if (computeForward(sounding, options) != kSuccess) return result;
    result.parameters = layoutFitColumns(sounding.model, ws);
    result.rows = collectResidualRows(sounding, ws);
    lineariseModel(sounding, ws, options);
    fillJacobian(sounding, ws, result.rows, result.parameters);
    decomposeSvd(ws, result.rows, result.parameters);
    result.valid = true;
    return result;
}

FitSummary fitModel(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    return fitModel(sounding, ws, options, FitStepObserver{});
}

FitSummary fitModel(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options,
                    const FitStepObserver& observer) {
    if (!isFittableModel(sounding))
        return refused(FitStatus::InvalidModel,
                       "The model cannot be fitted: resistivities must be positive, depths must not decrease "
                       "and the curve must lie on the AB/2 grid.");
    if (!hasCompositeValue(sounding))
        return refused(FitStatus::NoComposite, "There is no composite curve to fit the model to.");

    FitSummary summary = fitPass(sounding, ws, options, observer);
    if (!options.fitUntilConverged || summary.refused()) return summary;

    double passStart = summary.startSsq;
    int lastAccepted = summary.acceptedSteps;
    while (lastAccepted > 0 && summary.ssq > 0.0 &&
           (passStart - summary.ssq) / summary.ssq >= kConvergedImprovement) {
        if (summary.passes >= kMaxFitPasses) {
            summary.status = FitStatus::PassLimit;
            break;
        }
        const FitSummary pass = fitPass(sounding, ws, options, observer);
        if (pass.refused()) break;  // the pass left the record as the last good one did
        passStart = pass.startSsq;
        lastAccepted = pass.acceptedSteps;
        ++summary.passes;
        summary.linearisations += pass.linearisations;
        summary.trials += pass.trials;
        summary.acceptedSteps += pass.acceptedSteps;
        summary.status = pass.status;
        summary.ssq = pass.ssq;
    }
    return summary;
}

}  // namespace orma
