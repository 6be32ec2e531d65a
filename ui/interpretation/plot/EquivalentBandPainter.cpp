#include "ui/interpretation/plot/EquivalentBandPainter.h"

#include <QImage>

#include <algorithm>
#include <cmath>

#include "ui/interpretation/plot/PlotContext.h"

namespace orma::ui {

namespace {

/// Per pixel row the columns a band covers there, so that each pixel is
/// tinted once however many pieces of the band reach it.
class RowSpans {
public:
    explicit RowSpans(int rows) : left_(static_cast<std::size_t>(std::max(rows, 0)), kNone),
                                  right_(static_cast<std::size_t>(std::max(rows, 0)), -1) {}
    void add(int y, int x0, int x1) {
        if (y < 0 || y >= static_cast<int>(left_.size()) || x1 < x0) return;
        const auto i = static_cast<std::size_t>(y);
        left_[i] = std::min(left_[i], x0);
        right_[i] = std::max(right_[i], x1);
    }
    /// Multiplies the covered pixels by the tint (white takes the tint, a
    /// tint over the other tint darkens a little, black stays black).
    void tint(QImage& image, Colour tint) const {
        const int r = static_cast<int>(tint & 0xFF), g = static_cast<int>((tint >> 8) & 0xFF),
                  b = static_cast<int>((tint >> 16) & 0xFF);
        for (int y = 0; y < static_cast<int>(left_.size()) && y < image.height(); ++y) {
            const auto i = static_cast<std::size_t>(y);
            const int x0 = std::max(left_[i], 0), x1 = std::min(right_[i], image.width() - 1);
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = x0; x <= x1; ++x) {
                const QRgb p = row[x];
                row[x] = qRgb(qRed(p) * r / 255, qGreen(p) * g / 255, qBlue(p) * b / 255);
            }
        }
    }

private:
    static constexpr int kNone = 1 << 30;
    std::vector<int> left_;
    std::vector<int> right_;
};

/// The envelope of the step lines: each step from its least to its greatest
/// resistivity over its depths, its top and bottom rows included, so that
/// where two steps meet the row spans both (the step lines' horizontal
/// pieces) and a step thinner than a pixel still shows.
void stepLineSpans(RowSpans& spans, const PlotGeometry& g, const std::vector<BandStep>& steps) {
    for (const BandStep& step : steps) {
        if (!(step.minResistivity > 0.0f) || !(step.maxResistivity > 0.0f)) continue;
        const int top = step.top > 0.0 ? std::clamp(g.yOf(step.top), g.y0, g.y1) : g.y0;
        const int bottom = std::isfinite(step.bottom) ? std::clamp(g.yOf(step.bottom), g.y0, g.y1) : g.y1;
        const int left = std::clamp(g.xOf(step.minResistivity), g.x0, g.x1);
        const int right = std::clamp(g.xOf(step.maxResistivity), g.x0, g.x1);
        for (int y = top; y <= bottom; ++y) spans.add(y, left, right);
    }
}

/// The envelope of the curves: row by row, its two edges interpolated in
/// log units between the grid rows, as the curves are drawn.
void curveSpans(RowSpans& spans, const PlotGeometry& g, const Sounding& sounding, const CurveEnvelope& curves) {
    const auto rowY = [&](int k) {
        const float ab2 = sounding.grid.value[static_cast<std::size_t>(k)];
        return g.yOfLogExact(ab2 > 0.0f ? std::log10(static_cast<double>(ab2)) : k * kGridStep);
    };
    for (int k = curves.first; k < curves.last; ++k) {
        const auto a = static_cast<std::size_t>(k), b = a + 1;
        if (!curves.valid[a] || !curves.valid[b]) continue;
        const double ya = rowY(k), yb = rowY(k + 1);
        const double loA = std::log10(curves.min[a]), hiA = std::log10(curves.max[a]);
        const double loB = std::log10(curves.min[b]), hiB = std::log10(curves.max[b]);
        const int first = std::max(static_cast<int>(std::floor(ya)), g.y0);
        const int last = std::min(static_cast<int>(std::ceil(yb)), g.y1);
        for (int y = first; y <= last; ++y) {
            const double t = yb > ya ? std::clamp((y - ya) / (yb - ya), 0.0, 1.0) : 0.0;
            const double left = g.xOfLogExact(loA + t * (loB - loA));
            const double right = g.xOfLogExact(hiA + t * (hiB - hiA));
            spans.add(y, std::max(static_cast<int>(std::floor(left)), g.x0),
                      std::min(static_cast<int>(std::ceil(right)), g.x1));
        }
    }
}

}  // namespace

bool EquivalentBandPicture::belongsTo(const LayerModel& other) const {
    if (other.interfaceCount != model.interfaceCount || !model.exists()) return false;
    const int n = std::clamp(model.interfaceCount, 0, kMaxLayers - 1);
    for (int k = 0; k <= n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (other.resistivity[i] != model.resistivity[i] || (k < n && other.depth[i] != model.depth[i])) return false;
    }
    return true;
}

void paintEquivalentBand(const PlotContext& ctx, const EquivalentBandPicture& band) {
    QImage& image = ctx.canvas.pixelsForWriting();
    RowSpans curves(image.height());
    curveSpans(curves, ctx.g, ctx.sounding, band.curves);
    curves.tint(image, kCurveBandTint);
    RowSpans steps(image.height());
    stepLineSpans(steps, ctx.g, band.steps);
    steps.tint(image, kModelBandTint);
}

}  // namespace orma::ui
