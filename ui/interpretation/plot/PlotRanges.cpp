#include "ui/interpretation/plot/PlotRanges.h"

#include <algorithm>
#include <cmath>

#include "core/AbGrid.h"
#include "ui/interpretation/plot/PlotMargins.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

namespace {

/// Moves a lower limit down (or an upper limit up) by `percent` of its value.
float widenOutward(float limit, int percent, bool lower) {
    const bool shrinksMagnitude = (limit >= 0) == lower;
    return limit * static_cast<float>(shrinksMagnitude ? 100 - percent : 100 + percent) / 100.0f;
}

/// Only positive, finite values have a logarithm that can bound a range.
bool usable(float value) { return value > 0 && std::isfinite(value); }

}  // namespace

void fitPlotRanges(PlotGeometry& g, const Canvas& canvas, Sounding& sounding, bool scaleLocked) {
    g.textHeight = canvas.textHeight("W");
    g.charWidth = canvas.textWidth("W");
    g.imageWidth = canvas.width();
    g.imageHeight = canvas.height();
    if (!scaleLocked) {
        g.rMax = 0;
        g.aMax = 0;
        g.rMin = 4;
        g.aMin = -0.275f;
    }

    PointTable& pts = sounding.points;
    const int count = std::clamp(pts.pointCount, 0, kMaxPoints);
    for (int s = 0; s < count; ++s) {
        if (!usable(pts.ab2[s]) || !usable(pts.rhoA[s])) continue;
        pts.logAb2[s] = std::log10(static_cast<double>(pts.ab2[s]));
        pts.logRhoA[s] = std::log10(static_cast<double>(pts.rhoA[s]));
        if (scaleLocked) continue;
        g.aMax = std::max(g.aMax, static_cast<float>(pts.logAb2[s]));
        g.rMax = std::max(g.rMax, static_cast<float>(pts.logRhoA[s]));
        g.rMin = std::min(g.rMin, static_cast<float>(pts.logRhoA[s]));
    }

    const LayerModel& m = sounding.model;
    if (!scaleLocked && m.interfaceCount > 0) {
        const int n = std::min(m.interfaceCount, kMaxLayers - 1);
        for (int k = 0; k <= n; ++k) {
            if (usable(m.resistivity[k])) {
                const float r = std::log10(m.resistivity[k]);
                g.rMax = std::max(g.rMax, r);
                g.rMin = std::min(g.rMin, r);
            }
            if (k < n && usable(m.depth[k])) {
                const float d = std::log10(m.depth[k]);
                g.aMax = std::max(g.aMax, d);
                g.aMin = std::min(g.aMin, d);
            }
        }
    }

    if (!scaleLocked) {
        const int p = g.marginPercent;
        g.rMin = widenOutward(g.rMin, p, true);
        g.rMax = widenOutward(g.rMax, p, false);
        g.aMin = widenOutward(g.aMin, p / 2, true);
        // One grid step below the largest spacing: its reading stays off the
        // bottom border, and the next spacing of a curve being typed shows.
        g.aMax += static_cast<float>(kGridStep);
    }
    // The margins hold the labels of these ranges.
    sizeMargins(g, canvas, sounding.model);
    g.rangesValid = true;
}

bool widenRangesToModel(PlotGeometry& g, const LayerModel& model, bool scaleLocked) {
    if (scaleLocked || model.interfaceCount <= 0) return false;
    const float before[4] = {g.rMin, g.rMax, g.aMin, g.aMax};
    const int n = std::min(model.interfaceCount, kMaxLayers - 1);
    for (int i = 0; i < n; ++i) {
        if (!usable(model.depth[i])) continue;
        const float d = std::log10(model.depth[i]);
        g.aMax = std::max(g.aMax, d);
        g.aMin = std::min(g.aMin, d);
    }
    for (int i = 0; i <= n; ++i) {
        if (!usable(model.resistivity[i])) continue;
        const float r = std::log10(model.resistivity[i]);
        g.rMax = std::max(g.rMax, r);
        g.rMin = std::min(g.rMin, r);
    }
    return before[0] != g.rMin || before[1] != g.rMax || before[2] != g.aMin || before[3] != g.aMax;
}

}  // namespace orma::ui
