#include "ui/interpretation/plot/InterpretationPlot.h"

#include "core/Forward.h"
#include "ui/interpretation/plot/CursorPainter.h"
#include "ui/interpretation/plot/EquivalentBandPainter.h"
#include "ui/interpretation/plot/CurvePainter.h"
#include "ui/interpretation/plot/GridPainter.h"
#include "ui/interpretation/plot/ModelPainter.h"
#include "ui/interpretation/plot/PlotContext.h"
#include "ui/interpretation/plot/PlotMargins.h"
#include "ui/interpretation/plot/PlotRanges.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

InterpretationPlot::InterpretationPlot(Canvas& canvas, Sounding& sounding, const DisplaySettings& settings)
    : canvas_(canvas), sounding_(sounding), settings_(settings) {}

PlotContext InterpretationPlot::context() { return {canvas_, sounding_, settings_, geometry_, drawer_}; }

ModelLineStyle InterpretationPlot::lineStyle() const {
    if (styleSource) return styleSource();
    return {};
}

bool InterpretationPlot::curvePresent() const { return sounding_.curveLoaded; }

bool InterpretationPlot::equivalentBandShown() const { return band_ != nullptr && band_->belongsTo(sounding_.model); }

void InterpretationPlot::fitPlotRanges() {
    ui::fitPlotRanges(geometry_, canvas_, sounding_, settings_.scaleLocked);
}

void InterpretationPlot::drawBasePicture() {
    if (!curvePresent()) return;
    if (!settings_.scaleLocked || !geometry_.scalesValid) {
        geometry_.imageWidth = canvas_.width();
        geometry_.imageHeight = canvas_.height();
        // Ranges change by margin clicks and fits too: the labels of the new
        // ranges and the model's values decide the margins.
        if (geometry_.textHeight > 0) sizeMargins(geometry_, canvas_, sounding_.model);
        computeGeometry(geometry_);
    }
    canvas_.fill(kWhite);
    valueList_.valid = false;
    if (canvasCleared) canvasCleared();
    canvas_.setPenMode(PenMode::Copy);
    if (equivalentBandShown()) paintEquivalentBand(context(), *band_);
    paintGrid(canvas_, geometry_);
    paintFrame(canvas_, geometry_);
    paintMeasuredBranches(context());
    plotDrawn = true;
}

void InterpretationPlot::drawCompositeCurve() {
    if (!curvePresent()) return;
    paintCompositeCurve(context());
}

void InterpretationPlot::redrawAll() {
    if (!curvePresent()) return;
    drawBasePicture();
    drawCompositeCurve();
    // The canvas is clean: the model and the computed curve are drawn once.
    modelShown = false;
    toggleModelLines();
    if (sounding_.computedCurveShown) toggleComputedCurve();
    if (showSectionOnce) showSectionOnce();
}

void InterpretationPlot::toggleModelLines() { toggleModelLines(lineStyle()); }

void InterpretationPlot::toggleModelLines(const ModelLineStyle& style) {
    if (!curvePresent()) return;
    const PlotContext ctx = context();
    if (!modelDrawable(ctx)) return;
    xorModelLines(ctx, style);
    modelShown = !modelShown;
    if (modelShown) paintModelValueList(ctx, style, valueList_);
}

void InterpretationPlot::toggleComputedCurve() {
    if (!curvePresent()) return;
    const PlotContext ctx = context();
    xorComputedCurve(ctx);
    sounding_.ssq = computeSsq(sounding_);
    paintSsqText(ctx, sounding_.ssq, ssqNote.c_str());
}

void InterpretationPlot::drawModelLabels() {
    if (!curvePresent() || !modelShown || !modelLabelsWanted) return;
    if (modelLabelsDrawn) redrawAll();
    paintModelLabels(context(), lineStyle());
    modelLabelsDrawn = true;
}

void InterpretationPlot::drawComputedValues() {
    if (!curvePresent() || !modelShown) return;
    paintComputedValues(context());
}

void InterpretationPlot::drawCrosshair(int px, int py) {
    if (!curvePresent()) return;
    xorCrosshair(canvas_, geometry_, px, py);
}

void InterpretationPlot::drawCursorStatus(int px, int py) {
    if (!curvePresent()) return;
    paintCursorStatus(canvas_, geometry_, px, py);
}

void InterpretationPlot::drawEditedCurvePoint(int k) {
    if (!curvePresent()) return;
    paintEditedCurvePoint(context(), k);
}

bool InterpretationPlot::widenRangesToModel() {
    return ui::widenRangesToModel(geometry_, sounding_.model, settings_.scaleLocked);
}

void InterpretationPlot::drawCurve(const CurveVertex* vertices, int count) {
    const PlotContext ctx = context();
    drawer_.draw(canvas_, vertices, count, ctx.smoothing(), ctx.gridSpan());
}

}  // namespace orma::ui
