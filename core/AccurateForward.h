#pragma once
// The accurate forward computation: the Schlumberger apparent resistivity of
// a layered earth in double precision with the 201-point J1 filter of
// HankelFilterJ1.h, at any AB/2 s:
//
//   rhoA(s) = rho1 + s^2 * integral_0^inf (T(lambda) - rho1) lambda J1(lambda s) dlambda
//           ~ rho1 + sum_i w_i b_i (T(b_i / s) - rho1).
//
// T is the resistivity transform (Pekeris recursion with tanh(lambda h)).
// Subtracting the top-layer resistivity leaves a kernel that vanishes at both
// ends, which the filter integrates far more accurately than T itself.
//
// Speed comes from a lagged convolution: outputs at ln s = n * step (integer
// n, the filter's own spacing) all draw on the transform samples lambda =
// exp(q * step). Any other spacing is interpolated between the twelve nearest
// such outputs by a Lagrange polynomial in ln s. The filter itself is good to
// about 1e-10; the interpolation adds at most about 3e-6 relative on the
// steepest curves (a basement 1000 times more conductive) and 1e-8 where the
// contrast is 1:10. A given spacing always gets the same value, whatever else
// is computed with it.

#include <array>

#include "core/HankelFilterJ1.h"

namespace orma {

inline constexpr int kInterpolationPoints = 12;  ///< nodes around each spacing
/// Output nodes one computation may span: enough for the whole AB/2 grid
/// (25.4 natural-log units) with room to spare.
inline constexpr int kMaxLaggedNodes = 256;
inline constexpr int kMaxLaggedSamples = kMaxLaggedNodes + kHankelJ1Taps - 1;
/// Spacings are accepted between exp(-37) and exp(37) m (about 1e-16 .. 1e16).
inline constexpr int kMaxNodeIndex = 300;

/// The output nodes (ln s = n * step) and transform samples one set of
/// spacings needs. Sample index 0 is lambda = exp(firstSample() * step).
struct LaggedGrid {
    int firstNode = 0;
    int nodeCount = 0;
    int lastNode() const { return firstNode + nodeCount - 1; }
    int firstSample() const { return -kHankelJ1Centre - lastNode(); }
    int sampleCount() const { return nodeCount + kHankelJ1Taps - 1; }
    /// Index into the sample table of tap i of node n.
    int sampleOf(int node, int tap) const { return tap + lastNode() - node; }
};

/// Where a spacing lies among the nodes: the first of its interpolation nodes
/// and the Lagrange weights of all of them.
struct NodeWeights {
    int firstNode = 0;
    std::array<double, kInterpolationPoints> weight{};
};

/// Plans the nodes for `count` spacings. False when a spacing is not a
/// positive finite number, lies outside the accepted range, or when the
/// spacings span more than kMaxLaggedNodes nodes.
bool planLaggedGrid(const double* ab2, int count, LaggedGrid& grid);

/// Interpolation weights of a spacing already accepted by planLaggedGrid.
NodeWeights interpolationWeights(double ab2);

/// c_i = w_i * b_i: the weights applied to T - rho1.
const std::array<double, kHankelJ1Taps>& schlumbergerTaps();

/// lambda of sample q, exp(q * step), for |q| <= kMaxNodeIndex + kHankelJ1Centre.
double sampleAbscissa(int q);

/// The part of a lagged computation that can matter: taps below firstTap
/// weigh too little for the model's contrast (their share stays under 1e-10),
/// and from sample sampleEnd on the top layer hides everything below it, so
/// the kernel there is exactly zero.
struct LiveRange {
    int firstTap = 0;
    int sampleEnd = 0;
};
LiveRange liveRange(const LaggedGrid& grid, int layerCount, const double* resistivity, const double* thickness);

/// Apparent resistivities at `count` spacings (any order). `resistivity` holds
/// layerCount values, `thickness` layerCount - 1; all must be positive and
/// finite (the caller applies its floors). Returns kSuccess, or kFailed when a
/// spacing is refused by planLaggedGrid or a value is not finite.
int computeAccurateCurve(int layerCount, const double* resistivity, const double* thickness, const double* ab2,
                         int count, double* rhoA);

/// The filter evaluated directly at one spacing, without interpolation
/// (201 transform evaluations): a reference for the lagged computation.
double accurateApparentResistivityAt(int layerCount, const double* resistivity, const double* thickness,
                                     double ab2);

}  // namespace orma
