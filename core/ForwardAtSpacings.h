#pragma once
// The forward computation at spacings that need not lie on the AB/2 grid:
// the measured AB/2 of the composite rows, or any list of spacings. Two
// filters can do it, both in double precision:
// - the 13-tap filter of the standard method, its taps laid out around each
//   spacing instead of around a grid point;
// - the 201-point J1 filter (AccurateForward.h).

#include "core/ComputationOptions.h"
#include "core/Sounding.h"

namespace orma {

/// The AB/2 at which grid row k of the curve is computed: the exact grid
/// value 10^(k/8.876), or with `measured` the mean measured AB/2 of the
/// branches' readings at row k (the grid value where the row has none, e.g.
/// a composite value drawn by hand).
double rowSpacing(const Sounding& sounding, int k, bool measured);

/// The 13-tap filter at `count` arbitrary spacings: rhoA(s) = sum over n of
/// c[n] T(s 10^(-2n/8.876)), T the resistivity transform in double. Layer
/// resistivities are used as given (the caller floors them). Returns kSuccess
/// or kFailed (a value that is not finite).
int computeShortFilterCurve(int layerCount, const double* resistivity, const double* thickness,
                            const double* ab2, int count, double* rhoA);

/// The curve of the model (layerCount resistivities, layerCount - 1
/// thicknesses) at the spacings, by the filter the options choose.
int computeCurveAtSpacings(const ComputationOptions& options, int layerCount, const double* resistivity,
                           const double* thickness, const double* ab2, int count, double* rhoA);

}  // namespace orma
