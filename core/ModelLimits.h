#pragma once
// The values a layered model can hold and compute with. Resistivities below
// the forward computation's floor would be computed as the floor; above the
// upper limit their squares leave the single-precision range of the standard
// forward computation. Depths are stored as floats, so a layer needs a
// thickness that survives that rounding; below a millimetre no AB/2 of the
// grid can see it.

namespace orma {

inline constexpr double kMinModelResistivity = 1e-6;  ///< ohm-m, the forward floor
inline constexpr double kMaxModelResistivity = 1e12;  ///< ohm-m
inline constexpr double kMinLayerThickness = 1e-3;    ///< m
inline constexpr double kMaxModelDepth = 1e9;         ///< m, far below the half-space sentinel

}  // namespace orma
