// Speed of the interpretation plot: every change redraws the whole picture,
// and every mouse move of a model drag erases and redraws the XOR model and
// computed curve around a forward computation.
#include <benchmark/benchmark.h>

#include <memory>

#include <QByteArray>
#include <QGuiApplication>

#include "bench/GuiApplication.h"
#include "core/Forward.h"
#include "tests/ui/PlotSoundingFixture.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {
namespace {

/// benchmark_main owns main(): the application object is made on first use.
using orma::bench::ensureGuiApplication;

struct PlotScene {
    PlotScene() {
        ensureGuiApplication();
        testing::loadFourBranchSounding(sounding);
        testing::setFourLayerModel(sounding);
        computeForward(sounding);
        sounding.computedCurveShown = true;
        plot.fitPlotRanges();
        plot.redrawAll();
    }
    Canvas canvas{1344, 1080};
    Sounding sounding;
    DisplaySettings settings;
    InterpretationPlot plot{canvas, sounding, settings};
};

void BM_PlotFullRedraw(benchmark::State& state) {
    auto scene = std::make_unique<PlotScene>();
    for (auto _ : state) {
        scene->plot.redrawAll();
        benchmark::DoNotOptimize(scene->canvas.image().constBits());
    }
}
BENCHMARK(BM_PlotFullRedraw)->Unit(benchmark::kMillisecond);

void BM_PlotModelDragStep(benchmark::State& state) {
    auto scene = std::make_unique<PlotScene>();
    InterpretationPlot& plot = scene->plot;
    Sounding& s = scene->sounding;
    plot.styleSource = [] { return ModelLineStyle{1, -1, false}; };
    int step = 0;
    for (auto _ : state) {
        plot.toggleModelLines();     // erase with the old value
        plot.toggleComputedCurve();  // erase the old curve
        s.model.resistivity[1] = 60.0f + static_cast<float>(step++ % 50);
        computeForward(s);
        plot.toggleModelLines();
        plot.toggleComputedCurve();
    }
    benchmark::DoNotOptimize(scene->canvas.image().constBits());
}
BENCHMARK(BM_PlotModelDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orma::ui
