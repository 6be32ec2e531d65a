#pragma once
// The bilogarithmic curve and model plot of the interpretation window: one
// object that knows the canvas, the sounding and the display settings and
// draws every element of the plot onto the canvas.
//
// XOR elements (model step line, computed curve, crosshair) are removed by
// drawing them a second time with unchanged data. The flags below record what
// is on the canvas; `computedCurveShown` lives in the sounding and is set and
// cleared by whoever computes the curve (toggleComputedCurve leaves it alone).

#include <functional>
#include <memory>
#include <string>

#include "core/Sounding.h"
#include "io/DisplaySettings.h"
#include "ui/interpretation/plot/CurveDrawer.h"
#include "ui/interpretation/plot/ModelPainter.h"
#include "ui/interpretation/plot/PlotGeometry.h"

namespace orma::ui {

class Canvas;
struct EquivalentBandPicture;
struct PlotContext;

class InterpretationPlot {
public:
    InterpretationPlot(Canvas& canvas, Sounding& sounding, const DisplaySettings& settings);

    PlotGeometry& geometry() { return geometry_; }
    const PlotGeometry& geometry() const { return geometry_; }

    /// Ranges for a freshly loaded sounding (also measures the font, reads the
    /// canvas size and stores the point logarithms). With the scale locked the
    /// ranges stay.
    void fitPlotRanges();
    /// Clears the canvas and draws everything: base picture, composite curve,
    /// model, computed curve when shown, then showSectionOnce. Draws nothing
    /// when no curve is loaded.
    void redrawAll();
    /// Geometry, white background, grid and labels, frame, measured branches.
    /// With the scale locked the geometry of the last redraw is kept.
    void drawBasePicture();
    void drawCompositeCurve();
    /// XOR step line of the model (flips modelShown), then the value list
    /// while the model is shown. Without a drawable model nothing happens.
    void toggleModelLines();
    /// The same with an explicit style (the selection the line was drawn
    /// with, to remove it after the selection changed).
    void toggleModelLines(const ModelLineStyle& style);
    /// XOR computed curve, then the fit error of the stored curve is computed
    /// into the sounding and written as "SSQ = ".
    void toggleComputedCurve();
    /// Value labels along the model (transparent); a full redraw first when
    /// labels are already on the canvas.
    void drawModelLabels();
    /// Computed resistivity and AB/2 at each computed point.
    void drawComputedValues();
    void drawCrosshair(int px, int py);
    void drawCursorStatus(int px, int py);
    /// Red segments of every branch to and from its shifted value at grid
    /// row k: the mark of a point just edited by hand.
    void drawEditedCurvePoint(int k);
    /// Pulls the ranges out to the model's depths and resistivities; true when
    /// a range changed (the caller then redraws). False with the scale locked.
    bool widenRangesToModel();

    /// The band of equivalent models of the last global fit (null: none). It
    /// is drawn behind everything by every redraw while it belongs to the
    /// sounding's model.
    void setEquivalentBand(std::shared_ptr<const EquivalentBandPicture> band) { band_ = std::move(band); }
    const EquivalentBandPicture* equivalentBand() const { return band_.get(); }
    /// The band is there and belongs to the model: the next redraw shows it.
    bool equivalentBandShown() const;

    /// Something other than the value list was written over the right
    /// margin: the next model drawing paints the whole list again.
    void forgetValueList() { valueList_.valid = false; }

    /// Draws a curve through float pixel vertices with the smoothing settings.
    void drawCurve(const CurveVertex* vertices, int count);

    bool plotDrawn = false, modelShown = false, modelLabelsWanted = true, modelLabelsDrawn = false;
    /// The selected segment and whether a model is being drawn (the mouse
    /// editing's state); unset, nothing is selected and no drawing runs.
    std::function<ModelLineStyle()> styleSource;
    std::function<void()> showSectionOnce;            // last step of redrawAll, may be empty
    /// Called whenever the canvas is cleared for a redraw: transient marks
    /// such as the crosshair are gone then. May be empty.
    std::function<void()> canvasCleared;
    /// Written after the SSQ value: names the forward computation when it is
    /// not the standard one (empty otherwise).
    std::string ssqNote;

private:
    PlotContext context();
    ModelLineStyle lineStyle() const;
    bool curvePresent() const;

    Canvas& canvas_;
    Sounding& sounding_;
    const DisplaySettings& settings_;
    PlotGeometry geometry_;
    CurveDrawer drawer_;
    ValueListOnCanvas valueList_;
    std::shared_ptr<const EquivalentBandPicture> band_;
};

}  // namespace orma::ui
