#pragma once
// The stepping behind the parameter ranges (core/ParameterRanges.h): one
// value held at steps away from the optimum, the other free values refitted,
// until the refitted SSQ crosses the threshold.
//
// A refit from one start can end in a local minimum and so rise above the
// threshold where another model with that value fits within it; a range
// found that way comes out too narrow on multimodal data. So every step is
// refitted from several starts and the smallest SSQ counts: the last model
// inside (warm start), the optimum, and the known equivalent model whose
// value lies nearest, each given the held value. And a search begins where
// the known equivalent models end: a model that ORMA has shown to fit within
// the threshold is inside the range by definition.

#include <memory>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/FitWorkspace.h"
#include "core/ModelValues.h"
#include "core/Sounding.h"

namespace orma {

/// A model known to fit within the threshold, with its SSQ.
struct RangeSeed {
    LayerModel model;
    double ssq = 0.0;
};

/// Holds one value at a time and refits the others, on a copy of the sounding.
class RangeProber {
public:
    RangeProber(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options);

    Sounding& probe() { return *probe_; }
    FitWorkspace& workspace() { return ws_; }
    const ComputationOptions& options() const { return options_; }
    int refits() const { return refits_; }

    /// Refits with column `column` held at value * exp(step), starting from
    /// `warm`. False when the value cannot be held there (a held depth
    /// leaves no room, or the value is not a float); otherwise `fitted` and
    /// `ssq` are the refitted model (with the column's hold flag) and its error.
    bool refit(const FitColumn& column, double value, double step, const LayerModel& warm, LayerModel& fitted,
               double& ssq);


private:
    std::unique_ptr<Sounding> probe_;
    FitWorkspace& ws_;
    ComputationOptions options_;
    int refits_ = 0;
};

/// One bound of one value: the step (in ln units, >= 0, in direction `sign`)
/// at which the refitted SSQ reaches the threshold.
struct RangeBound {
    bool unbounded = false;
    double step = 0.0;
    ModelValues model;
};

class RangeBoundSearch {
public:
    RangeBoundSearch(RangeProber& prober, const LayerModel& best, double bestSsq, double threshold,
                     const std::vector<RangeSeed>& seeds);

    /// The bound of the column's value in direction sign (+1 up, -1 down);
    /// `guess` is the step at which the linearisation expects the threshold.
    RangeBound find(const FitColumn& column, double value, double sign, double guess);

private:
    bool refitFromSeveral(const FitColumn& column, double value, double step, const LayerModel& warm,
                          LayerModel& fitted, double& ssq);
    const RangeSeed* nearestSeed(const FitColumn& column, double held) const;
    const RangeSeed* outermostSeed(const FitColumn& column, double value, double sign) const;
    double nextStep(double inStep, double inSsq) const;
    double crossing(double inStep, double inSsq, double outStep, double outSsq) const;

    RangeProber& prober_;
    const LayerModel& best_;
    double bestSsq_;
    double threshold_;
    const std::vector<RangeSeed>& seeds_;
};

/// The value of a free column in a model: the layer's resistivity or thickness.
double columnValue(const LayerModel& model, const FitColumn& column);

}  // namespace orma
