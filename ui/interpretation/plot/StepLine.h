#pragma once
// Where the model step line stands on the plot: the column of every layer and
// the row of every layer bottom. The painter draws from it and the mouse
// editing selects segments on it, so what is hit is exactly what is drawn.

#include <array>

#include "core/Sounding.h"
#include "ui/interpretation/plot/PlotGeometry.h"

namespace orma::ui {

struct StepLine {
    int n = 0;                        ///< boundaries
    std::array<int, kMaxLayers> x{};  ///< column of layer k
    std::array<int, kMaxLayers> y{};  ///< row of the bottom of layer k, within y0..y1
};

/// A value with a place on the logarithmic axes.
bool positiveValue(float value);

/// The number of boundaries, kept within the tables.
int boundaryCount(const LayerModel& model);

/// The depth the bottom of layer k is drawn at: the half-space reaches below
/// the plot, except while a model is being drawn (its last depth is then the
/// free corner).
float drawnBottomDepth(const LayerModel& model, int k, bool drawingInProgress);

/// Pixel positions of the corners; a value that is not positive keeps the
/// previous coordinate, and rows are kept within the plot's height.
StepLine layOutStepLine(const LayerModel& model, const PlotGeometry& g, bool drawingInProgress);

}  // namespace orma::ui
