#pragma once
// The band of the equivalent models of a global fit (core/GlobalFit.h), as an
// interpreter reads it on the plot: the envelope of the models' step lines
// (at every depth the least and the greatest resistivity any of them has
// there) and the envelope of their computed curves (at every AB/2 row the
// least and the greatest apparent resistivity). Every equivalent model's step
// line and curve lie inside, by construction.
//
// No Qt, no I/O: the window draws the band, the global fit's runner computes
// it off the window's thread.

#include <array>
#include <atomic>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/ModelValues.h"
#include "core/Sounding.h"

namespace orma {

/// One stretch of depth over which the envelope keeps its two resistivities.
struct BandStep {
    double top = 0.0;     ///< m; 0 for the first
    double bottom = 0.0;  ///< m; +infinity for the last (the half-spaces)
    float minResistivity = 0.0f;
    float maxResistivity = 0.0f;
};

/// The envelope of the models' step lines, top down: consecutive steps meet
/// (one's bottom is the next one's top) and differ in at least one
/// resistivity. Models of another layer count than the first are included
/// as they are (any layered models can be enveloped). Empty without models.
std::vector<BandStep> stepLineEnvelope(const std::vector<ModelValues>& models);

/// The envelope of the models' computed curves on the sounding's grid rows
/// minGridIndex..maxGridIndex. `valid` is false where no model's curve could
/// be computed.
struct CurveEnvelope {
    int first = 0;
    int last = -1;
    std::array<float, kGridSlots> min{};
    std::array<float, kGridSlots> max{};
    std::array<bool, kGridSlots> valid{};
};

/// Computes every model's curve on a copy of `sounding` with the forward
/// computation `options` choose. Returns false (the envelope incomplete)
/// when `cancel` was set on the way.
bool curveEnvelope(const Sounding& sounding, const std::vector<ModelValues>& models,
                   const ComputationOptions& options, CurveEnvelope& envelope,
                   const std::atomic<bool>* cancel = nullptr);

}  // namespace orma
