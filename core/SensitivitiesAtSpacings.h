#pragma once
// Derivatives of the computed curve by every layer resistivity and thickness
// for the forward computations of ForwardAtSpacings.h: the 13-tap filter at
// any spacings, or the 201-point filter. The transform derivatives go through
// the same filter (and, for the long filter, the same interpolation between
// its output nodes) as the curve itself.

#include "core/ComputationOptions.h"
#include "core/FitWorkspace.h"

namespace orma {

/// Fills Sro[j][k] and Sd[j][k] (rows j = 0..rowCount-1 at spacing[j], layer
/// columns k = 1..layerCount as in computeSensitivities) for the model of
/// layerCount resistivities and layerCount - 1 thicknesses, with the filter
/// the options choose. Dro/Dd are not used. Requires 1 <= layerCount <= 30,
/// 1 <= rowCount <= 99, positive resistivities and spacings the forward
/// computation accepts; returns false (tables zeroed) otherwise.
bool computeSensitivitiesAtSpacings(const ComputationOptions& options, const double* spacing, int rowCount,
                                    int layerCount, const double* resistivity, const double* thickness,
                                    FitWorkspace& workspace);

}  // namespace orma
