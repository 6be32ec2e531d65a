#pragma once
// Branch numbers above 5 (an instrument file with more MN/2 values, or an RST
// reading with MN/2 of 300 m and more) have no column in the branch tables.
// Their readings join branch 5, but only after being levelled onto it, so
// that the step between the two levels does not stay in the composite curve.

#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma {

/// Each branch above 5, in increasing order, is shifted onto the level of
/// branch 5 as it stands (with the extra branches merged before it): by the
/// mean of log10(branch 5) - log10(extra branch) over their common grid rows
/// within minGridIndex..maxGridIndex, each branch's rows taken as the
/// geometric mean of its repeated readings, the rule the branch shift uses.
/// Then its readings get branch number 5. Where the two have no common row
/// the readings join unlevelled, and the message says so.
///
/// Works on points 0..count-1 whose gridIndex is already set. Returns one
/// message per extra branch.
std::vector<std::string> mergeExtraBranches(PointTable& points, int count, int minGridIndex, int maxGridIndex);

}  // namespace orma
