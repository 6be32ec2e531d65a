#pragma once
// A starting model drawn by the program instead of the interpreter, for the
// unattended interpretation of whole profiles, and the fit from it.
//
// The method, in three steps:
//
//  1. A smooth many-layer model that reproduces the composite curve (after
//     Zohdy's direct method): one layer per composite point (per every few
//     points when there are more than 29), with its bottom at a fixed
//     fraction of that point's AB/2 and the point's apparent resistivity;
//     then a few passes that multiply every layer's resistivity by the ratio
//     of measured to computed apparent resistivity at its point. This is
//     done for the depth fractions 0.35, 0.5 and 0.7.
//  2. Each many-layer model is merged down to N layers: the split into N
//     runs of neighbouring layers that makes log10 resistivity vary least
//     within the runs, each layer weighted by its thickness on a log-depth
//     scale (dynamic programming, exact). A run gets the weighted mean of its
//     log resistivities; the interfaces lie where the runs meet.
//  3. Every merged model is fitted (core/Fit.h). Up to 8 layers the models
//     are built up: the best fit of n - 1 layers is split, one of its layers
//     at a time, in two at the layer's middle on a log-depth scale (the
//     half-space three times below its top), each half taking the smooth
//     model's resistivity at its middle, and once more with both halves
//     keeping the layer's own resistivity (the same earth with one layer
//     more); these are fitted beside the merged models of n layers, for
//     n = 1 .. N. The fit with the smallest SSQ wins.
//
// A fit never ends above its start's SSQ, and the same-earth splits start at
// the best SSQ of n - 1 layers, so up to 8 layers a model of n layers never
// fits worse than one of n - 1 (to the rounding of the stored floats).
//
// Everything runs on the caller's thread with its workspace; no I/O.

#include <vector>

#include "core/ComputationOptions.h"
#include "core/Fit.h"
#include "core/FitWorkspace.h"
#include "core/Sounding.h"

namespace orma {

struct AutomaticFit {
    FitSummary summary;       ///< of the winning fit (startSsq: its start model's SSQ)
    LayerModel start;         ///< the start model the winning fit came from
    int fitsRun = 0;          ///< candidate fits tried
};

/// The fitted model with one of its layers split in two at the layer's middle
/// on a log-depth scale (the half-space three times below its top, a lone
/// half-space at a sixth of `deepestSpacing`), both halves keeping the
/// layer's resistivity: the same curve with one layer more. One model per
/// layer, without hold flags; none for a model of 30 layers.
std::vector<LayerModel> sameEarthSplits(const LayerModel& fitted, double deepestSpacing);

/// Steps 1 to 3: afterwards sounding.model is the best fitted model of
/// `layers` layers, with its computed curve and SSQ, as after fitModel. A
/// sounding without composite values, or a layer count outside 1..30, is
/// refused like fitModel refuses (status NoComposite or InvalidModel) and
/// leaves the record as it was. Fits that end outside the model value limits
/// (core/ModelLimits.h) do not count; when no fit stays within them the
/// status is ForwardFailed with a message, the record unchanged.
AutomaticFit fitFromAutomaticStart(Sounding& sounding, FitWorkspace& workspace, int layers,
                                   const ComputationOptions& options = {});

}  // namespace orma
