#include "core/ParameterRanges.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "core/Fit.h"
#include "core/GlobalFit.h"
#include "core/RangeBoundSearch.h"

namespace orma {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
/// sum_j (V[c][j] / w_j)^2: the variance of ln(value) of column c per unit
/// residual variance; infinite where a zero singular value leaves it free.
double unscaledLogVariance(const FitWorkspace& ws, int parameters, int c) {
    double sum = 0.0;
    for (int j = 0; j < parameters; ++j) {
        const double v = ws.V[c][j];
        if (v == 0.0) continue;
        const double w = ws.WJ[j][j];
        if (w == 0.0) return kInfinity;
        sum += (v / w) * (v / w);
    }
    return sum;
}

LayerModel withFlagsOf(const ModelValues& values, const LayerModel& flags) {
    LayerModel model = flags;
    model.interfaceCount = values.interfaceCount;
    model.resistivity = values.resistivity;
    model.depth = values.depth;
    return model;
}

/// The best model ORMA finds for the sounding's layer count and held values,
/// and the models that fit within the factor of it.
struct Optimum {
    Outcome outcome;
    LayerModel best;
    double ssq = 0.0;
    std::vector<RangeSeed> seeds;
};

Optimum searchOptimum(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options, double factor) {
    Optimum optimum;
    auto probe = std::make_unique<Sounding>(sounding);
    if (!sounding.model.exists()) {
        // A lone half-space has one value and one minimum.
        ComputationOptions converged = options;
        converged.fitUntilConverged = true;
        const FitSummary fit = fitModel(*probe, ws, converged);
        if (!fit.outcome) optimum.outcome = fit.outcome;
        optimum.best = probe->model;
        optimum.ssq = fit.ssq;
        return optimum;
    }
    GlobalFitOptions search;
    search.computation = options;
    search.equivalenceFactor = factor;
    const GlobalFitSummary global = fitGlobally(*probe, search);
    if (!global.outcome) {
        optimum.outcome = global.outcome;
        return optimum;
    }
    optimum.best = probe->model;
    optimum.ssq = global.best.ssq;
    for (const ModelValues& m : global.equivalent.models)
        optimum.seeds.push_back({withFlagsOf(m, sounding.model), m.ssq});
    return optimum;
}

RangeSummary refusedRanges(const std::string& message) {
    RangeSummary summary;
    summary.status = RangeStatus::Refused;
    summary.message = message;
    return summary;
}

RangeSummary cancelledRanges() {
    RangeSummary summary;
    summary.status = RangeStatus::Cancelled;
    return summary;
}

/// The ranges of every free value around the optimum, stepping from its seeds.
RangeSummary rangesAround(RangeProber& prober, const Optimum& optimum, double factor, const RangeProgress& progress) {
    FitWorkspace& ws = prober.workspace();
    Sounding& probe = prober.probe();
    probe.model = optimum.best;
    const LayerModel& best = optimum.best;

    RangeSummary summary;
    summary.status = RangeStatus::Computed;
    summary.factor = factor;
    summary.bestSsq = optimum.ssq;
    summary.threshold = factor * optimum.ssq;
    summary.best = modelValuesOf(best, optimum.ssq);

    const FitJacobian jacobian = decomposeFitJacobian(probe, ws, prober.options());
    if (!jacobian.valid) return refusedRanges("Forward task unsuccessful");
    summary.parameterCount = jacobian.parameters;
    std::array<FitColumn, kMaxParameters> columns;
    std::array<double, kMaxParameters> unscaledVariance;
    for (int c = 0; c < jacobian.parameters; ++c) {
        columns[c] = ws.columns[c];
        ParameterRange& range = summary.ranges[c];
        range.isThickness = columns[c].isThickness;
        range.layer = columns[c].layer;
        range.value = columnValue(best, columns[c]);
        // The refitted SSQ rises by about step^2 / unscaledVariance: this aims
        // the first step of the search at the threshold.
        unscaledVariance[c] = unscaledLogVariance(ws, jacobian.parameters, c);
        const int freedom = jacobian.rows - jacobian.parameters;
        range.logStdDev = freedom > 0 ? std::sqrt(optimum.ssq / freedom * unscaledVariance[c]) : std::nan("");
    }

    auto goOn = [&](int done) { return !progress || progress(done, jacobian.parameters + 1); };
    if (!goOn(1)) return cancelledRanges();
    RangeBoundSearch search(prober, best, summary.bestSsq, summary.threshold, optimum.seeds);
    for (int c = 0; c < jacobian.parameters; ++c) {
        ParameterRange& range = summary.ranges[c];
        if (!(range.value > 0.0)) {
            // A layer of thickness 0 stays 0 in every fit: nothing to step.
            range.lowerUnbounded = range.upperUnbounded = true;
            continue;
        }
        const double guess = std::sqrt((factor - 1.0) * summary.bestSsq * unscaledVariance[c]);
        const RangeBound lower = search.find(columns[c], range.value, -1.0, guess);
        const RangeBound upper = search.find(columns[c], range.value, 1.0, guess);
        range.lower = range.value * std::exp(-lower.step);
        range.upper = range.value * std::exp(upper.step);
        range.lowerUnbounded = lower.unbounded;
        range.upperUnbounded = upper.unbounded;
        range.lowerModel = lower.model;
        range.upperModel = upper.model;
        if (!goOn(c + 2)) return cancelledRanges();
    }
    return summary;
}

}  // namespace

RangeSummary computeParameterRanges(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options,
                                    double factor, const RangeProgress& progress) {
    if (!(factor >= 1.0) || !std::isfinite(factor)) return refusedRanges("The range factor must be 1 or more.");
    const Optimum optimum = searchOptimum(sounding, ws, options, factor);
    if (!optimum.outcome) return refusedRanges(optimum.outcome.message);
    RangeProber prober(sounding, ws, options);
    RangeSummary summary = rangesAround(prober, optimum, factor, progress);
    summary.refits = prober.refits();
    return summary;
}

RangeSummary computeParameterRanges(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options,
                                    double factor, const RangeProgress& progress, const EquivalentModels& found) {
    if (!(factor >= 1.0) || !std::isfinite(factor)) return refusedRanges("The range factor must be 1 or more.");
    Optimum optimum;
    optimum.best = sounding.model;
    optimum.ssq = sounding.ssq;
    for (const ModelValues& m : found.models)
        if (m.ssq <= factor * optimum.ssq) optimum.seeds.push_back({withFlagsOf(m, sounding.model), m.ssq});
    RangeProber prober(sounding, ws, options);
    RangeSummary summary = rangesAround(prober, optimum, factor, progress);
    summary.refits = prober.refits();
    return summary;
}

}  // namespace orma
