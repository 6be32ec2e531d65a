#include "ui/interpretation/plot/CursorPainter.h"


#include "ui/interpretation/plot/PlotGeometry.h"
#include "ui/interpretation/plot/TextFormat.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

void xorCrosshair(Canvas& canvas, const PlotGeometry& g, int px, int py) {
    canvas.setPenMode(PenMode::Xor);
    canvas.setPenColour(kRed);
    canvas.setPenWidth(1);
    canvas.moveTo(g.marginLeft, py);
    canvas.lineTo(g.imageWidth - g.marginRight, py);
    canvas.moveTo(px, g.marginTop);
    canvas.lineTo(px, g.imageHeight - g.marginBottom);
    canvas.setPenMode(PenMode::Copy);
}

void paintCursorStatus(Canvas& canvas, const PlotGeometry& g, int px, int py) {
    const FormattedText rho(" %.1f ", g.rhoAt(px));
    const FormattedText ab2(" %.1f ", g.ab2At(py));
    const FormattedText text("Cursor rezistivity = %.*s , AB/2 of cursor = %.*s      ",
                             static_cast<int>(rho.view().size()), rho.view().data(),
                             static_cast<int>(ab2.view().size()), ab2.view().data());
    const FormattedText anchor("SSQ = %.*s", static_cast<int>(rho.view().size()), rho.view().data());
    canvas.setFontBold(false);
    canvas.setFontColour(kBlack);
    canvas.setTextBackground(kWhite);
    canvas.setTextOpaque(true);
    canvas.textOut((g.x0 + g.x1) / 2 - canvas.textWidth(anchor), g.y1 + g.textHeight / 2, text);
}

}  // namespace orma::ui
