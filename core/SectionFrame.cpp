#include "core/SectionFrame.h"

#include <algorithm>
#include <cmath>

namespace orma {
namespace {

constexpr double kDotsPerMetre = 360.0 * 39.37007874;
constexpr double kSmallestScale = 1e-6;  // the section's smallest shown scale
constexpr double kMaxImageSide = 1e6;

}  // namespace

SectionRange sectionRange(const Profile& profile, const SectionLimits& limits) {
    SectionRange r{9999999.0, -9999999.0, 9999999.0, -9999999.0};
    for (const VesPoint& p : profile.points) {
        r.minChainage = std::min<double>(r.minChainage, p.profileChainage);
        r.maxChainage = std::max<double>(r.maxChainage, p.profileChainage);
        r.minElevation = std::min<double>(r.minElevation, p.z);
        r.maxElevation = std::max<double>(r.maxElevation, p.z);
        for (int m = 0; m < p.MDLmx; ++m) {
            const double z = static_cast<double>(p.z) - std::fabs(static_cast<double>(p.depth[m]));
            if (!std::isfinite(z)) continue;
            r.minElevation = std::min(r.minElevation, z);
            r.maxElevation = std::max(r.maxElevation, z);
        }
    }
    r.minChainage = std::max<double>(r.minChainage, limits.minChainage);
    r.maxChainage = std::min<double>(r.maxChainage, limits.maxChainage);
    r.minElevation = std::max<double>(r.minElevation, limits.minElevation);
    r.maxElevation = std::min<double>(r.maxElevation, limits.maxElevation);
    r.maxChainage = std::max(r.maxChainage, r.minChainage);
    r.maxElevation = std::max(r.maxElevation, r.minElevation);
    return r;
}

std::optional<double> fittedScale(double pointsSpan, double imageSpan, double pixels, double dotsPerMetre) {
    if (!(pointsSpan > 0.0) || !(imageSpan > 0.0) || !(pixels > 0.0) || !(dotsPerMetre > 0.0)) return std::nullopt;
    const double scale = pixels / imageSpan / dotsPerMetre;
    if (!std::isfinite(scale)) return std::nullopt;
    return std::min(scale, kLargestFittedScale);
}

ExportFrame exportFrame(const Profile& profile, const SectionLimits& limits, int textHeight) {
    const SectionRange r = sectionRange(profile, limits);
    const double pixelsPerMetreZ = std::max(std::fabs(static_cast<double>(profile.zScale)), kSmallestScale) *
                                   kDotsPerMetre;
    const int H = textHeight;
    // As the section image: 2H margins at top and bottom, and 2H more for
    // the labels, half of it below the lowest elevation.
    const double height = std::min((r.maxElevation - r.minElevation) * pixelsPerMetreZ, kMaxImageSide);
    const int imageHeight = static_cast<int>(height) + 2 * H + 2 * H + 2 * H;
    ExportFrame f;
    f.cmin = r.minChainage;
    f.cmax = r.maxChainage;
    f.zB = r.minElevation - (H + 2 * H) / pixelsPerMetreZ;
    f.zT = f.zB + imageHeight / pixelsPerMetreZ;
    return f;
}

}  // namespace orma
