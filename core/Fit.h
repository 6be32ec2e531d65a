#pragma once
// The fit: a damped Gauss-Newton iteration on the natural logarithms of the
// layer resistivities and thicknesses, solved through the SVD of the weighted
// Jacobian, with Marquardt-style damping levels taken from the singular
// values. Values the user has fixed are held (rules in FitParameters.h).
//
// Per linearisation: one sensitivity computation and one SVD; then trial
// steps with damping 0, then each singular value from the smallest magnitude
// to the largest, until one lowers the SSQ. An accepted step that improves the
// SSQ by less than 2.5 percent ends the fit, as does a linearisation in which
// no level improves it.
//
// A trial step that would squeeze a layer above a held interface to a
// negative thickness is halved along its direction (up to 20 times) until
// every layer keeps its thickness, instead of being dropped: otherwise a
// layer just above a held depth can stall the fit far from the optimum.
//
// The options choose the forward computation (filter, spacings) used for the
// curve, the derivatives and the SSQ, and whether whole passes are repeated
// until the SSQ settles.

#include <functional>
#include <string>

#include "core/ComputationOptions.h"
#include "core/FitWorkspace.h"
#include "core/Outcome.h"
#include "core/Sounding.h"

namespace orma {

enum class FitStatus {
    Converged,       ///< the last accepted step improved the SSQ by less than 2.5 %
    NoImprovement,   ///< no damping level of the last linearisation lowered the SSQ
    IterationLimit,  ///< stopped after kMaxLinearisations (a safety net only)
    PassLimit,       ///< fitting until converged stopped after kMaxFitPasses passes
    NoComposite,     ///< refused: no composite value in the curve's range
    InvalidModel,    ///< refused: the model or range cannot be fitted
    ForwardFailed,   ///< refused: the start model's curve cannot be computed
};

struct FitSummary {
    FitStatus status = FitStatus::NoImprovement;
    double startSsq = 0.0;
    double ssq = 0.0;
    int linearisations = 0;
    int trials = 0;
    int acceptedSteps = 0;
    int passes = 1;  ///< passes run (more than one only when fitting until converged)
    Outcome outcome;  ///< fails, with a sentence for the user, exactly when the fit was refused

    /// Whether the fit was refused (nothing fitted, the record untouched)
    /// rather than ended: every caller that tells the two apart asks this.
    bool refused() const {
        return status == FitStatus::NoComposite || status == FitStatus::InvalidModel ||
               status == FitStatus::ForwardFailed;
    }
};

/// Each accepted step improves the SSQ by at least 2.5 %, so the fit ends on
/// its own; this cap only guards against a pathological endless descent.
inline constexpr int kMaxLinearisations = 1000;

/// Singular values of at most this magnitude take no part in a step.
inline constexpr double kSingularValueCutoff = 0.05;

/// A trial step that squeezes a layer above a held depth is halved at most
/// this often.
inline constexpr int kMaxStepHalvings = 20;

/// Fitting until converged: a pass that improves the SSQ by less than this
/// fraction is the last, and at most kMaxFitPasses passes run.
inline constexpr double kConvergedImprovement = 0.001;
inline constexpr int kMaxFitPasses = 100;

/// Fits sounding.model to the composite curve. Changes only the record: the
/// model (resistivities and depths; the flags never), the computed curve and
/// ssq. At the end the computed curve and ssq belong to the final model, so
/// the window can draw them; a fit that accepts no step leaves the model and
/// its curve bit-for-bit as they were.
///
/// Grid rows where the composite has a gap (0 or -999) take no part in the
/// residual, the Jacobian or the SSQ. A fit without any composite value, or
/// with a model that has a non-positive resistivity, a negative thickness or
/// more than 30 layers, is refused: the record stays untouched and the summary
/// carries the status and a message. A trial whose curve has a value of 0 or
/// below where the composite is present, or whose forward computation fails,
/// is rejected like any trial that does not improve the SSQ. Should the
/// curve of the final model (its values rounded to the stored floats) fail
/// where the trial's did not, the fit is refused (ForwardFailed) and the
/// record left as it was.
///
/// With options.fitUntilConverged the fit runs pass after pass, each exactly
/// what one call without it does starting from the model the last one left,
/// until a pass improves the SSQ by less than 0.1 % or accepts no step. The
/// summary then counts all passes (startSsq is the first one's).
FitSummary fitModel(Sounding& sounding, FitWorkspace& workspace, const ComputationOptions& options = {});

/// Told of every model a fit accepts, right after the step: its layerCount
/// resistivities and layerCount - 1 thicknesses exactly as the SSQ was
/// computed for them (before the stored model rounds them to floats).
using FitStepObserver =
    std::function<void(const double* resistivity, const double* thickness, int layerCount, double ssq)>;

/// The same fit, the same path and the same result, with `observer` told of
/// each accepted model (a global search keeps those that fit about as well as
/// the best; core/GlobalFit.h).
FitSummary fitModel(Sounding& sounding, FitWorkspace& workspace, const ComputationOptions& options,
                    const FitStepObserver& observer);

/// The linearisation of a model as the fit makes it, without a step.
struct FitJacobian {
    bool valid = false;  ///< false when the fit would refuse the model
    int rows = 0;        ///< data rows (grid rows with a composite value)
    int parameters = 0;  ///< free parameters M
};

/// Computes the model's curve (and ssq), then the weighted Jacobian of ln rhoA
/// by the free log-parameters and its SVD: afterwards ws.columns names the
/// parameters, the diagonal of ws.WJ holds the singular values and ws.V the
/// right singular vectors. The model is not changed.
FitJacobian decomposeFitJacobian(Sounding& sounding, FitWorkspace& workspace, const ComputationOptions& options = {});

}  // namespace orma
