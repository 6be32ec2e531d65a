#pragma once
// Where the data pin the interfaces: each interface of a point that carries
// a depth range (from a global fit, core/VesDatabase.h DepthRange) is drawn
// with a pale band from its least to its greatest depth and a bar with caps
// at its ends, under the point's own marks. A short bar: the data pin the
// boundary; a long one: equally good models put it anywhere along it.

#include "core/VesDatabase.h"
#include "ui/platform/Canvas.h"
#include "ui/section/SectionGeometry.h"

namespace orma::ui {

inline constexpr Colour kDepthRangeFill = 0xF5D7BE;  // RGB(190, 215, 245)
inline constexpr Colour kDepthRangeBar = 0xAA5A28;   // RGB(40, 90, 170)

/// Paints the depth ranges of the profile's points within the displayed
/// chainages (copy mode), clipped to the axis box.
void paintDepthRanges(Canvas& canvas, const SectionGeometry& geometry, const Profile& profile,
                      const SectionDisplay& display);

}  // namespace orma::ui
