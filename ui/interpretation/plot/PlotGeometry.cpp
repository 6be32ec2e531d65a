#include "ui/interpretation/plot/PlotGeometry.h"

#include <cmath>

namespace orma::ui {

int PlotGeometry::xOfLog(double logRho) const { return static_cast<int>((logRho - rMin) * sx) + x0; }

int PlotGeometry::yOfLog(double logA) const {
    // The vertical scale is cut to whole pixels per decade first.
    return static_cast<int>(std::trunc(sy) * (logA - aMin) + y0);
}

int PlotGeometry::xOf(double rho) const { return xOfLog(std::log10(rho)); }

int PlotGeometry::yOf(double a) const { return yOfLog(std::log10(a)); }

double PlotGeometry::rhoAt(int px) const { return std::pow(10.0, (px - marginLeft) / static_cast<double>(sx) + rMin); }

double PlotGeometry::ab2At(int py) const { return std::pow(10.0, (py - marginTop) / static_cast<double>(sy) + aMin); }

void computeGeometry(PlotGeometry& g) {
    g.x0 = g.marginLeft;
    g.x1 = g.imageWidth - g.marginRight;
    g.y0 = g.marginTop;
    g.y1 = g.imageHeight - g.marginBottom;
    float dr = g.rMax - g.rMin;
    if (!(dr > 0)) dr = 1;
    float da = g.aMax - g.aMin;
    if (!(da > 0)) da = 1;
    g.sx = static_cast<float>(g.imageWidth - g.marginLeft - g.marginRight) / dr;
    g.sy = static_cast<float>(g.imageHeight - g.marginBottom - g.marginTop) / da;
    // A window smaller than its margins still gets usable (positive) scales.
    if (!(g.sx > 0)) g.sx = 1;
    if (!(g.sy > 0)) g.sy = 1;
    g.rMax = g.rMin + static_cast<float>(g.x1 - g.x0) / g.sx;
    g.aMax = g.aMin + static_cast<float>(g.y1 - g.y0) / g.sy;
    g.rMinPow = std::pow(10.0f, g.rMin);
    g.rMaxPow = std::pow(10.0f, g.rMax);
    g.aMinPow = std::pow(10.0f, g.aMin);
    g.aMaxPow = std::pow(10.0f, g.aMax);
    g.scalesValid = true;
}

}  // namespace orma::ui
