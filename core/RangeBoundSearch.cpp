#include "core/RangeBoundSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "core/Fit.h"
#include "core/ParameterRanges.h"

namespace orma {

namespace {

constexpr double kNotReached = std::numeric_limits<double>::infinity();
/// Bounds are located to within this step of ln(value), about 0.5 %.
constexpr double kBoundTolerance = 0.005;
constexpr int kMaxRefinements = 10;
constexpr double kSmallestStep = 0.002;
/// The first step goes no further than a factor of 2; from there the search
/// widens step by step, each refit starting from the last one inside.
constexpr double kLargestFirstStep = 0.6931471805599453;

/// Layer k gets thickness h: the interfaces below it move with it down to
/// the next held depth, whose layer gives or takes the difference.
bool holdThickness(LayerModel& model, const FitColumn& column, double h) {
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

bool sameValues(const LayerModel& a, const LayerModel& b) {
    return a.interfaceCount == b.interfaceCount && a.resistivity == b.resistivity && a.depth == b.depth;
}

}  // namespace

double columnValue(const LayerModel& model, const FitColumn& column) {
    const int i = column.layer - 1;
    return column.isThickness ? model.thickness(i) : static_cast<double>(model.resistivity[i]);
}

RangeProber::RangeProber(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options)
    : probe_(std::make_unique<Sounding>(sounding)), ws_(ws), options_(options) {
    options_.fitUntilConverged = true;
}

bool RangeProber::refit(const FitColumn& column, double value, double step, const LayerModel& warm,
                        LayerModel& fitted, double& ssq) {
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
    if (summary.refused()) return false;
    fitted = probe_->model;
    ssq = summary.ssq;
    return std::isfinite(ssq);
}

RangeBoundSearch::RangeBoundSearch(RangeProber& prober, const LayerModel& best, double bestSsq, double threshold,
                                   const std::vector<RangeSeed>& seeds)
    : prober_(prober), best_(best), bestSsq_(bestSsq), threshold_(threshold), seeds_(seeds) {}

const RangeSeed* RangeBoundSearch::nearestSeed(const FitColumn& column, double held) const {
    const RangeSeed* nearest = nullptr;
    double distance = kNotReached;
    for (const RangeSeed& seed : seeds_) {
        const double v = columnValue(seed.model, column);
        if (!(v > 0.0)) continue;
        const double d = std::fabs(std::log(v / held));
        if (d < distance) {
            distance = d;
            nearest = &seed;
        }
    }
    return nearest;
}

const RangeSeed* RangeBoundSearch::outermostSeed(const FitColumn& column, double value, double sign) const {
    const RangeSeed* outermost = nullptr;
    double reach = 0.0;
    for (const RangeSeed& seed : seeds_) {
        const double v = columnValue(seed.model, column);
        if (!(v > 0.0) || !(seed.ssq <= threshold_)) continue;
        const double step = sign * std::log(v / value);
        if (step > reach) {
            reach = step;
            outermost = &seed;
        }
    }
    return outermost;
}

bool RangeBoundSearch::refitFromSeveral(const FitColumn& column, double value, double step, const LayerModel& warm,
                                        LayerModel& fitted, double& ssq) {
    const RangeSeed* nearest = nearestSeed(column, value * std::exp(step));
    const LayerModel* starts[] = {&warm, &best_, nearest != nullptr ? &nearest->model : nullptr};
    bool held = false;
    ssq = kNotReached;
    LayerModel candidate;
    double candidateSsq = 0.0;
    for (std::size_t s = 0; s < std::size(starts); ++s) {
        if (starts[s] == nullptr) continue;
        bool repeated = false;
        for (std::size_t earlier = 0; earlier < s; ++earlier)
            repeated = repeated || (starts[earlier] != nullptr && sameValues(*starts[earlier], *starts[s]));
        if (repeated) continue;
        if (!prober_.refit(column, value, step, *starts[s], candidate, candidateSsq)) continue;
        if (!held || candidateSsq < ssq) {
            fitted = candidate;
            ssq = candidateSsq;
        }
        held = true;
    }
    return held;
}

RangeBound RangeBoundSearch::find(const FitColumn& column, double value, double sign, double guess) {
    const double limit = std::log(kRangeSearchLimit);
    double inStep = 0.0;
    double inSsq = bestSsq_;
    LayerModel inModel = best_;
    double outStep = 0.0;
    double outSsq = kNotReached;
    RangeBound bound;
    const auto reachedLimit = [&] {
        bound.unbounded = true;
        bound.step = inStep;
        bound.model = modelValuesOf(inModel, inSsq);
        return bound;
    };

    double step = std::clamp(guess, kSmallestStep, kLargestFirstStep);
    if (const RangeSeed* outermost = outermostSeed(column, value, sign)) {
        inStep = sign * std::log(columnValue(outermost->model, column) / value);
        inSsq = outermost->ssq;
        inModel = outermost->model;
        if (inStep >= limit) return reachedLimit();
        step = std::min(limit, std::max(nextStep(inStep, inSsq), inStep + kSmallestStep));
    }
    LayerModel fitted;
    double ssq = 0.0;
    while (true) {
        // The value cannot go further than a held depth lets it: the range reaches a limit.
        if (!refitFromSeveral(column, value, sign * step, inModel, fitted, ssq)) return reachedLimit();
        if (ssq > threshold_) {
            outStep = step;
            outSsq = ssq;
            break;
        }
        inStep = step;
        inSsq = ssq;
        inModel = fitted;
        if (step >= limit) return reachedLimit();
        step = std::min(limit, nextStep(inStep, inSsq));
    }

    for (int i = 0; i < kMaxRefinements && outStep - inStep > kBoundTolerance; ++i) {
        step = crossing(inStep, inSsq, outStep, outSsq);
        const bool held = refitFromSeveral(column, value, sign * step, inModel, fitted, ssq);
        if (held && ssq <= threshold_) {
            inStep = step;
            inSsq = ssq;
            inModel = fitted;
        } else {
            outStep = step;
            outSsq = held ? ssq : kNotReached;
        }
    }
    bound.step = std::isfinite(outSsq) ? crossing(inStep, inSsq, outStep, outSsq) : inStep;
    bound.model = modelValuesOf(inModel, inSsq);
    return bound;
}

/// Near the optimum the refitted SSQ grows with the square of the step:
/// aim at the threshold, but at least a little beyond the last step and at
/// most four times it.
double RangeBoundSearch::nextStep(double inStep, double inSsq) const {
    const double rise = inSsq - bestSsq_;
    if (!(rise > 0.0)) return 3.0 * inStep;
    const double aim = inStep * std::sqrt((threshold_ - bestSsq_) / rise);
    return std::clamp(1.1 * aim, 1.3 * inStep, 4.0 * inStep);
}

/// Where the threshold lies between an inside and an outside step, by
/// interpolating the square root of the SSQ rise (linear in the step near
/// the optimum), kept off the ends so that every refinement narrows. Where
/// the inside step has barely risen the SSQ (a flat valley that ends steeply
/// somewhere) the interpolation means nothing: halve instead.
double RangeBoundSearch::crossing(double inStep, double inSsq, double outStep, double outSsq) const {
    const double rise = threshold_ - bestSsq_;
    const double lo = std::sqrt(std::max(inSsq - bestSsq_, 0.0));
    const double hi = std::sqrt(std::max(outSsq - bestSsq_, 0.0));
    const double target = std::sqrt(std::max(rise, 0.0));
    double fraction = 0.5;
    if (inSsq - bestSsq_ > 0.25 * rise && std::isfinite(hi) && hi > lo) fraction = (target - lo) / (hi - lo);
    fraction = std::clamp(fraction, 0.1, 0.9);
    return inStep + fraction * (outStep - inStep);
}

}  // namespace orma
