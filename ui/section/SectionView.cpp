#include "ui/section/SectionView.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "ui/platform/Canvas.h"
#include "ui/platform/NumberText.h"
#include "ui/section/SectionDepthRanges.h"

namespace orma::ui {

namespace {

constexpr Colour kTerrainGreen = 0x008000;  // RGB(0, 128, 0)
constexpr Colour kSelectedYellow = 0x00FFFF;
constexpr Colour kSelectedBlue = 0xFF0000;  // RGB(0, 0, 255)

/// Ranges of a profile without points, so that its frame still has a size.
constexpr double kEmptyChainageRange = 100.0;
constexpr double kEmptyElevationRange = 10.0;

/// An image larger than this is cut (a scale typed by mistake must not ask
/// for gigabytes).
constexpr double kMaxImageSide = 1e6;

}  // namespace

std::string fixedText(double value, int decimals) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "?";
    return shownNumber(std::string(buffer, result.ptr));
}

bool pointHasModel(const VesPoint& point) {
    if (point.MDLmx < 0 || point.MDLmx >= kMaxPointLayers) return false;
    for (int m = 0; m <= point.MDLmx; ++m) {
        const float rho = std::fabs(point.resistivity[static_cast<std::size_t>(m)]);
        if (!(rho > 0.0f) || !std::isfinite(rho)) return false;
    }
    return true;
}

SectionView::SectionView(Canvas& canvas, const VesDatabase& db, const SectionDisplay& display)
    : canvas_(canvas), db_(db), display_(display) {}

std::string SectionView::title() const {
    const Locality* locality = db_.activeLocality();
    const Profile* profile = db_.activeProfile();
    return "locality name: " + (locality ? locality->name : std::string()) +
           " - profile: " + (profile ? profile->name : std::string());
}

std::string SectionView::pointLabel(const VesPoint& point) const {
    std::string label = display_.labels.chainageAlongTerrain ? fixedText(std::fabs(point.terrainChainage), 0)
                                                      : fixedText(std::fabs(point.profileChainage), 1);
    const Profile* profile = db_.activeProfile();
    if (display_.labels.profileNamePrefix && profile != nullptr) label = profile->name + label;
    return label;
}

void SectionView::computeGeometry(const Profile* profile) {
    SectionGeometry& g = geometry_;
    double minChainage = 9999999.0, maxChainage = -9999999.0;
    double minElevation = 9999999.0, maxElevation = -9999999.0;
    const bool empty = profile == nullptr || profile->points.empty();
    if (empty) {
        minChainage = 0.0;
        maxChainage = kEmptyChainageRange;
        minElevation = 0.0;
        maxElevation = kEmptyElevationRange;
    } else {
        for (const VesPoint& p : profile->points) {
            minChainage = std::min<double>(minChainage, p.profileChainage);
            maxChainage = std::max<double>(maxChainage, p.profileChainage);
            minElevation = std::min<double>(minElevation, p.z);
            maxElevation = std::max<double>(maxElevation, p.z);
            for (int m = 0; m < p.MDLmx; ++m) {
                const double z = static_cast<double>(p.z) - std::fabs(static_cast<double>(p.depth[m]));
                if (!std::isfinite(z)) continue;
                minElevation = std::min(minElevation, z);
                maxElevation = std::max(maxElevation, z);
            }
        }
    }
    minChainage = std::max<double>(minChainage, display_.minChainage);
    maxChainage = std::min<double>(maxChainage, display_.maxChainage);
    minElevation = std::max<double>(minElevation, display_.minElevation);
    maxElevation = std::min<double>(maxElevation, display_.maxElevation);
    // All points beyond one limit leave the range upside down: show its edge.
    maxChainage = std::max(maxChainage, minChainage);
    maxElevation = std::max(maxElevation, minElevation);

    const double xScale = shownScale(profile ? profile->xScale : kInitialXScale);
    const double zScale = shownScale(profile ? profile->zScale : kInitialZScale);
    g.pixelsPerMetreX = xScale * SectionGeometry::kDotsPerMetre;
    g.pixelsPerMetreZ = zScale * SectionGeometry::kDotsPerMetre;
    g.textHeight = canvas_.textHeight("W");
    g.textWidth = canvas_.textWidth("W");
    const int H = g.textHeight, W = g.textWidth;
    g.marginLeft = g.marginRight = 5 * W;
    g.marginTop = g.marginBottom = 2 * H;
    const double width = std::min((maxChainage - minChainage) * g.pixelsPerMetreX, kMaxImageSide);
    const double height = std::min((maxElevation - minElevation) * g.pixelsPerMetreZ, kMaxImageSide);
    g.imageWidth = static_cast<int>(width) + g.marginLeft + g.marginRight;
    g.imageHeight = static_cast<int>(height) + 2 * H + g.marginTop + g.marginBottom;

    g.chainageLeft = minChainage - g.marginLeft / g.pixelsPerMetreX;
    g.chainageRight = g.chainageLeft + g.imageWidth / g.pixelsPerMetreX;
    g.elevationBottom = minElevation - (H + g.marginBottom) / g.pixelsPerMetreZ;
    g.elevationTop = g.elevationBottom + g.imageHeight / g.pixelsPerMetreZ;

    g.boxLeft = g.marginRight - 2 * W;
    g.boxRight = g.imageWidth - g.marginLeft + 2 * W;
    g.boxTop = g.marginTop;
    g.boxBottom = g.imageHeight - g.marginBottom + H / 2;
}

void SectionView::redrawAll() {
    const Profile* profile = db_.activeProfile();
    computeGeometry(profile);
    if (underlay_ != nullptr) {
        // Rows for the box: the world's bottom goes down, its top stays.
        const int boxRows = underlay_->extraBoxHeight(geometry_);
        if (boxRows > 0) {
            geometry_.imageHeight += boxRows;
            geometry_.boxBottom += boxRows;
            geometry_.elevationBottom -= boxRows / geometry_.pixelsPerMetreZ;
        }
        geometry_.imageHeight += underlay_->extraHeight(geometry_);
    }
    canvas_.fill(kWhite);
    modelsDrawn_ = underlay_ == nullptr || underlay_->onElevationScale();
    axisLabelsRight_ = 0;
    if (underlay_ != nullptr) {
        underlay_->paint(canvas_, geometry_);
        axisLabelsRight_ = underlay_->labelsRight();
    }
    canvas_.setPenWidth(1);
    canvas_.setPenMode(PenMode::Copy);
    canvas_.setTextOpaque(false);

    terrain_.clear();
    if (profile != nullptr && !profile->points.empty()) drawTerrainLine(*profile);
    drawAxisBox();
    canvas_.setFontColour(kBlack);
    drawChainageTicks();
    if (modelsDrawn_) drawElevationTicks();

    if (modelsDrawn_ && display_.depthRangesShown && profile != nullptr) {
        paintDepthRanges(canvas_, geometry_, *profile, display_);
    }

    const std::string heading = title();
    canvas_.setFontColour(kBlack);
    canvas_.textOut(0, 0, heading);
    shownWidth_ = std::max({geometry_.imageWidth, canvas_.textWidth(heading) + geometry_.textWidth,
                            axisLabelsRight_ + 1});

    if (profile != nullptr) {
        for (int k = 0; k < static_cast<int>(profile->points.size()); ++k) drawPoint(k);
    }
}

void SectionView::drawTerrainLine(const Profile& profile) {
    // In order of chainage by repeated selection: each step takes the point
    // with the smallest chainage above the previous one (the first of equal
    // ones); when none is left the previous point is taken again.
    const int count = static_cast<int>(profile.points.size());
    double previous = -1e14;
    int chosen = 0;
    for (int step = 0; step < count; ++step) {
        int next = -1;
        for (int k = 0; k < count; ++k) {
            const double c = profile.points[k].profileChainage;
            if (c > previous && (next < 0 || c < profile.points[next].profileChainage)) next = k;
        }
        if (next >= 0) chosen = next;
        const VesPoint& p = profile.points[chosen];
        previous = p.profileChainage;
        terrain_.emplace_back(geometry_.px(p.profileChainage), geometry_.pyRounded(p.z));
    }
    canvas_.setPenColour(kTerrainGreen);
    canvas_.polyline(terrain_.data(), static_cast<int>(terrain_.size()));
}

void SectionView::drawAxisBox() {
    const SectionGeometry& g = geometry_;
    canvas_.setPenColour(kGrey);
    const QPoint box[] = {{g.boxLeft, g.boxTop}, {g.boxLeft, g.boxBottom}, {g.boxRight, g.boxBottom},
                          {g.boxRight, g.boxTop}};
    canvas_.polyline(box, 4);
}

void SectionView::centredText(int x, int top, const std::string& text) {
    canvas_.textOut(x - canvas_.textWidth(text) / 2, top, text);
}

void SectionView::drawChainageTicks() {
    const SectionGeometry& g = geometry_;
    const int t = SectionGeometry::kTickLength;
    const double maxShown = std::trunc(static_cast<double>(display_.maxChainage));
    const int referenceWidth = canvas_.textWidth(std::to_string(static_cast<long long>(maxShown)));
    static constexpr int kSteps[] = {5, 10, 20, 30, 50, 100, 150, 200, 250, 300, 350, 400, 450, 500};
    double step = 1000.0;
    for (int candidate : kSteps) {
        if (pixelPosition(candidate * g.pixelsPerMetreX) >= referenceWidth) {
            step = candidate;
            break;
        }
    }
    const double first = step * std::trunc((display_.minChainage + 1.0) / step);
    // Ticks left of the box or of the bitmap are skipped in one jump, and the
    // walk ends at the bitmap's edge: what lands on the bitmap is what
    // walking all ticks would draw.
    const int margin = referenceWidth + g.textWidth;
    const double fromChainage = g.chainageLeft + std::max(g.boxLeft, -margin) / g.pixelsPerMetreX;
    const double skip = std::max(0.0, std::floor((fromChainage - first) / step) - 1.0);
    const int end = std::min(g.boxRight, canvas_.width() + margin);
    for (double tick = first + skip * step; tick < maxShown; tick += step) {
        const int x = g.px(tick);
        if (x >= end) break;
        if (x <= g.boxLeft) continue;
        const std::string label = std::to_string(static_cast<long long>(tick));
        centredText(x, g.boxBottom + canvas_.textHeight(label) * 2 / 10, label);
        canvas_.moveTo(x, g.boxBottom - t / 3);
        canvas_.lineTo(x, g.boxBottom + t);
    }
}

void SectionView::drawElevationTicks() {
    const SectionGeometry& g = geometry_;
    const int t = SectionGeometry::kTickLength;
    const int referenceHeight = canvas_.textHeight("1") * 4 / 3;
    static constexpr int kSteps[] = {1, 2, 5, 10, 50};
    double step = 100.0;
    for (int candidate : kSteps) {
        if (pixelPosition(candidate * g.pixelsPerMetreZ) >= referenceHeight) {
            step = candidate;
            break;
        }
    }
    const double first = 10.0 * std::trunc((display_.minElevation + 1.0) * 0.1);
    const double maxShown = std::trunc(static_cast<double>(display_.maxElevation));
    const int margin = 2 * g.textHeight;
    const double fromElevation = g.elevationTop - std::min(g.boxBottom, canvas_.height() + margin) / g.pixelsPerMetreZ;
    const double skip = std::max(0.0, std::floor((fromElevation - first) / step) - 1.0);
    const int end = std::max(g.boxTop, -margin);
    for (double tick = first + skip * step; tick < maxShown; tick += step) {
        const int y = g.py(tick);
        if (y <= end) break;
        if (y >= g.boxBottom) continue;
        const std::string label = std::to_string(static_cast<long long>(tick));
        const int w = canvas_.textWidth(label);
        const int h = canvas_.textHeight(label);
        canvas_.textOut(g.boxLeft - w * 13 / 10, y - h / 2, label);
        canvas_.textOut(g.boxRight + w * 3 / 10, y - h / 2, label);
        axisLabelsRight_ = std::max(axisLabelsRight_, g.boxRight + w * 3 / 10 + w);
        canvas_.moveTo(g.boxLeft + t / 3, y);
        canvas_.lineTo(g.boxLeft - t, y);
        canvas_.moveTo(g.boxRight - t / 3, y);
        canvas_.lineTo(g.boxRight + t, y);
    }
}

void SectionView::drawPoint(int k) {
    const Profile* profile = db_.activeProfile();
    if (profile == nullptr || k < 0 || k >= static_cast<int>(profile->points.size())) return;
    const VesPoint& p = profile->points[k];
    if (!(p.profileChainage > display_.minChainage && p.profileChainage < display_.maxChainage)) return;

    const SectionGeometry& g = geometry_;
    const int s = SectionGeometry::kMarkerSize;
    const bool current = k == db_.currentPoint;
    canvas_.setPenWidth(1);
    canvas_.setPenMode(PenMode::Xor);
    canvas_.setPenColour(current ? kSelectedYellow : kWhite);
    canvas_.setFontColour(current ? kSelectedBlue : kBlack);
    canvas_.setTextOpaque(false);

    const int x = g.px(p.profileChainage);
    const int y = g.py(p.z);
    const QPoint arrow[] = {{x, y - 2 * s}, {x, y}, {x - s / 2, y - s / 2}, {x + s / 2, y - s / 2}, {x, y}};
    canvas_.polyline(arrow, 5);

    const std::string label = pointLabel(p);
    centredText(x, y - 2 * s - canvas_.textHeight(label), label);

    // No model (an imported sounding), or a picture on another vertical
    // scale: no marks and no resistivities (a "0" says nothing).
    const int layers = modelsDrawn_ && pointHasModel(p) ? p.MDLmx + 1 : 0;
    int layerTop = y;
    for (int m = 0; m < layers; ++m) {
        int layerBottom = g.boxBottom;
        if (m < p.MDLmx) {
            layerBottom = g.pyRounded(static_cast<double>(p.z) - std::fabs(static_cast<double>(p.depth[m])));
            canvas_.moveTo(x - s / 2, layerBottom);
            canvas_.lineTo(x + s / 2, layerBottom);
        }
        const std::string rho = fixedText(std::fabs(p.resistivity[m]), 0);
        const int middle = (layerTop + layerBottom) / 2;
        centredText(x, middle - canvas_.textHeight(rho) / 2, rho);
        layerTop = layerBottom;
    }

    canvas_.setPenColour(kGrey);
    const double bar = std::clamp(static_cast<double>(p.ssq) * 100.0, 0.0, static_cast<double>(g.boxBottom - g.boxTop));
    canvas_.moveTo(x, g.boxBottom);
    canvas_.lineTo(x, g.boxBottom - pixelPosition(std::isfinite(bar) ? bar : 0.0));
    canvas_.setPenMode(PenMode::Copy);
}

int SectionView::nearestPoint(int x) const {
    const Profile* profile = db_.activeProfile();
    if (profile == nullptr) return -1;
    int best = -1;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (int k = 0; k < static_cast<int>(profile->points.size()); ++k) {
        const long long distance = std::llabs(static_cast<long long>(geometry_.px(profile->points[k].profileChainage)) - x);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return best;
}

}  // namespace orma::ui
