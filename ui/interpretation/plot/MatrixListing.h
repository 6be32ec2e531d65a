#pragma once
// Numbers written straight onto the plot in a grid of cells: the hidden
// diagnostic listings of the fit's matrices.

#include <functional>
#include <string>

namespace orma::ui {

class Canvas;
struct PlotGeometry;

/// Writes cell(r, c) for r < rows and c < columns, black on a transparent
/// background: row r at trunc(1.1 * textHeight * r + textHeight + marginTop)
/// - textHeight/2, column c at marginLeft + c * step character widths.
void paintMatrixListing(Canvas& canvas, const PlotGeometry& g, int rows, int columns, int stepInCharacters,
                        const std::function<std::string(int row, int column)>& cell);

}  // namespace orma::ui
