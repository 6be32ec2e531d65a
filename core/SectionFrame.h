#pragma once
// The world range a section of one profile covers: the chainage range of its
// points and the elevation range of their tops and interfaces, each clipped to
// the displayed limits. The section window sizes its image from it, and the
// script export takes its frame from it.

#include <optional>

#include "core/VesDatabase.h"

namespace orma {

/// The displayed limits (metres); points beyond the chainage limits are not
/// drawn, and the ranges are clipped to the limits.
struct SectionLimits {
    float minChainage = -1000000.0f;  ///< the limits every opening of a database sets
    float maxChainage = 1000000.0f;
    float minElevation = -10000.0f;
    float maxElevation = 10000.0f;
};

struct SectionRange {
    double minChainage = 0.0, maxChainage = 0.0;
    double minElevation = 0.0, maxElevation = 0.0;
};

/// Range of the points of `profile` (at least one point), clipped to `limits`;
/// a range left upside down by the clipping shows its edge.
SectionRange sectionRange(const Profile& profile, const SectionLimits& limits);

/// The frame of an exported section: chainages cmin..cmax of its points and
/// the elevations zB..zT of the section image's bottom and top edges.
struct ExportFrame {
    double cmin = 0.0, cmax = 0.0;
    double zB = 0.0, zT = 0.0;
};

/// The text height (pixels) whose margins the exported frame keeps above
/// and below the points: the section's default font. The export does not
/// follow the font the user picked for the window, so one database gives the
/// same script on any screen and from the command line.
inline constexpr int kExportFrameTextHeight = 16;

/// The largest scale (1:10) a fit to the window gives: two points a metre
/// apart would otherwise be drawn at 1:1, and the typed-scale box, which
/// offers whole tens, would show "1:0".
inline constexpr double kLargestFittedScale = 0.1;

/// One pass of a fit to the window: the scale at which `imageSpan` metres
/// (the drawn image, margins included, at the current scale) fill `pixels`.
/// Nothing to fit (nullopt, the scale stays) when the points span no length
/// in that direction (`pointsSpan` of 0: one chainage, or a flat profile
/// without models) or there are no pixels; margins alone would otherwise
/// blow the scale up without end. At most kLargestFittedScale.
std::optional<double> fittedScale(double pointsSpan, double imageSpan, double pixels, double dotsPerMetre);

/// The frame as the section image would have it at the profile's Z scale,
/// with margins of `textHeight` pixels (three above, three below).
ExportFrame exportFrame(const Profile& profile, const SectionLimits& limits, int textHeight = kExportFrameTextHeight);

}  // namespace orma
