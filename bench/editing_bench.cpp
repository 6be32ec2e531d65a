// Speed of mouse editing on the interpretation plot: a hover step that
// changes the selected segment (the model erased with the old selection and
// drawn with the new one) and a drag step of a 30-layer model over a curve of
// 99 grid points (model erased, boundary moved, drawn again, forward
// computation with the computed curve erased and drawn). Targets: hover step
// under 0.2 ms, drag step under 1 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>

#include "bench/GuiApplication.h"
#include "core/BranchShift.h"
#include "core/Forward.h"
#include "core/PointProcessing.h"
#include "tests/ui/PlotSoundingFixture.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

using orma::bench::ensureGuiApplication;

/// What the window does for the editor, on a plot without a window.
class PlotSurface : public EditorSurface {
public:
    PlotSurface(InterpretationPlot& plot, Sounding& sounding) : plot_(plot), sounding_(sounding) {}
    ModelEditor* editor = nullptr;

    bool modelShown() const override { return plot_.modelShown; }
    bool plotDrawn() const override { return plot_.plotDrawn; }
    bool scaleLocked() const override { return false; }
    void toggleModelLines(const Selection& style) override {
        plot_.toggleModelLines({style.layer, style.boundary, editor->state().drawing()});
    }
    void redrawAll() override { plot_.redrawAll(); }
    void removeComputedCurve() override {
        if (!sounding_.computedCurveShown) return;
        plot_.toggleComputedCurve();
        sounding_.computedCurveShown = false;
    }
    void runForward() override {
        removeComputedCurve();
        if (computeForward(sounding_) != kSuccess) return;
        plot_.toggleComputedCurve();
        sounding_.computedCurveShown = true;
    }
    void toggleCrosshair(int x, int y) override { plot_.drawCrosshair(x, y); }
    void drawCursorStatus(int x, int y) override { plot_.drawCursorStatus(x, y); }
    void markEditedCurvePoint(int k) override { plot_.drawEditedCurvePoint(k); }
    void setCursorShape(CursorShape) override {}
    void showFitButtons(bool) override {}
    void message(const std::string&) override {}
    void reprocessEnteredCurve() override {}
    void enterNewCurve() override {}
    void modelChanged() override {}
    void keepModelForUndo() override {}

private:
    InterpretationPlot& plot_;
    Sounding& sounding_;
};

struct EditingScene {
    explicit EditingScene(bool thirtyLayers) {
        ensureGuiApplication();
        if (thirtyLayers) loadThirtyLayersOnNinetyNinePoints();
        else {
            testing::loadFourBranchSounding(sounding);
            testing::setFourLayerModel(sounding);
        }
        computeForward(sounding);
        sounding.computedCurveShown = true;
        plot.styleSource = [this] {
            const EditState& s = editor.state();
            return ModelLineStyle{s.active.layer, s.active.boundary, s.drawing()};
        };
        plot.fitPlotRanges();
        plot.redrawAll();
        surface.editor = &editor;
    }

    /// A 30-layer earth and its own curve sampled on all 99 grid points.
    void loadThirtyLayersOnNinetyNinePoints() {
        LayerModel& m = sounding.model;
        m.interfaceCount = kMaxLayers - 1;
        for (int k = 0; k < kMaxLayers; ++k) {
            m.resistivity[k] = static_cast<float>(20.0 * std::pow(10.0, std::sin(k * 0.7)));
            m.depth[k] = static_cast<float>(std::pow(10.0, 0.2 + 0.3 * k));
        }
        m.depth[kMaxLayers - 1] = kHalfSpaceDepth;
        sounding.minGridIndex = 0;
        sounding.maxGridIndex = kGridPoints - 1;
        computeForward(sounding);
        PointTable& p = sounding.points;
        for (int k = 0; k < kGridPoints; ++k) {
            p.ab2[k] = static_cast<float>(abGridValue(k));
            p.rhoA[k] = sounding.computedRho[k];
            p.mn2[k] = 1;
            p.branch[k] = 1;
        }
        p.pointCount = kGridPoints;
        std::vector<std::string> warnings;
        postProcessPoints(sounding, CurveSource::Gef, warnings);
        resetForNewCurve(sounding);
        shiftBranches(sounding, 2);
        const LayerModel earth = m;
        m = earth;  // resetForNewCurve dropped the model: put it back
        m.interfaceCount = kMaxLayers - 1;
    }

    MouseInput at(int x, int y, bool leftHeld = false) const {
        MouseInput in;
        in.x = x;
        in.y = y;
        in.leftHeld = leftHeld;
        return in;
    }

    Canvas canvas{1344, 1080};
    Sounding sounding;
    DisplaySettings settings;
    InterpretationPlot plot{canvas, sounding, settings};
    PlotSurface surface{plot, sounding};
    ModelEditor editor{sounding, plot.geometry(), surface};
};

void BM_EditingHoverStepChangingTheSelection(benchmark::State& state) {
    auto scene = std::make_unique<EditingScene>(false);
    const PlotGeometry& g = scene->plot.geometry();
    const LayerModel& m = scene->sounding.model;
    const int boundaryX = (g.xOf(m.resistivity[0]) + g.xOf(m.resistivity[1])) / 2;
    const int boundaryY = g.yOf(m.depth[0]);
    const int layerX = g.xOf(m.resistivity[1]);
    const int layerY = (g.yOf(m.depth[0]) + g.yOf(m.depth[1])) / 2;
    bool onBoundary = false;
    for (auto _ : state) {
        onBoundary = !onBoundary;
        scene->editor.mouseMove(onBoundary ? scene->at(boundaryX, boundaryY) : scene->at(layerX, layerY));
    }
    benchmark::DoNotOptimize(scene->canvas.image().constBits());
    if (!scene->editor.state().active.any()) state.SkipWithError("the hover selected nothing");
}
BENCHMARK(BM_EditingHoverStepChangingTheSelection)->Unit(benchmark::kMicrosecond);

void BM_EditingDragStepThirtyLayers(benchmark::State& state) {
    auto scene = std::make_unique<EditingScene>(true);
    const PlotGeometry& g = scene->plot.geometry();
    const LayerModel& m = scene->sounding.model;
    const int k = 15;
    const int x = (g.xOf(m.resistivity[k]) + g.xOf(m.resistivity[k + 1])) / 2;
    const int y = g.yOf(m.depth[k]);
    scene->editor.mouseMove(scene->at(x, y));
    if (scene->editor.state().active.boundary != k) {
        state.SkipWithError("boundary 15 was not selected");
        return;
    }
    MouseInput press = scene->at(x, y, true);
    press.button = MouseButton::Left;
    scene->editor.mouseDown(press);
    // Up and down within the boundary's room, a few pixels per step.
    const int top = g.yOf(m.depth[k - 1]) + 2;
    const int bottom = g.yOf(m.depth[k + 1]) - 2;
    int step = 0;
    for (auto _ : state) {
        const int span = bottom - top;
        const int phase = step++ % (2 * span);
        scene->editor.mouseMove(scene->at(x, top + (phase < span ? phase : 2 * span - phase), true));
    }
    benchmark::DoNotOptimize(scene->canvas.image().constBits());
}
BENCHMARK(BM_EditingDragStepThirtyLayers)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orma::ui
