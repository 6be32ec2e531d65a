#pragma once
// Aids that follow the cursor while the model is drawn or the curve edited.

namespace orma::ui {

class Canvas;
struct PlotGeometry;

/// Red 1 px XOR crosshair through (px, py) across the plot rectangle; a
/// second call at the same position removes it.
void xorCrosshair(Canvas& canvas, const PlotGeometry& g, int px, int py);

/// "Cursor rezistivity = ..." with the resistivity and AB/2 under the cursor,
/// below the plot where the fit error stands.
void paintCursorStatus(Canvas& canvas, const PlotGeometry& g, int px, int py);

}  // namespace orma::ui
