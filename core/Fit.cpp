#include "core/Fit.h"

#include <algorithm>
#include <cmath>

#include "core/FitParameters.h"
#include "core/Forward.h"
#include "core/ForwardAtSpacings.h"
#include "core/Sensitivities.h"
#include "core/SensitivitiesAtSpacings.h"
#include "core/Svd.h"

namespace orma {

namespace {

constexpr double kStopImprovement = 0.025;

FitSummary refused(FitStatus status, const char* message) {
    FitSummary summary;
    summary.status = status;
    summary.message = message;
    return summary;
}

bool modelFittable(const Sounding& s) {
    const LayerModel& model = s.model;
    const int n = model.interfaceCount;
    if (n < 0 || n >= kMaxLayers) return false;
    if (s.minGridIndex < 0 || s.maxGridIndex >= kGridPoints || s.minGridIndex > s.maxGridIndex) return false;
    for (int i = 0; i <= n; ++i)
        if (!(model.resistivity[i] > 0.0f) || !std::isfinite(model.resistivity[i])) return false;
    for (int i = 0; i < n; ++i) {
        const double h = model.thickness(i);
        if (!(h >= 0.0) || !std::isfinite(h)) return false;
    }
    return true;
}

bool hasAnyComposite(const Sounding& s) {
    for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k)
        if (s.hasComposite(k)) return true;
    return false;
}

/// Rows of the accepted curve that can enter the linearisation: a composite
/// value is present and the computed value has a logarithm. Fills the row map
/// and the log residuals; returns the row count.
int collectResidualRows(const Sounding& s, FitWorkspace& ws) {
    int rows = 0;
    const int n = s.maxGridIndex - s.minGridIndex + 1;
    for (int j = 0; j < n; ++j) {
        const int k = s.minGridIndex + j;
        const double computed = s.computedPacked[j];
        if (!s.hasComposite(k) || !(computed > 0.0) || !std::isfinite(computed)) continue;
        ws.rowGridOffset[rows] = j;
        ws.residual[rows] = std::log(static_cast<double>(s.composite(k)) / computed);
        ++rows;
    }
    return rows;
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

/// Depths from the accepted thicknesses; held interfaces keep their exact depth.
void rebuildDepths(LayerModel& model, const FitWorkspace& ws) {
    double above = 0.0;
    for (int i = 0; i < model.interfaceCount; ++i) {
        const double depth = ws.depthHeld[i + 1] ? ws.heldDepth[i + 1] : above + ws.layerThickness[i];
        model.depth[i] = static_cast<float>(depth);
        above = model.depth[i];
    }
}

/// The derivatives of the current model (stored resistivities, accepted
/// thicknesses) by the forward computation the options choose.
void linearise(const Sounding& s, FitWorkspace& ws, const ComputationOptions& options) {
    const int layers = s.model.layerCount();
    const int gridRows = s.maxGridIndex - s.minGridIndex + 1;
    if (options.standardForward()) {
        std::array<float, kMaxLayers> resistivity;
        for (int i = 0; i < layers; ++i) resistivity[i] = s.model.resistivity[i];
        computeSensitivities(s.minGridIndex, gridRows, layers, resistivity.data(), ws.layerThickness.data(), ws);
        return;
    }
    std::array<double, kMaxLayers> resistivity;
    for (int i = 0; i < layers; ++i) resistivity[i] = s.model.resistivity[i];
    computeSensitivitiesAtSpacings(options, ws.rowSpacing.data(), gridRows, layers, resistivity.data(),
                                   ws.layerThickness.data(), ws);
}

/// The trial model of the current step. A step that squeezes a layer above a
/// held interface is halved along its direction until it no longer does.
bool buildShortenedTrial(const LayerModel& model, FitWorkspace& ws, int parameters) {
    TrialModel trial = buildTrialModel(model, ws, parameters);
    for (int halving = 0; trial == TrialModel::SqueezedLayer && halving < kMaxStepHalvings; ++halving) {
        for (int c = 0; c < parameters; ++c) ws.step[c] *= 0.5;
        trial = buildTrialModel(model, ws, parameters);
    }
    return trial == TrialModel::Valid;
}

/// Start values of a pass from the stored model.
void loadStartModel(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    const LayerModel& model = sounding.model;
    const int n = model.interfaceCount;
    for (int i = 0; i < n; ++i) ws.layerThickness[i] = model.thickness(i);
    for (int i = 0; i <= n; ++i) ws.fitResistivity[i] = model.resistivity[i];
    for (int i = 0; i < n; ++i) ws.fitThickness[i] = ws.layerThickness[i];
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k)
        ws.rowSpacing[k - sounding.minGridIndex] = rowSpacing(sounding, k, options.measuredSpacings);
}

/// One pass: what a single press of Enter does.
FitSummary fitPass(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    LayerModel& model = sounding.model;
    loadStartModel(sounding, ws, options);

    if (computeForward(sounding, options) != kSuccess)
        return refused(FitStatus::ForwardFailed, "Forward task unsuccessful");

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
        linearise(sounding, ws, options);
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
    computeForward(sounding, options);
    summary.ssq = sounding.ssq;
    return summary;
}

bool refusedStatus(FitStatus status) {
    return status == FitStatus::NoComposite || status == FitStatus::InvalidModel ||
           status == FitStatus::ForwardFailed;
}

}  // namespace

FitJacobian decomposeFitJacobian(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    FitJacobian result;
    if (!modelFittable(sounding) || !hasAnyComposite(sounding)) return result;
    loadStartModel(sounding, ws, options);
    if (computeForward(sounding, options) != kSuccess) return result;
    result.parameters = layoutFitColumns(sounding.model, ws);
    result.rows = collectResidualRows(sounding, ws);
    linearise(sounding, ws, options);
    fillJacobian(sounding, ws, result.rows, result.parameters);
    decomposeSvd(ws, result.rows, result.parameters);
    result.valid = true;
    return result;
}

FitSummary fitModel(Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    if (!modelFittable(sounding))
        return refused(FitStatus::InvalidModel,
                       "The model cannot be fitted: resistivities must be positive, depths must not decrease "
                       "and the curve must lie on the AB/2 grid.");
    if (!hasAnyComposite(sounding))
        return refused(FitStatus::NoComposite, "There is no composite curve to fit the model to.");

    FitSummary summary = fitPass(sounding, ws, options);
    if (!options.fitUntilConverged || refusedStatus(summary.status)) return summary;

    double passStart = summary.startSsq;
    int lastAccepted = summary.acceptedSteps;
    while (lastAccepted > 0 && summary.ssq > 0.0 &&
           (passStart - summary.ssq) / summary.ssq >= kConvergedImprovement) {
        if (summary.passes >= kMaxFitPasses) {
            summary.status = FitStatus::PassLimit;
            break;
        }
        const FitSummary pass = fitPass(sounding, ws, options);
        if (refusedStatus(pass.status)) break;  // cannot happen after a good pass; keep what we have
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
