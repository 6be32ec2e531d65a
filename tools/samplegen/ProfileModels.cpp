#include "ProfileModels.h"

#include <cmath>

namespace orma::samplegen {

std::vector<SoundingPlan> sampleProfile() {
    constexpr int kSoundings = 12;
    std::vector<SoundingPlan> plans;
    for (int i = 0; i < kSoundings; ++i) {
        const float t = static_cast<float>(i) / (kSoundings - 1);  // 0 west .. 1 east
        const float lens = std::sin(3.14159265f * t);              // clay lens thickest mid-profile
        SoundingPlan plan;
        plan.pointNumber = 100 + 50 * i;
        if (i % 4 == 3) {
            // Every fourth point stands on a dry sand bar: an extra resistive layer on top.
            plan.earth.resistivity = {420.0f, 140.0f, 18.0f + 6.0f * t, 350.0f - 80.0f * t, 1800.0f};
            plan.earth.depth = {0.8f, 2.5f + lens, 9.0f + 9.0f * lens, 38.0f + 14.0f * t};
        } else {
            plan.earth.resistivity = {150.0f + 60.0f * t, 22.0f - 8.0f * lens, 300.0f + 150.0f * t, 2200.0f};
            plan.earth.depth = {1.6f + 0.8f * t, 7.0f + 11.0f * lens, 32.0f + 18.0f * t};
        }
        plan.branchCount = 3 + (i % 3);
        plans.push_back(plan);
    }
    return plans;
}

std::vector<SoundingPlan> parallelProfile() {
    constexpr int kSoundings = 8;
    std::vector<SoundingPlan> plans;
    for (int i = 0; i < kSoundings; ++i) {
        const float t = static_cast<float>(i) / (kSoundings - 1);
        const float lens = std::sin(3.14159265f * (0.15f + 0.7f * t));
        SoundingPlan plan;
        plan.pointNumber = 60 + 60 * i;
        plan.earth.resistivity = {180.0f - 40.0f * t, 28.0f - 10.0f * lens, 260.0f + 120.0f * t, 2000.0f};
        plan.earth.depth = {1.2f + 1.0f * t, 5.0f + 9.0f * lens, 28.0f + 14.0f * t};
        plan.branchCount = 3 + (i % 2);
        plans.push_back(plan);
    }
    return plans;
}

std::vector<SoundingPlan> quarryProfile() {
    constexpr int kSoundings = 6;
    std::vector<SoundingPlan> plans;
    for (int i = 0; i < kSoundings; ++i) {
        const float t = static_cast<float>(i) / (kSoundings - 1);
        SoundingPlan plan;
        plan.pointNumber = 20 + 40 * i;
        plan.earth.resistivity = {85.0f + 30.0f * t, 35.0f + 10.0f * t, 1500.0f};
        plan.earth.depth = {1.0f + 0.6f * t, 11.0f - 6.0f * std::sin(3.14159265f * t)};
        plan.branchCount = 3;
        plans.push_back(plan);
    }
    return plans;
}

}  // namespace orma::samplegen
