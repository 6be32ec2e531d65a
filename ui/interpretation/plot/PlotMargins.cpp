#include "ui/interpretation/plot/PlotMargins.h"

#include <algorithm>
#include <cmath>

#include "ui/interpretation/plot/StepLine.h"
#include "ui/interpretation/plot/TextFormat.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

namespace {

/// Values the mouse can reach lie within about half a decade beyond the
/// ranges; the value list keeps room for those too.
constexpr double kReachBeyondRange = 3.0;

int widestAb2Label(const Canvas& canvas, const PlotGeometry& g) {
    // The same labels the grid painter writes along the AB/2 axis.
    int widest = 0;
    for (int decade = -2; decade < g.aMax + 1; ++decade) {
        if (g.aMin < decade && decade < g.aMax) {
            widest = std::max(widest, canvas.textWidth(generalNumber(std::pow(10.0, decade))));
        }
        const double k = std::pow(10.0, decade - 1);
        for (int m = 2; m < 10; ++m) {
            const double c = k * m;
            const double logC = std::log10(c);
            if (!(g.aMin < logC && logC < g.aMax)) continue;
            const FormattedText label = c > 1 ? generalNumber(c) : FormattedText("%.2f", c);
            widest = std::max(widest, canvas.textWidth(label));
        }
    }
    return widest;
}

int widestValueListEntry(const Canvas& canvas, const PlotGeometry& g, const LayerModel& model) {
    double largestRho = std::pow(10.0, static_cast<double>(g.rMax)) * kReachBeyondRange;
    double largestDepth = std::pow(10.0, static_cast<double>(g.aMax)) * kReachBeyondRange;
    const int n = boundaryCount(model);
    if (model.interfaceCount > 0) {
        for (int k = 0; k <= n; ++k) {
            if (positiveValue(model.resistivity[k])) largestRho = std::max<double>(largestRho, model.resistivity[k]);
            if (k < n && positiveValue(model.depth[k])) largestDepth = std::max<double>(largestDepth, model.depth[k]);
        }
    }
    // Both are finite: a float's largest value, times a small factor.
    const int rho = g.charWidth + canvas.textWidth(FormattedText("%.1f", largestRho));
    const int depth = 2 + canvas.textWidth(FormattedText(" -%.2f-", largestDepth));
    const int heading = 2 + canvas.textWidth(" -Dp.- [m]");
    return std::max({rho, depth, heading, canvas.textWidth("[Ohm.m]") + 1}) + 2;
}

}  // namespace

void sizeMargins(PlotGeometry& g, const Canvas& canvas, const LayerModel& model) {
    const int cw = g.charWidth;
    const int th = g.textHeight;
    // Axis titles at cw/5, then a gap, then the labels ending one cw left of the frame.
    const int titles = std::max({canvas.textWidth("AB"), canvas.textWidth("/2"), canvas.textWidth("[m]")});
    const int labelsNeed = cw / 5 + titles + cw / 2 + widestAb2Label(canvas, g) + cw;
    g.marginLeft = std::max(4 * cw, labelsNeed);
    g.marginRight = std::max(4 * cw, widestValueListEntry(canvas, g, model));
    g.marginTop = 2 * th;
    // A scale label at the bottom of the frame reaches half a text height
    // below it and must stay clear of the buttons in the bottom-left corner.
    g.marginBottom = std::max(2 * th, g.bottomReserve + th / 2 + 2);
}

}  // namespace orma::ui
