// Speed of the section window: the full redraw of a long profile, and one
// selection (the XOR move of the highlight, then the point loaded into the
// interpretation window: re-processed, its curve computed, the plot redrawn).
#include <benchmark/benchmark.h>

#include <memory>

#include <QByteArray>
#include <QGuiApplication>

#include "bench/GuiApplication.h"
#include "core/Forward.h"
#include "core/PointProcessing.h"
#include "tests/support/VesDatabaseBuilders.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/Canvas.h"
#include "ui/section/SectionView.h"

namespace orma::ui {
namespace {

using orma::bench::ensureGuiApplication;

/// A 200-point profile, 10 layers per point, on a bitmap twice a
/// 1280 x 1024 screen; beside it the interpretation plot.
struct SectionScene {
    SectionScene() {
        ensureGuiApplication();
        db = test::makeDatabase(1, 1, 200, 30, 10);
        Profile& profile = db.localities[0].profiles[0];
        profile.xScale = 8.5e-5f;  // 2000 m on about 2400 pixels
        profile.zScale = 3e-3f;
        db.currentPoint = 0;
        QFont font = Canvas::defaultFont();
        font.setStyleStrategy(QFont::NoAntialias);
        canvas.setFont(font);
        display.resetAfterOpen();
        view.redrawAll();
    }
    VesDatabase db;
    SectionDisplay display;
    Canvas canvas{2560, 2048};
    SectionView view{canvas, db, display};
    Canvas plotCanvas{1344, 1080};
    Sounding sounding;
    DisplaySettings settings;
    InterpretationPlot plot{plotCanvas, sounding, settings};
};

void BM_SectionFullRedraw(benchmark::State& state) {
    auto scene = std::make_unique<SectionScene>();
    for (auto _ : state) {
        scene->view.redrawAll();
        benchmark::DoNotOptimize(scene->canvas.image().constBits());
    }
}
BENCHMARK(BM_SectionFullRedraw)->Unit(benchmark::kMillisecond);

void BM_SectionSelection(benchmark::State& state) {
    auto scene = std::make_unique<SectionScene>();
    int next = 1;
    for (auto _ : state) {
        const int previous = scene->db.currentPoint;
        scene->view.drawPoint(previous);
        scene->view.drawPoint(next);
        scene->db.currentPoint = next;
        scene->view.drawPoint(previous);
        scene->view.drawPoint(next);
        loadPointIntoSounding(scene->db.localities[0].profiles[0].points[next], scene->sounding);
        std::vector<std::string> messages;
        reprocessReadings(scene->sounding, messages);
        scene->plot.fitPlotRanges();
        scene->sounding.computedCurveShown = computeForward(scene->sounding) == kSuccess;
        scene->plot.redrawAll();
        benchmark::DoNotOptimize(scene->plotCanvas.image().constBits());
        next = (next + 37) % 200;
    }
}
BENCHMARK(BM_SectionSelection)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orma::ui
