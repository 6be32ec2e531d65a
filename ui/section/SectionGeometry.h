#pragma once
// The mapping between the section's world (chainage on the profile, elevation,
// metres) and the pixels of its image, recomputed by every full redraw and
// read by the point drawing and the mouse selection.

#include <algorithm>
#include <cmath>

#include "io/DisplaySettings.h"

namespace orma::ui {

/// The displayed limits and the label switches: what the section shows of
/// the data. Points outside the chainage limits are not drawn; the ranges and
/// the axis ticks are clipped to the limits.
struct SectionDisplay {
    float minChainage = -100000.0f;
    float maxChainage = 100000.0f;
    float minElevation = -10000.0f;
    float maxElevation = 10000.0f;
    /// The two label switches of the display options.
    SectionLabelSwitches labels;
    /// Interfaces with a depth range show it (Display > "Depth ranges of the
    /// interfaces"); for the session, not stored in orma.ini.
    bool depthRangesShown = true;

    /// The limits every opening of a database sets.
    void resetAfterOpen() {
        minChainage = -1000000.0f;
        maxChainage = 1000000.0f;
        minElevation = -10000.0f;
        maxElevation = 10000.0f;
    }
};

/// Pixel positions are computed in floating point and truncated toward
/// zero; positions far outside any image are held at +-1e6 pixels, so that a
/// wild value in a file can never overflow an integer.
inline int pixelPosition(double value) {
    if (!(value > -1e6)) return -1000000;  // also NaN
    if (!(value < 1e6)) return 1000000;
    return static_cast<int>(value);
}

/// Truncated, then one more when the dropped fraction exceeds one half.
inline int pixelPositionRounded(double value) {
    const int truncated = pixelPosition(value);
    return value - truncated > 0.5 ? truncated + 1 : truncated;
}

/// The smallest display scale the section is drawn at (1:1000000, the
/// smallest the database file's six decimals hold): a scale of zero, below it
/// or negative in a file is shown at this one.
inline constexpr double kSmallestShownScale = 1e-6;

inline double shownScale(double scale) { return std::max(std::fabs(scale), kSmallestShownScale); }

struct SectionGeometry {
    static constexpr double kDotsPerInch = 360.0;
    static constexpr double kDotsPerMetre = kDotsPerInch * 39.37007874;
    static constexpr int kMarkerSize = 6;  ///< s
    static constexpr int kTickLength = 3;  ///< t

    double pixelsPerMetreX = 1.0;
    double pixelsPerMetreZ = 1.0;
    int textHeight = 0;  ///< H: height of "W" in the canvas font
    int textWidth = 0;   ///< W: width of "W"
    int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
    int imageWidth = 0, imageHeight = 0;
    double chainageLeft = 0.0, chainageRight = 0.0;
    double elevationBottom = 0.0, elevationTop = 0.0;
    int boxLeft = 0, boxRight = 0, boxTop = 0, boxBottom = 0;

    int px(double chainage) const { return pixelPosition((chainage - chainageLeft) * pixelsPerMetreX); }
    int py(double elevation) const { return pixelPosition((elevationTop - elevation) * pixelsPerMetreZ); }
    int pyRounded(double elevation) const { return pixelPositionRounded((elevationTop - elevation) * pixelsPerMetreZ); }
};

}  // namespace orma::ui
