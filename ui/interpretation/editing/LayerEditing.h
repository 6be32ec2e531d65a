#pragma once
// The model changes behind the mouse gestures, free of any drawing: insert
// and delete a layer, pick the segment under the cursor, the depth a dragged
// boundary may take.

#include "core/Sounding.h"
#include "ui/interpretation/editing/EditState.h"
#include "ui/interpretation/plot/PlotGeometry.h"

namespace orma::ui {

/// A model holds at most 30 layers, that is 29 boundaries.
inline constexpr int kMaxBoundaries = kMaxLayers - 1;

inline constexpr const char* kModelFullMessage = "The model holds at most 30 layers: no layer was added.";

/// Inserts a layer at index t (the selected boundary or layer): entries t..n
/// move down one place (thickness flags stay where they are) and the new entry
/// t splits what was there. At the top layer it takes 90 % of the old top
/// depth and the same resistivity; inside the model the means of its
/// neighbours; at the half-space a depth halfway between the last boundary
/// and `bottomDepth` (the depth at the plot's bottom edge), or twice the last
/// boundary's depth when that lies deeper than the edge. The new entry's fix
/// flags are clear. Returns false, changing nothing, when the model is full
/// or t is not a segment of it.
bool insertLayer(LayerModel& model, int t, double bottomDepth);

/// Deletes layer t: its resistivity and its lower boundary go; deleting the
/// half-space makes the layer above it the new half-space. Returns false,
/// changing nothing, when t is not a layer of a model with a boundary.
bool deleteLayer(LayerModel& model, int t);

/// The segment within `tolerance` pixels of (x, y) on the step line as drawn.
/// A boundary qualifies when x lies strictly between the columns of its two
/// layers, a layer when y lies strictly between its top and bottom rows; the
/// nearest of each kind wins (ties keep the lower index), and the layer only
/// when strictly nearer than the boundary.
Selection segmentAt(const LayerModel& model, const PlotGeometry& g, int x, int y, int tolerance);

/// `depth` kept between the neighbouring boundaries of boundary k.
float clampBoundaryDepth(const LayerModel& model, int k, double depth);

}  // namespace orma::ui
