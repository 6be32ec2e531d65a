#pragma once
// What every painter of the interpretation plot works with.

#include "core/Sounding.h"
#include "io/DisplaySettings.h"
#include "ui/interpretation/plot/CurveDrawer.h"
#include "ui/interpretation/plot/PlotGeometry.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

struct PlotContext {
    Canvas& canvas;
    const Sounding& sounding;
    const DisplaySettings& settings;
    const PlotGeometry& g;
    CurveDrawer& drawer;

    SmoothingOptions smoothing() const {
        return {settings.smoothingOn, settings.smoothingOrder, settings.smoothingResolution};
    }
    int gridSpan() const { return sounding.maxGridIndex - sounding.minGridIndex; }
    /// The curve's grid range, kept inside the grid tables.
    int firstGridIndex() const { return sounding.minGridIndex < 0 ? 0 : sounding.minGridIndex; }
    int lastGridIndex() const {
        return sounding.maxGridIndex > kGridPoints - 1 ? kGridPoints - 1 : sounding.maxGridIndex;
    }
    /// Drawing of transient XOR elements stays inside the plot frame, so they
    /// never meet the texts in the margins.
    void clipToPlot() const { canvas.setClipRect(g.x0, g.y0, g.x1, g.y1); }
};

}  // namespace orma::ui
