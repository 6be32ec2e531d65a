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

#include <string>

#include "core/FitWorkspace.h"
#include "core/Sounding.h"

namespace orma {

enum class FitStatus {
    Converged,       ///< the last accepted step improved the SSQ by less than 2.5 %
    NoImprovement,   ///< no damping level of the last linearisation lowered the SSQ
    IterationLimit,  ///< stopped after kMaxLinearisations (a safety net only)
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
    std::string message;  ///< a sentence for the user when the fit was refused
};

/// Each accepted step improves the SSQ by at least 2.5 %, so the fit ends on
/// its own; this cap only guards against a pathological endless descent.
inline constexpr int kMaxLinearisations = 1000;

/// Singular values of at most this magnitude take no part in a step.
inline constexpr double kSingularValueCutoff = 0.05;

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
/// is rejected like any trial that does not improve the SSQ.
FitSummary fitModel(Sounding& sounding, FitWorkspace& workspace);

}  // namespace orma
