#pragma once
// The last step every file reader shares: freshly parsed readings replace the
// sounding's point table only when they make a usable curve.

#include <string>
#include <vector>

#include "core/Outcome.h"
#include "core/Sounding.h"

namespace orma {

/// Puts `fresh` into the sounding's point table and runs the reader
/// post-processing (snapping, grid range, logarithms); its warnings are
/// appended to `messages`. The measured AB/2 of reading s is first copied
/// into grid-value entry s, as the readers always did (snapping overwrites the
/// entries it lands on). When post-processing fails the previous point table
/// and grid values are put back, so a damaged file never spoils the curve on
/// screen; the failure then says nothing more (the reasons are in `messages`).
Outcome commitReadings(Sounding& sounding, const PointTable& fresh, CurveSource source,
                       std::vector<std::string>& messages);

/// Shown when a file holds more readings than a sounding can take.
inline constexpr const char* kTooManyReadingsMessage =
    "The file holds more than 99 readings; only the first 99 were read.";

}  // namespace orma
