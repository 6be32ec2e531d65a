#pragma once
// The values a layered model can hold and compute with. Resistivities below
// the forward computation's floor would be computed as the floor; above the
// upper limit their squares leave the single-precision range of the standard
// forward computation. Depths are stored as floats, so a layer needs a
// thickness that survives that rounding; below a millimetre no AB/2 of the
// grid can see it.

#include "core/Sounding.h"

namespace orma {

inline constexpr double kMinModelResistivity = 1e-6;  ///< ohm-m, the forward floor
inline constexpr double kMaxModelResistivity = 1e12;  ///< ohm-m
inline constexpr double kMinLayerThickness = 1e-3;    ///< m
inline constexpr double kMaxModelDepth = 1e9;         ///< m, far below the half-space sentinel

/// Why a search for a model gave no answer.
inline constexpr const char* kNoFitWithinLimits =
    "no start model led to a fit within the value limits (resistivities 1e-6 to 1e12 ohm-m, depths to 1e9 m)";

/// A fitted model that left these values (a fit run off on a curve that no
/// layered earth explains) is no answer: every resistivity within the limits
/// and every interface no deeper than the deepest one.
inline bool withinModelLimits(const LayerModel& model) {
    for (int i = 0; i <= model.interfaceCount; ++i) {
        const double rho = model.resistivity[static_cast<std::size_t>(i)];
        if (!(rho >= kMinModelResistivity && rho <= kMaxModelResistivity)) return false;
    }
    for (int i = 0; i < model.interfaceCount; ++i) {
        if (!(model.depth[static_cast<std::size_t>(i)] <= kMaxModelDepth)) return false;
    }
    return true;
}

}  // namespace orma
