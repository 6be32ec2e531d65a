// Model > "Fit globally": the search runs off the window's thread; its best
// model comes in as one undo step with the band of the equivalent models
// behind it (holding every one of them) and their spans in the values
// dialog; Cancel changes nothing; a model changed afterwards loses the band.

#include <QAction>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>

#include <cmath>
#include <cstring>

#include "core/Fit.h"
#include "core/FitWorkspace.h"
#include "ui/interpretation/GlobalFitRunner.h"
#include "ui/interpretation/ParameterRangesDialog.h"
#include "ui/interpretation/plot/EquivalentBandPainter.h"
#include "ui/interpretation/plot/PlotContext.h"
#include "ui/platform/BackgroundTask.h"
#include "ui/platform/StatusLine.h"
#include "support/SyntheticSoundings.h"
#include "window_fixture.h"

namespace orma::ui::test {
namespace {

bool sameBits(const LayerModel& a, const LayerModel& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class WindowGlobalFitTest : public WindowTest {
protected:
    /// The three-branch curve with the K preset (10/100/20 at 1 and 10 m).
    Ttelmorwin& windowWithModel() {
        Ttelmorwin& window = openWindow();
        openGef(window);
        window.loadKTypeModel();
        return window;
    }
    void fitGlobally(Ttelmorwin& window) {
        window.startGlobalFit();
        ASSERT_NE(window.globalFit(), nullptr);
        window.globalFit()->task().waitForFinished();
    }
    /// A noisy H-type curve with a thin conductive layer (only its
    /// conductance is seen: many models fit it about as well), opened with
    /// a rough model of three layers.
    Ttelmorwin& windowWithEquivalentCurve() {
        Ttelmorwin& window = openWindow();
        LayerModel earth;
        earth.interfaceCount = 2;
        earth.resistivity = {120.0f, 8.0f, 400.0f};
        earth.depth = {4.0f, 5.0f, kHalfSpaceDepth};
        std::mt19937 rng(5);
        dialogs_.expectOpen(writeFile("H.GEF", orma::test::syntheticGefText(earth, rng, 0.04)));
        window.openGefFile();
        window.loadHTypeModel();
        return window;
    }
};

TEST_F(WindowGlobalFitTest, TheBestModelComesInAsOneUndoStepWithItsBandAndValueSpans) {
    Ttelmorwin& window = windowWithModel();
    window.menuItem("Dokonvergence1")->trigger();
    const LayerModel before = window.sounding().model;
    // What the ordinary fit reaches from the same model, run until converged.
    Sounding local = window.sounding();
    auto workspace = std::make_unique<FitWorkspace>();
    ComputationOptions converged;
    converged.fitUntilConverged = true;
    fitModel(local, *workspace, converged);
    const std::size_t steps = window.modelHistory().size();

    fitGlobally(window);
    const Sounding& s = window.sounding();
    EXPECT_EQ(s.model.interfaceCount, 2) << "the model's layer count";
    EXPECT_FALSE(sameBits(s.model, before));
    EXPECT_LE(s.ssq, local.ssq * (1 + 1e-6)) << "never worse than the fit from the model itself";
    EXPECT_TRUE(s.computedCurveShown);
    EXPECT_EQ(window.modelHistory().size(), steps + 1) << "one step";
    EXPECT_TRUE(window.plot().equivalentBandShown());
    EXPECT_NE(window.statusLine().fullText().toStdString().find("equivalent models"), std::string::npos);

    // The values dialog: every value with its span over the equivalent models.
    const EquivalentBandPicture* band = window.plot().equivalentBand();
    ASSERT_NE(band, nullptr);
    ParameterRangesDialog* dialog = window.rangesDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), "Equivalent models");
    QTableWidget* table = dialog->table();
    ASSERT_EQ(table->rowCount(), 7);  // rho1, h1, d1, rho2, h2, d2, rho3
    EXPECT_EQ(table->item(2, 0)->text(), "Depth of interface 1 [m]");
    for (int row = 0; row < 7; ++row) {
        const double best = table->item(row, 1)->text().toDouble();
        EXPECT_LE(table->item(row, 2)->text().toDouble(), best * 1.0001) << row;
        EXPECT_GE(table->item(row, 3)->text().toDouble(), best * 0.9999) << row;
    }
    dialog->close();

    // A point stored now keeps each interface's depth range.
    const auto ranges = window.depthRangesOfModel();
    ASSERT_TRUE(ranges.has_value());
    for (int i = 0; i < 2; ++i) {
        EXPECT_LE((*ranges)[i].min, s.model.depth[i]);
        EXPECT_GE((*ranges)[i].max, s.model.depth[i]);
    }

    // Undo: exactly the model of before, and the band is no longer drawn.
    const LayerModel fitted = s.model;
    window.undoModelChange();
    EXPECT_TRUE(sameBits(window.sounding().model, before));
    EXPECT_FALSE(window.plot().equivalentBandShown());
    EXPECT_FALSE(window.depthRangesOfModel().has_value());
    window.redoModelChange();
    EXPECT_TRUE(sameBits(window.sounding().model, fitted));
    EXPECT_TRUE(window.plot().equivalentBandShown()) << "it belongs to this model again";

    // Any other change of the model: the band goes with the next drawing.
    window.optimizeFit();
    window.sounding().model.resistivity[0] *= 1.5f;
    window.computeModelCurve();
    EXPECT_FALSE(window.plot().equivalentBandShown());
}

TEST_F(WindowGlobalFitTest, TheBandHoldsEveryEquivalentModelOnThePlot) {
    Ttelmorwin& window = windowWithEquivalentCurve();
    fitGlobally(window);
    const EquivalentBandPicture* band = window.plot().equivalentBand();
    ASSERT_NE(band, nullptr);
    ASSERT_GE(band->equivalent.models.size(), 2u);
    // The band alone, painted on a white plot of the window's geometry.
    const PlotGeometry& g = window.plot().geometry();
    Canvas canvas(window.canvas().width(), window.canvas().height());
    canvas.fill(kWhite);
    CurveDrawer drawer;
    const PlotContext ctx{canvas, window.sounding(), window.settings(), g, drawer};
    paintEquivalentBand(ctx, *band);
    const QImage& image = canvas.image();
    const auto tinted = [&](int x, int y) { return image.pixel(x, y) != toPixel(kWhite); };
    int probes = 0;
    for (const ModelValues& m : band->equivalent.models) {
        double top = 0.0;
        for (int k = 0; k <= m.interfaceCount; ++k) {
            const double bottom = k < m.interfaceCount ? m.depth[k] : 1e9;
            // Every row of every layer, at the layer's resistivity.
            const int x = g.xOf(m.resistivity[k]);
            const int y0 = std::clamp(top > 0 ? g.yOf(top) : g.y0, g.y0, g.y1);
            const int y1 = std::clamp(g.yOf(bottom), g.y0, g.y1);
            top = bottom;
            if (x < g.x0 || x > g.x1) continue;
            for (int y = y0; y <= y1; ++y, ++probes) ASSERT_TRUE(tinted(x, y)) << "layer " << k << " at row " << y;
        }
    }
    EXPECT_GT(probes, 100);
    // The equivalent models' curves lie in the band of curves.
    for (int k = band->curves.first; k <= band->curves.last; ++k) {
        if (!band->curves.valid[k]) continue;
        const int y = static_cast<int>(std::lround(g.yOfLogExact(std::log10(window.sounding().grid.value[k]))));
        const int x = static_cast<int>(g.xOfLogExact(std::log10(window.sounding().computedRho[k])));
        if (y < g.y0 || y > g.y1 || x < g.x0 || x > g.x1) continue;
        EXPECT_TRUE(tinted(x, y)) << "the best model's curve at row " << k;
    }
    // A band, not a tinted plot: most of the plot stays white.
    int white = 0;
    for (int y = g.y0; y <= g.y1; ++y)
        for (int x = g.x0; x <= g.x1; ++x) white += tinted(x, y) ? 0 : 1;
    EXPECT_GT(white, (g.x1 - g.x0 + 1) * (g.y1 - g.y0 + 1) / 2);
}

TEST_F(WindowGlobalFitTest, CancelChangesNothing) {
    Ttelmorwin& window = windowWithModel();
    const LayerModel before = window.sounding().model;
    const double ssq = window.sounding().ssq;
    const std::size_t steps = window.modelHistory().size();
    window.startGlobalFit();
    ASSERT_NE(window.globalFit(), nullptr);
    BackgroundTask& task = window.globalFit()->task();
    EXPECT_TRUE(task.running());
    ASSERT_NE(task.dialog(), nullptr);
    EXPECT_EQ(task.dialog()->windowModality(), Qt::ApplicationModal);
    task.dialog()->findChild<QPushButton*>()->click();  // the dialog's Cancel button
    task.waitForFinished();
    EXPECT_FALSE(task.running());
    EXPECT_TRUE(sameBits(window.sounding().model, before));
    EXPECT_EQ(window.sounding().ssq, ssq);
    EXPECT_EQ(window.modelHistory().size(), steps);
    EXPECT_EQ(window.plot().equivalentBand(), nullptr);
    EXPECT_EQ(window.statusLine().fullText().toStdString(), "The global fit was cancelled; the model stays as it was.");
}

TEST_F(WindowGlobalFitTest, WithoutACurveOrAModelItSaysWhatIsMissing) {
    Ttelmorwin& window = openWindow();
    dialogs_.expectMessage("There is no composite curve to fit the model to.");
    window.startGlobalFit();
    openGef(window);
    dialogs_.expectMessage(
        "There is no model to fit: draw one first (F6, or a right click in the plot, then corners with the left "
        "button).");
    window.startGlobalFit();
    EXPECT_EQ(window.globalFit(), nullptr);
}

TEST_F(WindowGlobalFitTest, RangesAfterTheGlobalFitShowTheEquivalentSpansToo) {
    Ttelmorwin& window = windowWithModel();
    fitGlobally(window);
    window.rangesDialog()->close();
    window.showParameterRanges();
    ASSERT_NE(window.rangesTask(), nullptr);
    window.rangesTask()->waitForFinished();
    QTableWidget* table = window.rangesDialog()->table();
    ASSERT_EQ(table->columnCount(), 7);
    EXPECT_EQ(table->horizontalHeaderItem(5)->text(), "Equivalent min");
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString lower = table->item(row, 2)->text(), upper = table->item(row, 3)->text();
        // A range holds every equivalent model.
        if (lower != "unbounded") {
            EXPECT_LE(lower.toDouble(), table->item(row, 5)->text().toDouble() * 1.0001);
        }
        if (upper != "unbounded") {
            EXPECT_GE(upper.toDouble(), table->item(row, 6)->text().toDouble() * 0.9999);
        }
    }
    window.rangesDialog()->close();
}

}  // namespace
}  // namespace orma::ui::test
