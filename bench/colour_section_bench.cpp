// Speed of the colour views: a full redraw of a 200-point profile with 10
// layers per model filling a 3840 x 2160 bitmap (the section bitmap on a
// 1920 x 1080 screen), in each colour view and, for comparison, drawn
// schematically.
#include <benchmark/benchmark.h>

#include <memory>

#include <QByteArray>
#include <QGuiApplication>

#include "bench/GuiApplication.h"
#include "io/UserDialogs.h"
#include "tests/support/VesDatabaseBuilders.h"
#include "ui/platform/Canvas.h"
#include "ui/section/SectionColours.h"
#include "ui/section/SectionView.h"

namespace orma::ui {
namespace {

using orma::bench::ensureGuiApplication;

/// The colour views ask nothing while painting.
struct NoDialogs : UserDialogs {
    void message(const std::string&) override {}
    std::optional<std::string> inputQuery(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

struct ColourScene {
    explicit ColourScene(ColourView shown) {
        ensureGuiApplication();
        db = test::makeDatabase(1, 1, 200, 30, 10);
        Profile& profile = db.localities[0].profiles[0];
        // Chainages 5..1995 m on about 3700 pixels, elevations 292..306 m
        // on about 2000 (the image fills the bitmap).
        profile.xScale = 1.3e-4f;
        profile.zScale = 7.2e-3f;
        db.currentPoint = 0;
        QFont font = Canvas::defaultFont();
        font.setStyleStrategy(QFont::NoAntialias);
        canvas.setFont(font);
        display.resetAfterOpen();
        colours.setView(shown);
        view.setUnderlay(&colours);
        view.redrawAll();
    }
    VesDatabase db;
    SectionDisplay display;
    NoDialogs dialogs;
    Canvas canvas{3840, 2160};
    SectionView view{canvas, db, display};
    SectionColours colours{db, display, dialogs};
};

void redrawIn(benchmark::State& state, ColourView shown) {
    auto scene = std::make_unique<ColourScene>(shown);
    const SectionGeometry& g = scene->view.geometry();
    state.counters["image_w"] = g.imageWidth;
    state.counters["image_h"] = g.imageHeight;
    for (auto _ : state) {
        scene->view.redrawAll();
        benchmark::DoNotOptimize(scene->canvas.image().constBits());
    }
}

void BM_ColourResistivitySectionRedraw(benchmark::State& state) { redrawIn(state, ColourView::Resistivity); }
BENCHMARK(BM_ColourResistivitySectionRedraw)->Unit(benchmark::kMillisecond);

void BM_ColourPseudoSectionRedraw(benchmark::State& state) { redrawIn(state, ColourView::PseudoSection); }
BENCHMARK(BM_ColourPseudoSectionRedraw)->Unit(benchmark::kMillisecond);

void BM_SchematicSectionRedrawOnScreenBitmap(benchmark::State& state) { redrawIn(state, ColourView::Schematic); }
BENCHMARK(BM_SchematicSectionRedrawOnScreenBitmap)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orma::ui
