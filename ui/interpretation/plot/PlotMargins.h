#pragma once
// Margins of the plot sized from what is drawn in them: the AB/2 scale labels
// beside the axis titles on the left, the model value list on the right, and
// room below for the scale label nearest the bottom above the window's
// buttons.

#include "core/Sounding.h"
#include "ui/interpretation/plot/PlotGeometry.h"

namespace orma::ui {

class Canvas;

/// Sets the four margins of `g` from its text size (textHeight, charWidth),
/// its current ranges and `model`. Never smaller than the classic margins:
/// four "W" widths across and two text heights up and down.
void sizeMargins(PlotGeometry& g, const Canvas& canvas, const LayerModel& model);

}  // namespace orma::ui
