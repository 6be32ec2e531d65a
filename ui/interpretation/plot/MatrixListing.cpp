#include "ui/interpretation/plot/MatrixListing.h"

#include "ui/interpretation/plot/PlotGeometry.h"
#include "ui/platform/Canvas.h"

namespace orma::ui {

void paintMatrixListing(Canvas& canvas, const PlotGeometry& g, int rows, int columns, int stepInCharacters,
                        const std::function<std::string(int row, int column)>& cell) {
    const int th = g.textHeight;
    canvas.setPenMode(PenMode::Copy);
    canvas.setFontBold(false);
    canvas.setFontColour(kBlack);
    canvas.setTextOpaque(false);
    for (int r = 0; r < rows; ++r) {
        const int y = static_cast<int>(1.1 * th * r + th + g.marginTop) - th / 2;
        // Rows below the image would only cost time.
        if (y > g.imageHeight) break;
        for (int c = 0; c < columns; ++c) {
            const int x = g.marginLeft + c * stepInCharacters * g.charWidth;
            if (x > g.imageWidth) break;
            canvas.textOut(x, y, cell(r, c));
        }
    }
    canvas.setTextOpaque(true);
}

}  // namespace orma::ui
