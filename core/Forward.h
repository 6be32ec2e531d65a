#pragma once
// Forward modelling: the Schlumberger apparent-resistivity curve of a layered
// earth by the linear-filter method. The resistivity transform is built by the
// Pekeris recursion at abscissae spaced like the AB/2 grid and convolved with a
// 13-tap filter. Drawing the curve is the window's job: it erases the old curve
// before the call and draws the new one afterwards.

#include "core/ComputationOptions.h"
#include "core/Sounding.h"

namespace orma {

/// Filter taps c[n], n = -2..10 (index n + 2). They sum to 1, so a
/// half-space of resistivity rho gives rho at every spacing.
inline constexpr double kFilterCoefficients[13] = {
    0.0225, 0.0336, 0.2525, 0.8183, 1.6448, -2.7841, 1.3396,
    -0.4390, 0.1605, -0.0746, 0.0416, -0.0262, 0.0105,
};
inline constexpr int kFilterFirstTap = -2;
inline constexpr int kFilterTaps = 13;

/// Model mode: computes the curve of sounding.model on minGridIndex..maxGridIndex
/// into computedRho and computedPacked, sets grid.value[0..maxGridIndex] to the
/// exact AB/2 values and refreshes sounding.ssq. Layer resistivities below
/// 1e-6 are computed as 1e-6 (the model is not changed).
/// Returns kSuccess, or kFailed when a numerical guard trips or when the model
/// or grid range cannot be computed (more than 30 layers, a range outside
/// grid points 0..98); on failure the outputs written so far stay.
///
/// With the default options this is the 13-tap filter in single precision on
/// the grid. Other options compute in double (ForwardAtSpacings.h) and floor
/// the half-space resistivity at 1e-6 as well; the results are still stored
/// as floats.
int computeForward(Sounding& sounding, const ComputationOptions& options = {});

/// Fit mode: the same computation for trial values (interfaceCount + 1
/// resistivities, interfaceCount thicknesses) instead of the stored model.
/// Leaves sounding.ssq alone: the fit judges trials itself.
int computeForward(Sounding& sounding, const double* fitResistivity, const double* fitThickness,
                   const ComputationOptions& options = {});

/// Fit error of the stored computed curve against the composite: the sum of
/// squared natural-log ratios over the curve's grid rows. Rows where the
/// composite has a gap (0 or -999) are left out. A computed value of 0 or
/// below (or not finite) where the composite is present cannot be compared on
/// a logarithmic scale; such a curve gets an infinite error, so the fit never
/// prefers it. A curve without any composite value gives 0.
double computeSsq(const Sounding& sounding);

}  // namespace orma
