#pragma once
// The logarithmic grid of the plot with its labels, the axis titles and the
// plot frame.

#include <string_view>

namespace orma::ui {

class Canvas;
struct PlotGeometry;

/// Whether the label of an intermediate grid line at `position` keeps 1.15
/// label extents (width across, height down) clear of the last intermediate
/// label drawn and of the next decade line's label position. Towards the
/// decade the wider of the two labels counts, so that a short label such as
/// "95" never runs into a longer decade label such as "100"; pass 0 as
/// `nextDecadeExtent` when that decade has no label.
bool intermediateLabelFits(int extent, int position, int lastPosition, int nextDecade, int nextDecadeExtent);

/// Silver grid lines (decades 2 px, others 1 px) with labels on white; an
/// intermediate label is left out when it would crowd the previous
/// intermediate label or the next decade line.
void paintGrid(Canvas& canvas, const PlotGeometry& g);

/// "Rzd->", "[Ohm.m]" and the vertical "AB" "/2" "[m]".
void paintAxisTitles(Canvas& canvas, const PlotGeometry& g);

/// The black 1 px frame of the plot rectangle.
void paintFrame(Canvas& canvas, const PlotGeometry& g);

}  // namespace orma::ui
