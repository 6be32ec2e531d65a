#pragma once
// Analytic derivatives of the computed apparent-resistivity curve with respect
// to every layer resistivity (Sro) and thickness (Sd). The Pekeris recursion is
// differentiated layer by layer (Dro, Dd per transform sample) and the
// derivatives go through the same 13-tap filter as the forward computation.
// Everything runs in double; unlike the forward computation, resistivities are
// taken as they are, without the 1e-6 floor.

#include "core/FitWorkspace.h"
#include "core/Sounding.h"

namespace orma {

/// Derivatives for the model `layerCount` layers (resistivity[0..L-1],
/// thickness[0..L-2]) on the grid rows firstGridIndex .. firstGridIndex +
/// rowCount - 1. Fills Dro/Dd (sample row r = m + 20, m = -20 .. rowCount + 3;
/// column k - 1 for layer k) and Sro/Sd (row j = grid row, column k = layer k;
/// column 0 unused), each completely rewritten.
/// Requires 1 <= layerCount <= 30 and 1 <= rowCount <= 99.
void computeSensitivities(int firstGridIndex, int rowCount, int layerCount, const float* resistivity,
                          const double* thickness, FitWorkspace& workspace);

/// Derivatives of the stored model of `sounding` on its curve range.
/// Does nothing when the model or the range is outside the table sizes.
void computeSensitivities(const Sounding& sounding, FitWorkspace& workspace);

}  // namespace orma
