#pragma once
// The lateral constraints of a profile interpreted as one: the log
// resistivity of every layer and the log depth of every interface of a point
// are tied to the same value at its neighbours along the profile.
//
// A constraint is a row of the joint least-squares problem,
//     (value at the left point - value at the right point) / deviation,
// where the deviation is how much the value is expected to change between the
// two points, in natural-log units (ln 1.25 = 0.22: a factor of 1.25). The
// user gives it as a factor per 100 m; between neighbours d metres apart it is
//     ln(factor) * d / 100 m.
// A boundary that dips at a steady angle, or a resistivity that trends along
// the profile, changes its logarithm in proportion to the distance, so a
// neighbour twice as far away may differ twice as much; across a long gap
// between soundings the tie fades. Points closer than a metre are tied as if
// a metre apart (their values are never forced to be equal).

#include <array>
#include <vector>

#include "core/FitWorkspace.h"
#include "core/Sounding.h"

namespace orma {

/// The distance the factors of the constraints refer to.
inline constexpr double kLateralReferenceDistance = 100.0;  ///< m
/// Neighbours closer than this are tied as if this far apart.
inline constexpr double kLateralMinimumDistance = 1.0;  ///< m

/// The deviation (natural-log units) of the change between points `distance`
/// metres apart when the value changes by `factor` (> 1) per 100 m.
double lateralDeviation(double factor, double distance);

/// Neighbouring points: each point with the next one in order of chainage.
struct LateralLink {
    int left = 0;  ///< index into the chainages given
    int right = 0;
    double distance = 0.0;  ///< m, never below kLateralMinimumDistance
};

/// The links of points at `chainage` (any order; equal chainages keep their
/// order): one fewer than the points.
std::vector<LateralLink> lateralLinks(const std::vector<double>& chainage);

enum class TiedValue { Resistivity, Depth };

/// One constraint row.
struct LateralConstraint {
    int left = 0;
    int right = 0;
    TiedValue value = TiedValue::Resistivity;
    int index = 0;           ///< 0-based layer (resistivity) or interface (depth)
    double deviation = 1.0;  ///< natural-log units
    /// Beyond this many deviations a difference costs in proportion to its
    /// size rather than its square (0: always its square).
    double robustBeyond = 0.0;
    /// A bend tie has a third point between the two: the row is then
    ///     (leftCoefficient * left + middleCoefficient * middle + rightCoefficient * right) / deviation,
    /// the change of the slope from one link to the next (-1: a plain tie).
    int middle = -1;
    double leftCoefficient = 1.0;
    double middleCoefficient = 0.0;
    double rightCoefficient = -1.0;
};

/// A row for every layer's resistivity and every interface's depth of every
/// link, `layers` layers per point.
std::vector<LateralConstraint> lateralConstraints(const std::vector<LateralLink>& links, int layers,
                                                  double resistivityFactor, double depthFactor,
                                                  double robustBeyond = 0.0);

/// The values a point's model brings to its constraints.
struct TiedLogValues {
    std::array<double, kMaxLayers> logResistivity{};
    std::array<double, kMaxLayers> logDepth{};  ///< of interface i, the depth at least kMinLayerThickness
    std::array<double, kMaxLayers> depth{};     ///< m, as it enters logDepth
};

/// The tied values of a model of `layers` resistivities and `layers` - 1
/// thicknesses.
TiedLogValues tiedLogValues(int layers, const double* resistivity, const double* thickness);

/// The constraint's row value, (left - right) / deviation, with the middle
/// point's term for a curvature tie.
double constraintResidual(const LateralConstraint& constraint, const TiedLogValues& left,
                          const TiedLogValues& right, const TiedLogValues* middle = nullptr);

/// Bend ties: over every two consecutive links, the change of the slope of
/// each interface's ln depth,
///     (m/d1 (left - middle) - m/d2 (middle - right)) / (ln(factor) m / 100 m),
/// d1, d2 the links' distances and m their mean (for evenly spaced points the
/// plain second difference). A boundary dipping at a steady angle costs
/// nothing however steep; a kink costs as a plain tie of the same factor
/// would. `depthFactor` of 0 (or 1 and below): none.
std::vector<LateralConstraint> lateralBendConstraints(const std::vector<LateralLink>& links, int layers,
                                                      double depthFactor, double robustBeyond = 0.0);

/// What a constraint row of value `v` adds to the objective: v^2 up to
/// `robustBeyond` (k), then 2 k |v| - k^2 (Huber's penalty: the same value
/// and slope at k). A tie that the data break by far, a step of a boundary
/// or a layer that ends, then pulls no harder than one k deviations off,
/// so the ties can be tight where the ground changes smoothly.
double constraintPenalty(const LateralConstraint& constraint, double v);

/// The weight of the row in the linearised problem (1 within k, k / |v|
/// beyond): its penalty's slope over that of v^2.
double constraintWeight(const LateralConstraint& constraint, double v);

/// How the value a constraint ties at one of its points changes with that
/// point's fit column (a log resistivity or a log thickness, FitParameters.h):
/// 1 for the layer's own resistivity; h_j / depth for the thickness of a
/// layer j above the interface, unless an interface held at its depth lies
/// between them (then the layer above the held interface takes up the
/// change). `thickness` holds the point's current thicknesses.
double tiedDerivative(TiedValue value, int index, const FitColumn& column, const double* thickness,
                      const TiedLogValues& values);

}  // namespace orma
