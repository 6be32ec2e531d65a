#pragma once
// The parameters of a fit and how fixed values shape them: which logarithmic
// resistivities and thicknesses are free (one Jacobian column each), how an
// interface held at its depth is kept in place, and how a step of the solver
// becomes a trial model.
//
// Rules for held values:
// - A held resistivity or thickness keeps its start value exactly.
// - An interface held at its depth has no thickness column of its own: its
//   layer takes up whatever the free layers above it (down to the previous
//   held interface) gain or lose. A thickness flag on that same layer is
//   redundant: the interface counts as held in depth.
// - The thickness flag of the half-space has no effect.

#include "core/FitWorkspace.h"
#include "core/Sounding.h"

namespace orma {

/// Fills ws.columns, ws.depthHeld and ws.heldDepth for the model (whose
/// thicknesses are already in ws.layerThickness) and returns the number of
/// free parameters M.
int layoutFitColumns(const LayerModel& model, FitWorkspace& ws);

/// Fills rows 0..rowCount-1 of ws.WJ (columns 0..M-1) with the derivatives of
/// ln rhoA by the free log-parameters, using Sro/Sd, ws.rowGridOffset and the
/// accepted curve in sounding.computedPacked.
void fillJacobian(const Sounding& sounding, FitWorkspace& ws, int rowCount, int parameterCount);

enum class TrialModel {
    Valid,
    SqueezedLayer,  ///< a layer above a held interface would get a negative thickness
    NotAModel,      ///< a value overflowed or is not a number
};

/// Turns ws.step (one log-change per column) into ws.fitResistivity and
/// ws.fitThickness, and says whether that is a model at all. A squeezed layer
/// can be mended by a shorter step; a trial that is not a model counts as
/// rejected.
TrialModel buildTrialModel(const LayerModel& model, FitWorkspace& ws, int parameterCount);

/// The trial model of ws.step. A step that squeezes a layer above a held
/// interface is halved along its direction (at most kMaxStepHalvings times,
/// ws.step shortened with it) until it no longer does. False when no valid
/// model results.
bool buildShortenedTrial(const LayerModel& model, FitWorkspace& ws, int parameterCount);

/// Depths of the model from the accepted thicknesses in ws.layerThickness;
/// held interfaces keep their exact depth.
void rebuildDepths(LayerModel& model, const FitWorkspace& ws);

}  // namespace orma
