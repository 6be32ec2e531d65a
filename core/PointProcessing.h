#pragma once
// What every reader does once the readings are in the point table: snap the
// spacings onto the AB/2 grid, find the curve's grid range and the logarithms;
// and the reset of the record for a newly loaded curve.

#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma {

/// Snaps every point, sets minGridIndex/maxGridIndex and the logarithms.
/// Points that fall off the 0..98 grid are dropped (each with a warning in
/// `warnings`), branch numbers above 5 are merged into branch 5 and negative
/// ones put into no branch (0), so that no table is ever indexed out of range.
/// Returns kSuccess, or kFailed when there is no positive AB/2 range; on
/// failure the point table is left as it was given.
int postProcessPoints(Sounding& sounding, CurveSource source, std::vector<std::string>& warnings);

/// A newly loaded curve: curve present, composite to be built, no model,
/// depth and resistivity fix flags cleared, computed curve not shown,
/// curve editing off. (thicknessFixed deliberately survives.)
void resetForNewCurve(Sounding& sounding);

}  // namespace orma
