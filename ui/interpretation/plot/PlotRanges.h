#pragma once
// Choosing the plot ranges: the fit to a freshly loaded sounding and the
// widening to a fitted model.

#include "core/Sounding.h"
#include "ui/interpretation/plot/PlotGeometry.h"

namespace orma::ui {

class Canvas;

/// Measures the canvas font and image, sets the margins, stores the point
/// logarithms and, unless `scaleLocked`, fits the four ranges to the measured
/// points and the model, widened by the margin percentage.
///
/// The margin widens the range outward whatever the sign of a limit: a
/// resistivity limit below 1 ohm.m (negative logarithm) is multiplied by
/// 1 + p instead of 1 - p, as the top AB/2 limit is, so that such points stay
/// on the plot. The bottom AB/2 limit lies one grid step below the largest
/// spacing. Points with a non-positive (or infinite) AB/2 or resistivity have no
/// logarithm and take no part in the ranges.
void fitPlotRanges(PlotGeometry& g, const Canvas& canvas, Sounding& sounding, bool scaleLocked);

/// After a fit: pulls the ranges out to every boundary depth and layer
/// resistivity of the model (no margin). Returns true when a range changed.
/// Does nothing while the scale is locked.
bool widenRangesToModel(PlotGeometry& g, const LayerModel& model, bool scaleLocked);

}  // namespace orma::ui
