#pragma once
// The pieces of one linearisation of the fit that a fit of many soundings at
// once (LateralInversion.h) shares with the fit of one: whether a model can be
// fitted at all, the start values, the data rows with their log residuals and
// the derivatives by the forward computation the options choose.

#include "core/ComputationOptions.h"
#include "core/FitWorkspace.h"
#include "core/Sounding.h"

namespace orma {

/// Positive finite resistivities, non-negative finite thicknesses, at most 30
/// layers and a curve range on the AB/2 grid.
bool isFittableModel(const Sounding& sounding);

/// The curve has at least one composite value in its range.
bool hasCompositeValue(const Sounding& sounding);

/// Start values of a fit from the stored model: ws.layerThickness,
/// ws.fitResistivity, ws.fitThickness, and the spacing of every curve row.
void loadFitStart(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options);

/// Rows of the stored curve that can enter the linearisation: a composite
/// value is present and the computed value has a logarithm. Fills
/// ws.rowGridOffset and ws.residual (ln measured / computed); returns the
/// row count.
int collectResidualRows(const Sounding& sounding, FitWorkspace& ws);

/// Sro/Sd of the model with the stored resistivities and the thicknesses in
/// ws.layerThickness, by the forward computation the options choose.
void lineariseModel(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options);

}  // namespace orma
