#pragma once
// How closely the data determine each free value of a fitted model.
//
// Equivalence range: for every free resistivity and thickness, the values it
// can take while the model, refitted in all its other free values, keeps its
// SSQ within `factor` times the best SSQ (interpreters use 1.05). It is found
// by holding the value at steps away from the optimum and refitting the rest
// until the refitted SSQ crosses the limit. A bound that lies beyond a factor
// of 1000 from the fitted value, or that a held depth does not let the value
// reach, is reported as unbounded.
//
// Linearised standard deviation: from the SVD of the weighted Jacobian at the
// optimum, the standard deviation of the natural logarithm of the value,
// sqrt(SSQ / (rows - M) * sum_c (V[p][c] / w_c)^2) over all singular values.
// It is given as a factor: the value times or divided by exp(sigma).
//
// The ranges are found about the best model ORMA finds for the sounding's
// layer count and held values: a global fit (core/GlobalFit.h, default
// starts, one thread) whose first start is the sounding's current model, so
// the optimum is never worse than the fit run until converged from it. A
// range must never exclude a model ORMA can show to fit within the
// threshold: the equivalent models of that search lie inside the ranges by
// construction, every step is refitted from several starts (the last model
// inside, the optimum, the nearest equivalent model; core/RangeBoundSearch.h)
// and the smallest SSQ counts. A refit may come out a little below the
// optimum (a flat valley the fit does not follow to its end); it counts as
// inside like any other. The sounding itself is left as it is.

#include <array>
#include <functional>
#include <string>

#include "core/ComputationOptions.h"
#include "core/EquivalentModels.h"
#include "core/FitWorkspace.h"
#include "core/ModelValues.h"
#include "core/Sounding.h"

namespace orma {

inline constexpr double kDefaultRangeFactor = kDefaultEquivalenceFactor;
/// Bounds further than this factor from the fitted value count as unbounded.
inline constexpr double kRangeSearchLimit = 1000.0;

struct ParameterRange {
    bool isThickness = false;
    int layer = 0;          ///< 1-based layer k
    double value = 0.0;     ///< at the optimum
    double lower = 0.0;     ///< the range's bounds (meaningless where unbounded)
    double upper = 0.0;
    bool lowerUnbounded = false;
    bool upperUnbounded = false;
    /// Linearised standard deviation of ln(value): +inf where the data do not
    /// resolve the value at all, NaN without more data rows than parameters.
    double logStdDev = 0.0;
    /// The refitted models at the bounds (where bounded): the equivalent
    /// models an interpreter may choose instead.
    ModelValues lowerModel;
    ModelValues upperModel;
};

enum class RangeStatus {
    Computed,
    Refused,    ///< the fit refuses the model or curve; see message
    Cancelled,  ///< the progress callback asked to stop
};

/// Told after the optimum and after each value's range (done of total
/// steps); returns false to stop the computation.
using RangeProgress = std::function<bool(int done, int total)>;

struct RangeSummary {
    RangeStatus status = RangeStatus::Refused;
    std::string message;
    double factor = kDefaultRangeFactor;
    double bestSsq = 0.0;        ///< SSQ of the optimum the ranges surround
    double threshold = 0.0;      ///< factor * bestSsq
    ModelValues best;            ///< that optimum
    int parameterCount = 0;
    std::array<ParameterRange, kMaxParameters> ranges{};
    int refits = 0;              ///< fits run while stepping
};

/// Ranges of every free value of sounding.model (flags as set on it), with the
/// forward computation of `options`. `factor` must be at least 1.
RangeSummary computeParameterRanges(const Sounding& sounding, FitWorkspace& workspace,
                                    const ComputationOptions& options = {}, double factor = kDefaultRangeFactor,
                                    const RangeProgress& progress = {});

/// The same right after a global fit of the sounding (core/GlobalFit.h) with
/// the same options: the ranges surround its winner, sounding.model with its
/// SSQ, and step out from its equivalent models (`found`, those within
/// `factor` of the winner) instead of searching a second time.
RangeSummary computeParameterRanges(const Sounding& sounding, FitWorkspace& workspace, const ComputationOptions& options,
                                    double factor, const RangeProgress& progress, const EquivalentModels& found);

}  // namespace orma
