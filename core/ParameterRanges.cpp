#include "core/ParameterRanges.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "core/Fit.h"

namespace orma {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
/// Bounds are located to within this step of ln(value), about 0.5 %.
constexpr double kBoundTolerance = 0.005;
constexpr int kMaxRefinements = 10;
constexpr double kSmallestStep = 0.002;
/// The first step goes no further than a factor of 2; from there the search
/// widens step by step, each refit starting from the last one inside.
constexpr double kLargestFirstStep = 0.6931471805599453;

ModelValues valuesOf(const LayerModel& model, double ssq) {
    ModelValues values;
    values.interfaceCount = model.interfaceCount;
    values.resistivity = model.resistivity;
    values.depth = model.depth;
    values.ssq = ssq;
    return values;
}

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

/// Holds one value at a time away from the optimum and refits the others.
class Prober {
public:
    Prober(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options)
        : probe_(std::make_unique<Sounding>(sounding)), ws_(ws), options_(options) {
        options_.fitUntilConverged = true;
    }

    Sounding& probe() { return *probe_; }
    const ComputationOptions& options() const { return options_; }
    int refits() const { return refits_; }

    /// Refits with column `column` held at value * exp(step), starting from
    /// `warm`. False when the value cannot be held there (a held depth
    /// leaves no room, or the value is not a float); otherwise `fitted` and
    /// `ssq` are the refitted model and its error.
    bool refit(const FitColumn& column, double value, double step, const LayerModel& warm, LayerModel& fitted,
               double& ssq) {
        LayerModel model = warm;
        const double held = value * std::exp(step);
        if (!std::isfinite(static_cast<float>(held)) || !(static_cast<float>(held) > 0.0f)) return false;
        const int i = column.layer - 1;
        if (!column.isThickness) {
            model.resistivity[i] = static_cast<float>(held);
            model.resistivityFixed[i] = 1;
        } else if (!holdThickness(model, column, held)) {
            return false;
        }
        probe_->model = model;
        ++refits_;
        const FitSummary summary = fitModel(*probe_, ws_, options_);
        if (summary.status == FitStatus::NoComposite || summary.status == FitStatus::InvalidModel ||
            summary.status == FitStatus::ForwardFailed)
            return false;
        fitted = probe_->model;
        ssq = summary.ssq;
        return std::isfinite(ssq);
    }

private:
    /// Layer k gets thickness h: the interfaces below it move with it down to
    /// the next held depth, whose layer gives or takes the difference.
    static bool holdThickness(LayerModel& model, const FitColumn& column, double h) {
        const int k = column.layer;
        const double change = h - model.thickness(k - 1);
        const int lastMoved = column.compensator > 0 ? column.compensator - 2 : model.interfaceCount - 1;
        for (int i = k - 1; i <= lastMoved; ++i) model.depth[i] = static_cast<float>(model.depth[i] + change);
        if (column.compensator > 0 && !(model.thickness(column.compensator - 1) > 0.0)) return false;
        for (int i = k - 1; i <= lastMoved; ++i)
            if (!std::isfinite(model.depth[i]) || !(model.thickness(i) > 0.0)) return false;
        model.thicknessFixed[k - 1] = 1;
        return true;
    }

    std::unique_ptr<Sounding> probe_;
    FitWorkspace& ws_;
    ComputationOptions options_;
    int refits_ = 0;
};

/// One bound of one value: the step (in ln units, >= 0, in direction `sign`)
/// at which the refitted SSQ reaches the threshold.
struct Bound {
    bool unbounded = false;
    double step = 0.0;
    ModelValues model;
};

class BoundSearch {
public:
    BoundSearch(Prober& prober, const LayerModel& best, double bestSsq, double threshold)
        : prober_(prober), best_(best), bestSsq_(bestSsq), threshold_(threshold) {}

    Bound find(const FitColumn& column, double value, double sign, double guess) {
        const double limit = std::log(kRangeSearchLimit);
        double inStep = 0.0;
        double inSsq = bestSsq_;
        LayerModel inModel = best_;
        double outStep = 0.0;
        double outSsq = kInfinity;
        Bound bound;

        double step = std::clamp(guess, kSmallestStep, kLargestFirstStep);
        LayerModel fitted;
        double ssq = 0.0;
        while (true) {
            const bool held = prober_.refit(column, value, sign * step, inModel, fitted, ssq);
            if (!held) {
                // The value cannot go this far: the range reaches a limit.
                bound.unbounded = true;
                bound.step = inStep;
                bound.model = valuesOf(inModel, inSsq);
                return bound;
            }
            if (ssq > threshold_) {
                outStep = step;
                outSsq = ssq;
                break;
            }
            inStep = step;
            inSsq = ssq;
            inModel = fitted;
            if (step >= limit) {
                bound.unbounded = true;
                bound.step = inStep;
                bound.model = valuesOf(inModel, inSsq);
                return bound;
            }
            step = std::min(limit, nextStep(inStep, inSsq));
        }

        for (int i = 0; i < kMaxRefinements && outStep - inStep > kBoundTolerance; ++i) {
            step = crossing(inStep, inSsq, outStep, outSsq);
            const bool held = prober_.refit(column, value, sign * step, inModel, fitted, ssq);
            if (held && ssq <= threshold_) {
                inStep = step;
                inSsq = ssq;
                inModel = fitted;
            } else {
                outStep = step;
                outSsq = held ? ssq : kInfinity;
            }
        }
        bound.step = std::isfinite(outSsq) ? crossing(inStep, inSsq, outStep, outSsq) : inStep;
        bound.model = valuesOf(inModel, inSsq);
        return bound;
    }

private:
    /// Near the optimum the refitted SSQ grows with the square of the step:
    /// aim at the threshold, but at least a little beyond the last step and
    /// at most four times it.
    double nextStep(double inStep, double inSsq) const {
        const double rise = inSsq - bestSsq_;
        if (!(rise > 0.0)) return 3.0 * inStep;
        const double aim = inStep * std::sqrt((threshold_ - bestSsq_) / rise);
        return std::clamp(1.1 * aim, 1.3 * inStep, 4.0 * inStep);
    }

    /// Where the threshold lies between an inside and an outside step, by
    /// interpolating the square root of the SSQ rise (linear in the step near
    /// the optimum), kept off the ends so that every refinement narrows. Where
    /// the inside step has barely risen the SSQ (a flat valley that ends
    /// steeply somewhere) the interpolation means nothing: halve instead.
    double crossing(double inStep, double inSsq, double outStep, double outSsq) const {
        const double rise = threshold_ - bestSsq_;
        const double lo = std::sqrt(std::max(inSsq - bestSsq_, 0.0));
        const double hi = std::sqrt(std::max(outSsq - bestSsq_, 0.0));
        const double target = std::sqrt(std::max(rise, 0.0));
        double fraction = 0.5;
        if (inSsq - bestSsq_ > 0.25 * rise && std::isfinite(hi) && hi > lo) fraction = (target - lo) / (hi - lo);
        fraction = std::clamp(fraction, 0.1, 0.9);
        return inStep + fraction * (outStep - inStep);
    }

    Prober& prober_;
    const LayerModel& best_;
    double bestSsq_;
    double threshold_;
};

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

}  // namespace

RangeSummary computeParameterRanges(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options,
                                    double factor, const RangeProgress& progress) {
    if (!(factor >= 1.0) || !std::isfinite(factor)) return refusedRanges("The range factor must be 1 or more.");
    Prober prober(sounding, ws, options);
    Sounding& probe = prober.probe();

    const FitSummary fit = fitModel(probe, ws, prober.options());
    if (!fit.message.empty()) return refusedRanges(fit.message);
    const LayerModel best = probe.model;

    RangeSummary summary;
    summary.status = RangeStatus::Computed;
    summary.factor = factor;
    summary.bestSsq = fit.ssq;
    summary.threshold = factor * fit.ssq;
    summary.best = valuesOf(best, fit.ssq);

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
        range.value = range.isThickness ? best.thickness(range.layer - 1) : best.resistivity[range.layer - 1];
        // The refitted SSQ rises by about step^2 / unscaledVariance: this aims
        // the first step of the search at the threshold.
        unscaledVariance[c] = unscaledLogVariance(ws, jacobian.parameters, c);
        const int freedom = jacobian.rows - jacobian.parameters;
        range.logStdDev = freedom > 0 ? std::sqrt(fit.ssq / freedom * unscaledVariance[c]) : std::nan("");
    }

    auto goOn = [&](int done) { return !progress || progress(done, jacobian.parameters + 1); };
    if (!goOn(1)) return cancelledRanges();
    BoundSearch search(prober, best, summary.bestSsq, summary.threshold);
    for (int c = 0; c < jacobian.parameters; ++c) {
        ParameterRange& range = summary.ranges[c];
        if (!(range.value > 0.0)) {
            // A layer of thickness 0 stays 0 in every fit: nothing to step.
            range.lowerUnbounded = range.upperUnbounded = true;
            continue;
        }
        const double guess = std::sqrt((factor - 1.0) * summary.bestSsq * unscaledVariance[c]);
        const Bound lower = search.find(columns[c], range.value, -1.0, guess);
        const Bound upper = search.find(columns[c], range.value, 1.0, guess);
        range.lower = range.value * std::exp(-lower.step);
        range.upper = range.value * std::exp(upper.step);
        range.lowerUnbounded = lower.unbounded;
        range.upperUnbounded = upper.unbounded;
        range.lowerModel = lower.model;
        range.upperModel = upper.model;
        if (!goOn(c + 2)) return cancelledRanges();
    }
    summary.refits = prober.refits();
    return summary;
}

}  // namespace orma
