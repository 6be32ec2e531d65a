#pragma once
// Laterally constrained inversion (LCI): the soundings of a profile fitted
// together, as one damped Gauss-Newton problem, so that neighbouring points
// do not land on different equivalent models where the ground changes
// smoothly.
//
// The problem. Every point keeps the parameters of its own fit (FitParameters.h:
// the natural logs of its free layer resistivities and thicknesses; held
// values stay held, an interface held at its depth stays there). Its data rows
// are those of its own fit, ln(measured / computed) at every composite row,
// each with the standard deviation `dataError` (given, or estimated from
// what the soundings' own fits leave). Between neighbouring points
// (LateralConstraints.h) every layer's ln resistivity and every interface's
// ln depth are tied with a standard deviation that grows with their distance,
// and the ln depth of every interface at three consecutive points is tied
// for its bend (the change of its slope).
// The objective is
//     sum over points of SSQ / dataError^2  +  sum over constraints of penalty(difference / deviation),
// the penalty the square up to `robustBeyond` deviations and linear beyond
// (Huber's; the rows are reweighted per linearisation).
//
// The iteration. Per linearisation every point's Jacobian is computed by the
// fit's own sensitivities (standard or accurate filter, grid or measured
// spacings, as the computation options say), on worker threads, each with a
// fit workspace of its own. The normal equations
//     (J'J / dataError^2 + C'C + lambda I) step = J'r / dataError^2 - C'c
// are sparse (each point is tied to two neighbours only) and are factorised
// by Eigen's sparse Cholesky (LDL'). Damping lambda starts one level below
// the last accepted one and grows by a factor of 10 until a step lowers the
// objective (Levenberg-Marquardt); its smallest level damps directions the
// data resolve with a singular value below the fit's cutoff of 0.05, as the
// single fit drops them. An accepted step that lowers the objective by less
// than `stopGain` ends the iteration, as does a linearisation in which no
// damping level lowers it, or the linearisation limit.
//
// Start. The points' current models; a point without a model (no interface)
// first gets the automatic start of AutomaticStart.h (its best independent
// fit of the chosen layer count). Then once more from the profile's median
// model, and the lower objective wins (`commonStart`).
//
// Everything runs on the caller's thread and on worker threads it starts;
// no I/O. The progress callback is called on one thread at a time.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/Outcome.h"
#include "core/Sounding.h"

namespace orma {

/// The smallest data error an estimate gives (0.5 %): below it the noise of
/// field readings is not believable, and constraints would stop counting.
inline constexpr double kMinEstimatedDataError = 0.005;

struct LateralInversionOptions {
    /// How much a layer's resistivity is expected to change per 100 m, as a
    /// factor at one standard deviation (1.3: 30 % per 100 m, 5 % between
    /// soundings 20 m apart). A layer's resistivity varies more along a
    /// profile than the depth of its boundaries (weathering, clay, water).
    double resistivityFactor = 1.3;
    /// The same for the depth of an interface (1.25: 25 % per 100 m, a dip
    /// of about 7 degrees at 20 m depth). Tight enough to end the jumps of
    /// equivalent models between neighbours; a step of the boundary still
    /// comes through, because its data pull harder than the constraint.
    /// Measured on generated profiles (bench/lci_accuracy) and the sample
    /// database: at 1.1 the worst depths of a step get worse and the clay
    /// lens of the sample profile is flattened; at 1.5 a smooth boundary
    /// gains less.
    double depthFactor = 1.25;
    /// How much the dip of an interface may change per 100 m, as a factor
    /// on its depth (bend ties, LateralConstraints.h; 0: none). A boundary
    /// that dips at a steady angle costs nothing under them, however steep,
    /// so together with the plain ties above they hold a smooth boundary
    /// smooth without flattening its dip.
    double depthBendFactor = 1.15;
    /// Bend ties cost the square of a bend only up to this many deviations
    /// and in proportion to it beyond: nearly the sum of the bends' sizes,
    /// which lets a boundary run straight where the data allow and kink
    /// where they insist (a step, a sounding on another structure) without
    /// dragging its neighbours along. Measured (bench/lci_accuracy), bend
    /// ties of 1.15 with this limit at 0.35 against none: the median depth
    /// error of a smoothly dipping boundary falls from 0.70 to 0.57 of the
    /// independent fits' where those gain least (Q type: 300/60/10 ohm-m),
    /// the other earths and every step gain a little or stay, the total
    /// SSQ stays within 1.07 times the independent fits'. With the limit
    /// at 2, as for the plain ties, a step's 90th percentile error doubles
    /// and `ormacli interpret samples/profile1 --layers 4 --lci` ends at
    /// 2.7 times the own fits' SSQ instead of 1.5.
    double bendRobustBeyond = 0.35;
    /// The standard deviation of one composite value in natural-log units
    /// (0.03: 3 %); it weighs the data against the constraints. 0: estimated
    /// from the misfit the soundings' own fits leave: each start model is
    /// fitted alone (on a copy, until converged) and the error is
    /// sqrt(sum of their SSQ / (data rows - free values)), at least
    /// kMinEstimatedDataError.
    double dataError = 0.0;
    /// An accepted step that lowers the objective by less than this fraction
    /// ends the iteration (the single fit stops at 2.5 %; the joint problem
    /// moves many weakly resolved values slowly, so it goes on longer).
    double stopGain = 0.005;
    /// Linearisations at most (each costs one Jacobian of every point).
    int maxLinearisations = 50;
    /// A tie that the models break by more than this many standard
    /// deviations costs in proportion to the difference, not its square
    /// (Huber's penalty, LateralConstraints.h; 0: always the square). The
    /// step of a boundary and a point that stands on another structure
    /// then pull their neighbours less, while small differences stay tied
    /// as before. Measured (bench/lci_accuracy): at 2 the step's median
    /// depth error falls by a quarter to a third against plain squares, the
    /// sample profile's total SSQ rises 1.4 times instead of 1.6.
    double robustBeyond = 2.0;
    /// After the fit from the points' own models, fit once more from the
    /// profile's median model (every layer's median log resistivity and every
    /// interface's median log depth, at each point that holds no value) and
    /// keep whichever reaches the lower objective.
    bool commonStart = true;
    /// Worker threads; 0: one per core of the machine.
    unsigned threads = 0;
    /// Filter and spacings of the forward computation (fitUntilConverged
    /// has no meaning here).
    ComputationOptions computation;
};

/// One sounding of the profile.
struct LciSounding {
    std::string name;
    double chainage = 0.0;  ///< m along the profile
    /// The composite curve with the start model (no interface: none); after a
    /// successful run the joint model with its curve and SSQ, depths rebuilt,
    /// held values as they were.
    std::unique_ptr<Sounding> sounding;
    bool included = true;  ///< false: left out (the summary says why); its record is untouched
};

enum class LciStatus {
    Converged,      ///< the last accepted step gained less than stopGain
    NoImprovement,  ///< no damping level of the last linearisation lowered the objective
    LinearisationLimit,
};

struct LateralInversionSummary {
    LciStatus status = LciStatus::NoImprovement;
    int points = 0;      ///< soundings in the joint problem
    int parameters = 0;  ///< free values of all of them
    int constraintRows = 0;
    double dataError = 0.0;   ///< the one used (given or estimated)
    int automaticStarts = 0;  ///< points that had no model
    int linearisations = 0;
    int trials = 0;
    int acceptedSteps = 0;
    bool commonStartKept = false;  ///< the models are those of the fit from the median model
    double startDataSsq = 0.0;           ///< sum of the points' SSQ at the start
    double dataSsq = 0.0;                ///< ... at the end: the total data misfit
    double startConstraintMisfit = 0.0;  ///< sum of the constraint rows' penalties (squares within the robust limit)
    double constraintMisfit = 0.0;
    double startObjective = 0.0;  ///< dataSsq / dataError^2 + constraintMisfit
    double objective = 0.0;
    std::vector<double> startSsq;  ///< per sounding, in the order given (0 for one left out)
    std::vector<double> ssq;
    std::vector<std::string> leftOut;  ///< one sentence per sounding left out
};

struct LciProgress {
    enum class Phase { AutomaticStart, Linearisation };
    Phase phase = Phase::AutomaticStart;
    int done = 0;            ///< automatic starts finished, or linearisations done
    int total = 0;           ///< automatic starts to run, or the linearisation limit
    double objective = 0.0;  ///< after the linearisation's accepted step
};
using LciProgressCallback = std::function<void(const LciProgress&)>;

inline constexpr const char* kLciTooFewPoints =
    "A profile is fitted jointly from two points with a composite curve on.";
inline constexpr const char* kLciCancelled =
    "The joint fit of the profile was cancelled; no model was changed.";

/// Fits the soundings jointly with `layers` layers (2..30). A sounding whose
/// model has another layer count, that cannot be fitted or whose automatic
/// start fails is left out and named in the summary. Refused: bad options
/// (before anything is touched), fewer than two soundings to fit. When
/// `cancel` is set the run stops at the next point or trial and fails with
/// kLciCancelled. After a failure the records may hold automatic starts or
/// intermediate models and must not be used; the caller works on copies.
Outcome runLateralInversion(std::vector<LciSounding>& soundings, int layers,
                            const LateralInversionOptions& options, LateralInversionSummary& summary,
                            const LciProgressCallback& progress = {},
                            const std::atomic<bool>* cancel = nullptr);

}  // namespace orma
