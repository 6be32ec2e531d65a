#pragma once
// Simulates what a field crew records over a layered earth: branches of fixed
// MN/2 that overlap by two or three spacings, a level offset per branch from the
// ground under the potential electrodes, a little noise that grows with AB/2, and
// some spacings read twice.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ProfileModels.h"

namespace orma::samplegen {

struct FieldReading {
    int number;       ///< running reading number
    float ab2;        ///< nominal field spacing, m
    float mn2;        ///< m
    float rhoA;       ///< ohm-m
    float currentMa;  ///< injected current
    float voltageMv;  ///< measured voltage
    int stacks;       ///< number of stacked cycles (the instrument's integer quantity)
    int branch;       ///< 1..5
    float errorPercent;
};

struct FieldSounding {
    SoundingPlan plan;
    std::string date;  ///< "yyyy-mm-dd"
    std::string time;  ///< "hh:mm"
    std::vector<FieldReading> readings;
};

/// Deterministic for a given seed (uses only the raw mt19937 stream).
FieldSounding surveySounding(const SoundingPlan& plan, int dayOffset, std::uint32_t seed);

/// The text of a GEF instrument file for the sounding (CR LF line ends).
std::string gefFileText(const FieldSounding& sounding);

}  // namespace orma::samplegen
