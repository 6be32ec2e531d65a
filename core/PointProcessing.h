#pragma once
// What every reader does once the readings are in the point table: snap the
// spacings onto the AB/2 grid, find the curve's grid range and the logarithms;
// and the reset of the record for a newly loaded curve.

#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma {

/// How the message begins that names readings of clearly different spacings
/// merged into one grid row.
inline constexpr const char* kMergedSpacingsIntro =
    "Readings at spacings more than 5 % apart were merged into one row of the curve "
    "(the geometric mean of their apparent resistivities): ";

/// Snaps every point, sets minGridIndex/maxGridIndex and the logarithms.
///
/// A reading that cannot take part in the curve is left out of the point
/// table and named in `warnings` (its number in the table, AB/2 and MN/2):
/// an AB/2 that is not finite, zero or below, or off the 0..98 grid; an
/// apparent resistivity that is not a number, infinite, or zero or below; an
/// MN/2 or s value that is not finite. There is one message per kind of
/// fault. A reading with a branch number below 1 stays in the table as
/// branch 0 (in no branch) and is named too. Branches above 5 are levelled onto branch 5 and
/// merged into it (mergeExtraBranches). A reading that stays in the table but
/// snaps outside minGridIndex..maxGridIndex (the snapping table and the index
/// formula differ near some row bounds) is named as taking no part.
/// Readings of one branch whose spacings differ by more than 5 % but snap to
/// one grid row are averaged into it as any repeated reading is; they are
/// named, grid row by grid row, with the option that computes such a row at
/// the readings' mean spacing (kMergedSpacingsIntro).
/// Returns kSuccess, or kFailed when no reading is left; on failure the point
/// table and the range are left as they were given.
int postProcessPoints(Sounding& sounding, CurveSource source, std::vector<std::string>& warnings);

/// The readings already in memory processed again, no file read: a point
/// re-opened from the profile database or a curve entered by hand. They
/// count as a GEF curve. Returns as postProcessPoints does.
int reprocessReadings(Sounding& sounding, std::vector<std::string>& warnings);

/// A newly loaded curve: curve present, composite to be built, no model,
/// depth and resistivity fix flags cleared, computed curve not shown,
/// curve editing off. (thicknessFixed deliberately survives.)
void resetForNewCurve(Sounding& sounding);

}  // namespace orma
