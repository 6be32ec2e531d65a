#include "ui/interpretation/plot/GridPainter.h"

#include <algorithm>
#include <cmath>

#include "ui/interpretation/plot/PlotGeometry.h"
#include "ui/interpretation/plot/TextFormat.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

namespace {

FormattedText intermediateLabel(double c) {
    return c > 1 ? generalNumber(c) : FormattedText("%.2f", c);
}

void verticalLine(Canvas& canvas, const PlotGeometry& g, int x, int width) {
    canvas.setPenWidth(width);
    canvas.moveTo(x, g.y0);
    canvas.lineTo(x, g.y1);
}

void horizontalLine(Canvas& canvas, const PlotGeometry& g, int y, int width) {
    canvas.setPenWidth(width);
    canvas.moveTo(g.x0, y);
    canvas.lineTo(g.x1, y);
}

/// The label row shares its ends with the axis titles "Rzd->" and "[Ohm.m]";
/// a scale label that would run into either, or stand closer to it than a
/// blank (so that "3000" and "[Ohm.m]" never read as one word), is left out.
bool clearOfAxisTitles(const Canvas& canvas, const PlotGeometry& g, int left, int width) {
    const int gap = canvas.textWidth(" ");
    const int titleLeftEnd = g.textHeight / 3 + canvas.textWidth("Rzd->");
    const int titleRightStart = g.imageWidth - canvas.textWidth("[Ohm.m]");
    return left > titleLeftEnd + gap && left + width + gap < titleRightStart;
}

void resistivityAxis(Canvas& canvas, const PlotGeometry& g) {
    const int labelRow = g.marginTop / 2 - g.textHeight / 2;
    int xLast = -9999;
    for (int i = static_cast<int>(std::trunc(g.rMin)); i < g.rMax + 2; ++i) {
        const int xDecade = g.xOfLog(i);
        int decadeWidth = 0;
        if (g.x0 < xDecade && xDecade < g.x1) {
            verticalLine(canvas, g, xDecade, 2);
            const FormattedText label = generalNumber(std::pow(10.0, i));
            decadeWidth = canvas.textWidth(label);
            if (clearOfAxisTitles(canvas, g, xDecade - decadeWidth / 2, decadeWidth)) {
                canvas.textOut(xDecade - decadeWidth / 2, labelRow, label);
            }
        }
        // The lines of the decade below: halves above 1 ohm.m, whole steps below.
        const double f = std::pow(10.0, i - 1);
        const bool halves = f > 1;
        for (int m = 2; m < (halves ? 20 : 10); ++m) {
            const double c = halves ? f * m / 2 : f * m;
            const int x = g.xOf(c);
            if (!(g.x0 < x && x < g.x1)) continue;
            verticalLine(canvas, g, x, 1);
            const FormattedText label = intermediateLabel(c);
            const int width = canvas.textWidth(label);
            if (intermediateLabelFits(width, x, xLast, xDecade, decadeWidth) &&
                clearOfAxisTitles(canvas, g, x - width / 2, width)) {
                canvas.textOut(x - canvas.textWidth(label) / 2, labelRow, label);
                xLast = x;
            }
        }
    }
}

void ab2Axis(Canvas& canvas, const PlotGeometry& g) {
    const int half = g.textHeight / 2;
    int yLast = -9999;
    auto rightAligned = [&](std::string_view text, int top) {
        canvas.textOut(g.x0 - g.charWidth - canvas.textWidth(text), top, text);
    };
    for (int decade = -2; decade < g.aMax + 1; ++decade) {
        const int yDecade = g.yOfLog(decade);
        if (g.aMin < decade && decade < g.aMax) {
            horizontalLine(canvas, g, yDecade, 2);
            rightAligned(generalNumber(std::pow(10.0, decade)), yDecade - half);
        }
        const double k = std::pow(10.0, decade - 1);
        for (int m = 2; m < 10; ++m) {
            const double c = k * m;
            const double logC = std::log10(c);
            if (!(g.aMin < logC && logC < g.aMax)) continue;
            const int y = g.yOfLog(logC);
            horizontalLine(canvas, g, y, 1);
            const int yl = y - half;
            if (intermediateLabelFits(g.textHeight, yl, yLast, yDecade - half, g.textHeight)) {
                rightAligned(intermediateLabel(c), yl);
                yLast = yl;
            }
        }
    }
}

}  // namespace

bool intermediateLabelFits(int extent, int position, int lastPosition, int nextDecade, int nextDecadeExtent) {
    const int room = static_cast<int>(1.15 * extent);
    const int roomToDecade = static_cast<int>(1.15 * std::max(extent, nextDecadeExtent));
    return room < position - lastPosition && roomToDecade < nextDecade - position;
}

void paintGrid(Canvas& canvas, const PlotGeometry& g) {
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenColour(kSilver);
    canvas.setFontBold(false);
    canvas.setFontColour(kBlack);
    canvas.setTextBackground(kWhite);
    canvas.setTextOpaque(true);
    resistivityAxis(canvas, g);
    ab2Axis(canvas, g);
    paintAxisTitles(canvas, g);
}

void paintAxisTitles(Canvas& canvas, const PlotGeometry& g) {
    const int th = g.textHeight;
    canvas.textOut(th / 3, th / 2, "Rzd->");
    canvas.textOut(g.imageWidth - canvas.textWidth("[Ohm.m]"), th / 2, "[Ohm.m]");
    const int x = g.charWidth / 5;
    const int middle = (g.imageHeight - g.marginTop) / 2 + g.marginTop;
    canvas.textOut(x, middle - th, "AB");
    canvas.textOut(x, middle, "/2");
    canvas.textOut(x, middle + th, "[m]");
}

void paintFrame(Canvas& canvas, const PlotGeometry& g) {
    canvas.setPenMode(PenMode::Copy);
    canvas.setPenColour(kBlack);
    canvas.setPenWidth(1);
    canvas.rectangle(g.x0, g.y0, g.x1, g.y1);
}

}  // namespace orma::ui
