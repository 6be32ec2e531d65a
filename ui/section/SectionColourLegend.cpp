#include "ui/section/SectionColourLegend.h"

#include <algorithm>
#include <cmath>

#include "ui/platform/Canvas.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {

namespace {

/// "%.3g" of an end of the range, for a range that holds no decade.
std::string endLabel(double log10Value) { return shownText("%.3g", std::pow(10.0, log10Value)); }

}  // namespace

int colourLegendHeight(int textHeight) { return 4 * textHeight + 6; }

ColourLegendLayout drawColourLegend(Canvas& canvas, const ColourScale& scale, int left, int top, int width,
                                    const std::string& caption, const std::string& note) {
    const int H = canvas.textHeight("W");
    const int W = canvas.textWidth("W");
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenWidth(1);
    canvas.setTextOpaque(false);
    canvas.setFontColour(kBlack);
    canvas.textOut(left, top + H / 2, caption);

    const std::string unit = "ohm\u00B7m";
    ColourLegendLayout layout;
    layout.barLeft = left + canvas.textWidth(caption) + W;
    // Room for the unit after the bar and for half a label beyond its end.
    const int barWidth = std::clamp(width - (layout.barLeft - left) - canvas.textWidth(unit) - 4 * W, 6 * W, 40 * W);
    layout.barRight = layout.barLeft + barWidth - 1;
    layout.barTop = top + H / 2;
    layout.barBottom = layout.barTop + H - 1;

    QImage& pixels = canvas.pixelsForWriting();
    for (int x = std::max(layout.barLeft, 0); x <= layout.barRight && x < pixels.width(); ++x) {
        const double fraction = (x - layout.barLeft) / double(barWidth - 1);
        const std::uint32_t colour = ColourScale::ramp(fraction);
        for (int y = std::max(layout.barTop, 0); y <= layout.barBottom && y < pixels.height(); ++y)
            reinterpret_cast<QRgb*>(pixels.scanLine(y))[x] = colour;
    }
    canvas.setPenColour(kGrey);
    canvas.rectangle(layout.barLeft - 1, layout.barTop - 1, layout.barRight + 1, layout.barBottom + 1);

    std::vector<double> values;
    for (int decade : scale.decades()) values.push_back(decade);
    if (values.empty()) values = {scale.range().low, scale.range().high};
    const bool decadeLabels = !scale.decades().empty();
    int lastRight = layout.barLeft - 10 * W;
    canvas.setPenColour(kBlack);
    for (double value : values) {
        const int x = layout.barLeft + static_cast<int>(std::lround(scale.fractionOf(value) * (barWidth - 1)));
        const std::string text = decadeLabels ? resistivityLabel(std::pow(10.0, value), decimalSeparator()) : endLabel(value);
        const int w = canvas.textWidth(text);
        if (x - w / 2 < lastRight + W / 2) continue;  // would overlap the label before it
        canvas.moveTo(x, layout.barBottom + 1);
        canvas.lineTo(x, layout.barBottom + 4);
        canvas.textOut(x - w / 2, layout.barBottom + 4, text);
        lastRight = x - w / 2 + w;
        layout.labels.push_back({value, x, text});
    }
    canvas.textOut(layout.barRight + W, top + H / 2, unit);
    if (!note.empty()) canvas.textOut(left, layout.barBottom + 6 + H, note);
    return layout;
}

}  // namespace orma::ui
