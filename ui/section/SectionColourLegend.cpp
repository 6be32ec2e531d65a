#include "ui/section/SectionColourLegend.h"

#include <algorithm>
#include <cmath>

#include "ui/platform/Canvas.h"
#include "ui/platform/NumberText.h"

namespace orma::ui {

namespace {

/// An end of the range as the user reads resistivities: "15", "2986",
/// "0.15", "1.2e+05".
std::string endLabel(double log10Value) {
    const double value = std::pow(10.0, log10Value);
    if (value < 10.0) return shownText("%.2g", value);
    if (value < 1e5) return shownText("%.0f", value);
    return shownText("%.3g", value);
}

struct Placed {
    ColourLegendLabel label;
    int left = 0, right = 0;  ///< columns of its text
};

bool overlaps(const std::vector<Placed>& placed, int left, int right, int gap) {
    for (const Placed& other : placed)
        if (left < other.right + gap && right + gap > other.left) return true;
    return false;
}

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

    // The decades first, then the two ends of the range wherever they leave
    // the decades' labels clear: 15 to 2986 ohm·m reads 15, 100, 1000, 2986.
    std::vector<Placed> placed;
    const auto place = [&](double value, const std::string& text) {
        const int x = layout.barLeft + static_cast<int>(std::lround(scale.fractionOf(value) * (barWidth - 1)));
        const int w = canvas.textWidth(text);
        if (overlaps(placed, x - w / 2, x - w / 2 + w, W / 2)) return;
        placed.push_back({{value, x, text}, x - w / 2, x - w / 2 + w});
    };
    for (int decade : scale.decades()) place(decade, resistivityLabel(std::pow(10.0, decade), decimalSeparator()));
    for (double end : {scale.range().low, scale.range().high}) {
        const std::vector<int> decades = scale.decades();
        const bool onADecade = std::any_of(decades.begin(), decades.end(),
                                           [end](int decade) { return std::fabs(end - decade) < 1e-9; });
        if (!onADecade) place(end, endLabel(end));
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.label.x < b.label.x; });
    canvas.setPenColour(kBlack);
    for (const Placed& label : placed) {
        canvas.moveTo(label.label.x, layout.barBottom + 1);
        canvas.lineTo(label.label.x, layout.barBottom + 4);
        canvas.textOut(label.left, layout.barBottom + 4, label.label.text);
        layout.labels.push_back(label.label);
    }
    canvas.textOut(layout.barRight + W, top + H / 2, unit);
    layout.right = layout.barRight + W + canvas.textWidth(unit);
    if (!placed.empty()) layout.right = std::max(layout.right, placed.back().right);
    if (!note.empty()) {
        canvas.textOut(left, layout.barBottom + 6 + H, note);
        layout.right = std::max(layout.right, left + canvas.textWidth(note));
    }
    return layout;
}

}  // namespace orma::ui
