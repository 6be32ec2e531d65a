#include "ui/interpretation/plot/ModelPainter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "ui/interpretation/plot/PlotContext.h"
#include "ui/interpretation/plot/StepLine.h"
#include "ui/interpretation/plot/TextFormat.h"

namespace orma::ui {

namespace {

StepLine layOut(const PlotContext& ctx, const ModelLineStyle& style) {
    return layOutStepLine(ctx.sounding.model, ctx.g, style.drawingInProgress);
}

bool positive(float value) { return positiveValue(value); }

float bottomDepth(const LayerModel& m, int k, const ModelLineStyle& style) {
    return drawnBottomDepth(m, k, style.drawingInProgress);
}

int widthOf(const PlotContext& ctx, bool selected) {
    return selected ? ctx.settings.activeModelLineWidth : ctx.settings.modelLineWidth;
}

Colour colourOf(const PlotContext& ctx, bool fixed) {
    return fixed ? ctx.settings.fixedValueColour : ctx.settings.modelColour;
}

}  // namespace

bool modelDrawable(const PlotContext& ctx) {
    const LayerModel& m = ctx.sounding.model;
    return m.interfaceCount >= 1 && positive(m.resistivity[0]) && positive(m.depth[0]);
}

void xorModelLines(const PlotContext& ctx, const ModelLineStyle& style) {
    if (!modelDrawable(ctx)) return;
    const LayerModel& m = ctx.sounding.model;
    const StepLine line = layOut(ctx, style);
    const int n = line.n;
    Canvas& canvas = ctx.canvas;
    canvas.setPenMode(PenMode::Xor);
    ctx.clipToPlot();

    std::array<int, kMaxLayers> vw{}, hw{};
    for (int k = 0; k <= n; ++k) vw[k] = std::max(1, widthOf(ctx, k == style.selectedLayer));
    for (int k = 0; k < n; ++k) hw[k] = std::max(1, widthOf(ctx, k == style.selectedInterface));

    // Horizontal bars own the corners: they span the full width of both
    // vertical bars they join. Vertical bars fill the rows between them.
    int previousBottom = ctx.g.y0;  // first free row below the last horizontal bar
    for (int k = 0; k <= n; ++k) {
        const int left = line.x[k] - vw[k] / 2;
        const int top = previousBottom;
        const int bottom = k < n ? line.y[k] - hw[k] / 2 : line.y[k];  // exclusive
        canvas.setPenColour(colourOf(ctx, m.resistivityFixed[k] != 0));
        canvas.fillRect(left, top, vw[k], bottom - top);
        if (k == n) break;

        const int nextLeft = line.x[k + 1] - vw[k + 1] / 2;
        const int barLeft = std::min(left, nextLeft);
        const int barRight = std::max(left + vw[k], nextLeft + vw[k + 1]);
        const int barTop = std::max(line.y[k] - hw[k] / 2, previousBottom);
        const int barBottom = line.y[k] - hw[k] / 2 + hw[k];
        canvas.setPenColour(colourOf(ctx, m.depthFixed[k] != 0));
        canvas.fillRect(barLeft, barTop, barRight - barLeft, barBottom - barTop);
        previousBottom = std::max(previousBottom, barBottom);
    }
    canvas.clearClip();
    canvas.setPenMode(PenMode::Copy);
}

void paintModelValueList(const PlotContext& ctx, const ModelLineStyle& style, ValueListOnCanvas& shown) {
    if (!modelDrawable(ctx)) return;
    const LayerModel& m = ctx.sounding.model;
    const PlotGeometry& g = ctx.g;
    Canvas& canvas = ctx.canvas;
    const int th = g.textHeight;
    const int n = boundaryCount(m);
    canvas.setPenMode(PenMode::Copy);
    canvas.setTextOpaque(true);
    canvas.setTextBackground(kWhite);

    if (!shown.valid) {
        canvas.setPenColour(kSilver);
        canvas.setPenWidth(1);
        canvas.setFontBold(true);
        canvas.setFontColour(kBlack);
        // Texts wider than the margin are cut at the image edge rather than
        // run over the plot frame.
        const int leftmost = g.x1 + 2;
        const int title = canvas.textWidth("Model:");
        canvas.textOut(std::max(leftmost, g.x1 + (g.imageWidth - g.x1 - title) / 2), static_cast<int>(th * 1.1 * 2),
                       "Model:");
        canvas.setFontBold(false);
        auto ruleAt = [&](int y) {
            canvas.moveTo(g.x1 + 1, y);
            canvas.lineTo(g.imageWidth, y);
        };
        ruleAt(static_cast<int>(2.2 * th + (3 * th) / 2));
        canvas.textOut(std::max(leftmost, g.imageWidth - 1 - canvas.textWidth("[Ohm.m]")), (44 * th) / 10,
                       "[Ohm.m]");
        canvas.setFontColour(kGrey);
        canvas.textOut(g.x1 + 2, (55 * th) / 10, " -Dp.- [m]");
        ruleAt((55 * th) / 10 + (3 * th) / 2);
        for (auto& line : shown.resistivity) line.clear();
        for (auto& line : shown.depth) line.clear();
        shown.valid = true;
    }
    canvas.setFontBold(false);

    canvas.setFontColour(kBlack);
    for (int k = 0; k <= n; ++k) {
        const FormattedText text("%.1f     ", static_cast<double>(m.resistivity[k]));
        std::string& line = shown.resistivity[static_cast<std::size_t>(k)];
        if (line == text.view()) continue;
        canvas.textOut(g.x1 + g.charWidth, ((7 + 2 * k) * th * 11) / 10, text);
        line.assign(text.view());
    }
    canvas.setFontColour(kGrey);
    for (int k = 1; k <= n; ++k) {
        const FormattedText text(" -%.2f-       ", static_cast<double>(bottomDepth(m, k - 1, style)));
        std::string& line = shown.depth[static_cast<std::size_t>(k)];
        if (line == text.view()) continue;
        canvas.textOut(g.x1 + 2, ((8 + 2 * (k - 1)) * th * 11) / 10, text);
        line.assign(text.view());
    }
}

void paintModelLabels(const PlotContext& ctx, const ModelLineStyle& style) {
    if (!modelDrawable(ctx)) return;
    const LayerModel& m = ctx.sounding.model;
    const PlotGeometry& g = ctx.g;
    Canvas& canvas = ctx.canvas;
    const StepLine line = layOut(ctx, style);
    const int th = g.textHeight;
    canvas.setFontBold(false);
    canvas.setTextOpaque(false);
    canvas.setFontColour(kBlack);
    for (int k = 0; k <= line.n; ++k) {
        const int top = k == 0 ? g.y0 : line.y[k - 1];
        const FormattedText text("%.1f", static_cast<double>(m.resistivity[k]));
        canvas.textOut(line.x[k] + 3, (top + line.y[k]) / 2 - th / 2, text);
    }
    canvas.setFontColour(kGrey);
    for (int k = 1; k <= line.n; ++k) {
        const FormattedText text("-%.2f-", static_cast<double>(m.depth[k - 1]));
        const int centre = (line.x[k - 1] + line.x[k]) / 2;
        canvas.textOut(centre - canvas.textWidth(text) / 2, line.y[k - 1] + 2, text);
    }
    canvas.setTextOpaque(true);
}

}  // namespace orma::ui
