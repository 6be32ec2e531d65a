#include "core/Fit.h"

#include <algorithm>
#include <cmath>

#include "core/FitParameters.h"
#include "core/Forward.h"
#include "core/Sensitivities.h"
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

}  // namespace

FitSummary fitModel(Sounding& sounding, FitWorkspace& ws) {
    if (!modelFittable(sounding))
        return refused(FitStatus::InvalidModel,
                       "The model cannot be fitted: resistivities must be positive, depths must not decrease "
                       "and the curve must lie on the AB/2 grid.");
    if (!hasAnyComposite(sounding))
        return refused(FitStatus::NoComposite, "There is no composite curve to fit the model to.");

    LayerModel& model = sounding.model;
    const int n = model.interfaceCount;
    const int layers = n + 1;
    const int gridRows = sounding.maxGridIndex - sounding.minGridIndex + 1;
    for (int i = 0; i < n; ++i) ws.layerThickness[i] = model.thickness(i);
    for (int i = 0; i <= n; ++i) ws.fitResistivity[i] = model.resistivity[i];
    for (int i = 0; i < n; ++i) ws.fitThickness[i] = ws.layerThickness[i];

    if (computeForward(sounding) != kSuccess) return refused(FitStatus::ForwardFailed, "Forward task unsuccessful");

    FitSummary summary;
    summary.startSsq = sounding.ssq;
    const int parameters = layoutFitColumns(model, ws);
    double current = summary.startSsq;
    std::array<float, kMaxLayers> resistivity;

    bool finished = false;
    while (!finished) {
        if (summary.linearisations >= kMaxLinearisations) {
            summary.status = FitStatus::IterationLimit;
            break;
        }
        ++summary.linearisations;
        const double toBeat = current;

        const int rows = collectResidualRows(sounding, ws);
        for (int i = 0; i < layers; ++i) resistivity[i] = model.resistivity[i];
        computeSensitivities(sounding.minGridIndex, gridRows, layers, resistivity.data(),
                             ws.layerThickness.data(), ws);
        fillJacobian(sounding, ws, rows, parameters);
        decomposeSvd(ws, rows, parameters);
        prepareDamping(ws, rows, parameters);

        bool accepted = false;
        for (int level = parameters; level >= 0 && !accepted; --level) {
            computeStep(ws, parameters, ws.dampingLevels[level]);
            ++summary.trials;
            if (!buildTrialModel(model, ws, parameters)) continue;
            if (computeForward(sounding, ws.fitResistivity.data(), ws.fitThickness.data()) != kSuccess) continue;
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
    computeForward(sounding);
    summary.ssq = sounding.ssq;
    return summary;
}

}  // namespace orma
