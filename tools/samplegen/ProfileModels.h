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

}  // namespace orma::samplegen
