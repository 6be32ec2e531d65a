#pragma once
// The model editor without a window: a surface that keeps the shown-flags the
// way the plot keeps them, computes the model's curve as the window does,
// takes undo steps into a real ModelHistory, and records every request by
// name. No pixels are drawn.

#include <string>
#include <vector>

#include "core/Forward.h"
#include "ui/interpretation/editing/EditorSurface.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/editing/ModelHistory.h"

namespace orma::ui::test {

class RecordingSurface : public EditorSurface {
public:
    RecordingSurface(Sounding& sounding, ModelHistory& history) : sounding_(sounding), history_(history) {}

    std::vector<std::string> calls;     ///< every request, by name
    std::vector<std::string> messages;  ///< texts shown to the user
    Selection lastStyle;                ///< the selection the model was toggled with last
    bool modelOnCanvas = false;
    bool plotIsDrawn = true;
    bool locked = false;
    bool fitButtonsShown = false;
    int reprocessed = 0;       ///< a mouse-drawn curve processed again
    int newCurveRequests = 0;  ///< double clicks asking for a new curve
    std::vector<int> markedRows;

    bool modelShown() const override { return modelOnCanvas; }
    bool plotDrawn() const override { return plotIsDrawn; }
    bool scaleLocked() const override { return locked; }

    void toggleModelLines(const Selection& style) override {
        calls.emplace_back("toggleModelLines");
        lastStyle = style;
        if (sounding_.curveLoaded && drawable()) modelOnCanvas = !modelOnCanvas;
    }
    void redrawAll() override {
        calls.emplace_back("redrawAll");
        if (!sounding_.curveLoaded) return;
        modelOnCanvas = drawable();
        if (sounding_.computedCurveShown) sounding_.ssq = computeSsq(sounding_);
    }
    void removeComputedCurve() override {
        calls.emplace_back("removeComputedCurve");
        sounding_.computedCurveShown = false;
    }
    void runForward() override {
        calls.emplace_back("runForward");
        sounding_.computedCurveShown = false;
        if (computeForward(sounding_) == kSuccess)
            sounding_.computedCurveShown = true;
        else
            messages.emplace_back("Forward task unsuccessful");
    }
    void toggleCrosshair(int, int) override { calls.emplace_back("toggleCrosshair"); }
    void drawCursorStatus(int, int) override { calls.emplace_back("drawCursorStatus"); }
    void markEditedCurvePoint(int k) override {
        calls.emplace_back("markEditedCurvePoint");
        markedRows.push_back(k);
    }
    void setCursorShape(CursorShape) override {}
    void showFitButtons(bool shown) override { fitButtonsShown = shown; }
    void message(const std::string& text) override { messages.push_back(text); }
    void reprocessEnteredCurve() override { ++reprocessed; }
    void enterNewCurve() override { ++newCurveRequests; }
    void modelChanged() override {
        calls.emplace_back("modelChanged");
        history_.record(sounding_);
    }
    void keepModelForUndo() override {
        calls.emplace_back("keepModelForUndo");
        history_.keepBeforeChange(sounding_);
    }

private:
    /// What the plot can draw: a first layer and boundary with a place on the axes.
    bool drawable() const {
        const LayerModel& m = sounding_.model;
        return m.interfaceCount >= 1 && m.resistivity[0] > 0 && m.depth[0] > 0;
    }

    Sounding& sounding_;
    ModelHistory& history_;
};

/// A plot of 100 px per decade: 1..1000 ohm.m across (x 50..350), AB/2 and
/// depth 0.1..100 m down (y 20..320).
inline PlotGeometry decadePlot() {
    PlotGeometry g;
    g.imageWidth = 400;
    g.imageHeight = 360;
    g.marginLeft = g.x0 = 50;
    g.marginTop = g.y0 = 20;
    g.x1 = 350;
    g.y1 = 320;
    g.rMin = 0;
    g.rMax = 3;
    g.aMin = -1;
    g.aMax = 2;
    g.sx = g.sy = 100;
    return g;
}

}  // namespace orma::ui::test
