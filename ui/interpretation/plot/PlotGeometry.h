#pragma once
// Layout and scales of the bilogarithmic plot, and the mapping between data
// (resistivity horizontally, AB/2 or depth vertically, both on decimal
// logarithms) and image pixels.

namespace orma::ui {

struct PlotGeometry {
    int imageWidth = 0, imageHeight = 0;
    int textHeight = 0;  ///< height of "W" in the canvas font
    int charWidth = 0;   ///< width of "W" in the canvas font
    int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;  ///< the plot rectangle
    float rMin = 0, rMax = 0;  ///< log10 resistivity across
    float aMin = 0, aMax = 0;  ///< log10 AB/2 down, aMin at the top
    float sx = 0, sy = 0;      ///< pixels per decade
    float rMinPow = 0, rMaxPow = 0, aMinPow = 0, aMaxPow = 0;
    bool rangesValid = false;
    /// The pixel scales have been computed at least once; a locked scale keeps
    /// them, but a plot that never had any still gets a first set.
    bool scalesValid = false;
    int marginPercent = 20;
    /// Height kept free below the plot for the window's buttons.
    int bottomReserve = 0;

    // Truncating mapping, for grid lines, crosses, the model and text.
    int xOf(double rho) const;  ///< undefined for rho <= 0: callers skip those
    int yOf(double a) const;
    int xOfLog(double logRho) const;
    int yOfLog(double logA) const;

    // Float mapping with the untruncated vertical scale, for curve vertices.
    double xOfLogExact(double logRho) const { return (logRho - rMin) * sx + x0; }
    double yOfLogExact(double logA) const { return (logA - aMin) * sy + y0; }

    // Inverse mapping of a cursor position.
    double rhoAt(int px) const;
    double ab2At(int py) const;

    bool insidePlot(int px, int py) const { return px >= x0 && px <= x1 && py >= y0 && py <= y1; }
};

/// Plot rectangle and pixel scales from the margins and ranges; an empty or
/// negative range becomes one decade. rMax and aMax are moved to what the
/// plot rectangle really shows.
void computeGeometry(PlotGeometry& g);

}  // namespace orma::ui
