#include "ui/interpretation/plot/CurvePainter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "ui/interpretation/plot/PlotContext.h"
#include "ui/interpretation/plot/TextFormat.h"

namespace orma::ui {

namespace {

bool plottable(const PointTable& pts, int s) {
    return pts.ab2[s] > 0 && pts.rhoA[s] > 0 && std::isfinite(pts.ab2[s]) && std::isfinite(pts.rhoA[s]);
}

void paintCross(Canvas& canvas, int x, int y) {
    canvas.moveTo(x - kCrossHalfSize, y);
    canvas.lineTo(x + kCrossHalfSize + 1, y);
    canvas.moveTo(x, y - kCrossHalfSize);
    canvas.lineTo(x, y + kCrossHalfSize + 1);
}

}  // namespace

void paintMeasuredBranches(const PlotContext& ctx) {
    Canvas& canvas = ctx.canvas;
    const PointTable& pts = ctx.sounding.points;
    const int count = std::clamp(pts.pointCount, 0, kMaxPoints);
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenWidth(ctx.settings.measuredLineWidth);

    std::array<CurveVertex, kGridPoints> sum{};
    std::array<int, kGridPoints> used{};
    std::array<CurveVertex, kGridPoints> vertices{};
    // Readings beyond the plot ranges (a curve shifted far, a narrowed range)
    // stay inside the frame, off the labels and the value list.
    ctx.clipToPlot();
    for (int b = 1; b <= kMaxBranches; ++b) {
        canvas.setPenColour(ctx.settings.branchColour[b - 1]);
        sum.fill({});
        used.fill(0);
        for (int s = 0; s < count; ++s) {
            if (pts.branch[s] != b || !plottable(pts, s)) continue;
            paintCross(canvas, ctx.g.xOfLog(pts.logRhoA[s]), ctx.g.yOfLog(pts.logAb2[s]));
            const int k = pts.gridIndex[s];
            if (k < 0 || k >= kGridPoints) continue;
            // Repeated readings at one spacing are averaged in pixel space.
            sum[k].x += ctx.g.xOfLogExact(pts.logRhoA[s]);
            sum[k].y += ctx.g.yOfLogExact(pts.logAb2[s]);
            ++used[k];
        }
        int n = 0;
        for (int k = 0; k < kGridPoints; ++k) {
            if (used[k] > 0) vertices[n++] = {sum[k].x / used[k], sum[k].y / used[k]};
        }
        if (n > 0) ctx.drawer.draw(canvas, vertices.data(), n, ctx.smoothing(), ctx.gridSpan());
    }
    canvas.clearClip();
}

void paintCompositeCurve(const PlotContext& ctx) {
    Canvas& canvas = ctx.canvas;
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenColour(ctx.settings.compositeColour);
    canvas.setPenWidth(ctx.settings.compositeLineWidth);
    std::array<CurveVertex, kGridPoints> vertices{};
    int n = 0;
    for (int k = ctx.firstGridIndex(); k <= ctx.lastGridIndex(); ++k) {
        if (!ctx.sounding.hasComposite(k)) continue;
        vertices[n++] = {ctx.g.xOfLogExact(std::log10(ctx.sounding.composite(k))),
                         ctx.g.yOfLogExact(k * kGridStep)};
    }
    ctx.clipToPlot();
    ctx.drawer.draw(canvas, vertices.data(), n, ctx.smoothing(), ctx.gridSpan());
    canvas.clearClip();
}

void xorComputedCurve(const PlotContext& ctx) {
    Canvas& canvas = ctx.canvas;
    const Sounding& snd = ctx.sounding;
    std::array<CurveVertex, kGridPoints> vertices{};
    int n = 0;
    for (int k = ctx.firstGridIndex(); k <= ctx.lastGridIndex(); ++k) {
        if (!(snd.computedRho[k] > 0) || !(snd.grid.value[k] > 0)) continue;
        vertices[n++] = {ctx.g.xOfLogExact(std::log10(snd.computedRho[k])),
                         ctx.g.yOfLogExact(std::log10(snd.grid.value[k]))};
    }
    canvas.setPenMode(PenMode::Xor);
    canvas.setPenColour(kAqua);
    canvas.setPenWidth(2);
    ctx.clipToPlot();
    ctx.drawer.draw(canvas, vertices.data(), n, ctx.smoothing(), ctx.gridSpan());
    canvas.clearClip();
    canvas.setPenMode(PenMode::Copy);
}

void paintEditedCurvePoint(const PlotContext& ctx, int k) {
    if (k < 0 || k >= kGridPoints) return;
    Canvas& canvas = ctx.canvas;
    const GridTable& shifted = ctx.sounding.branches.shiftedRho;
    const auto present = [&](int row, int b) {
        return row >= 0 && row < kGridPoints && shifted[row][b] > 0 && std::isfinite(shifted[row][b]);
    };
    const auto pointOf = [&](int row, int b) {
        return QPoint(static_cast<int>(ctx.g.xOfLogExact(std::log10(shifted[row][b]))),
                      static_cast<int>(ctx.g.yOfLogExact(row * kGridStep)));
    };
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenColour(kRed);
    canvas.setPenWidth(2);
    ctx.clipToPlot();
    const int branches = std::min(ctx.sounding.branches.branchCount, kMaxBranches);
    for (int b = 1; b <= branches; ++b) {
        if (!present(k, b)) continue;
        const QPoint here = pointOf(k, b);
        for (const int neighbour : {k - 1, k + 1}) {
            if (!present(neighbour, b)) continue;
            const QPoint there = pointOf(neighbour, b);
            canvas.moveTo(there.x(), there.y());
            canvas.lineTo(here.x(), here.y());
        }
    }
    canvas.clearClip();
}

void paintSsqText(const PlotContext& ctx, double ssq, const char* note) {
    Canvas& canvas = ctx.canvas;
    const FormattedText text("SSQ =  %.6f %s%s", ssq, note, *note != '\0' ? " " : "");
    canvas.setFontBold(false);
    canvas.setFontColour(kBlack);
    canvas.setTextBackground(kWhite);
    canvas.setTextOpaque(true);
    canvas.textOut((ctx.g.x0 + ctx.g.x1) / 2 - canvas.textWidth(text), ctx.g.y1 + ctx.g.textHeight / 2, text);
}

void paintComputedValues(const PlotContext& ctx) {
    Canvas& canvas = ctx.canvas;
    const Sounding& snd = ctx.sounding;
    canvas.setFontBold(false);
    canvas.setFontColour(kRed);
    canvas.setTextOpaque(false);
    for (int k = ctx.firstGridIndex(); k <= ctx.lastGridIndex(); ++k) {
        if (!(snd.computedRho[k] > 0) || !(snd.grid.value[k] > 0)) continue;
        const FormattedText text("%.2f-  -%.2f", static_cast<double>(snd.computedRho[k]),
                                 static_cast<double>(snd.grid.value[k]));
        const int x = ctx.g.xOf(snd.computedRho[k]);
        const int y = ctx.g.yOf(snd.grid.value[k]);
        canvas.textOut(x - canvas.textWidth(text) / 2, y - ctx.g.textHeight / 2, text);
    }
    canvas.setTextOpaque(true);
}

}  // namespace orma::ui
