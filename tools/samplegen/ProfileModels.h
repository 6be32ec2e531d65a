#pragma once
// The earth along the sample profile: a layered model per sounding that changes
// smoothly with chainage, as a clay lens thickens and the gravel dips.

#include <vector>

namespace orma::samplegen {

struct EarthModel {
    std::vector<float> resistivity;  ///< ohm-m, the last entry the half-space
    std::vector<float> depth;        ///< interface depths, metres
};

struct SoundingPlan {
    int pointNumber;  ///< chainage along the profile, metres
    EarthModel earth;
    int branchCount;  ///< 3..5 measured branches
};

/// The soundings of the sample profile, west to east.
std::vector<SoundingPlan> sampleProfile();

/// A second profile of the same valley, parallel to the first: the clay lens
/// thins out towards its ends.
std::vector<SoundingPlan> parallelProfile();

/// A profile over weathered limestone near a quarry: soil, clayey weathering
/// of varying thickness, sound limestone.
std::vector<SoundingPlan> quarryProfile();

}  // namespace orma::samplegen
