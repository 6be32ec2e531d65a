#include "FieldSurvey.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "core/AbGrid.h"
#include "core/Forward.h"
#include "core/Sounding.h"

namespace orma::samplegen {

namespace {

struct BranchLayout {
    float mn2;
    int firstGrid;
    int lastGrid;
};

// MN/2 steps and the grid rows each branch covers; neighbours share 2 or 3 spacings.
constexpr BranchLayout kBranches[] = {
    {0.5f, 0, 8}, {2.0f, 6, 14}, {10.0f, 12, 19}, {50.0f, 18, 23}, {100.0f, 21, 26},
};

/// Portable random numbers: std distributions differ between library versions.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : engine_(seed) {}
    double uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }
    double normal() {
        const double u1 = uniform();
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

private:
    std::mt19937 engine_;
};

/// The earth's apparent-resistivity curve on grid rows 0..26, by the program's own method.
std::vector<float> modelCurve(const EarthModel& earth) {
    auto sounding = std::make_unique<Sounding>();
    LayerModel& model = sounding->model;
    model.interfaceCount = static_cast<int>(earth.depth.size());
    for (std::size_t i = 0; i < earth.resistivity.size(); ++i) model.resistivity[i] = earth.resistivity[i];
    for (std::size_t i = 0; i < earth.depth.size(); ++i) model.depth[i] = earth.depth[i];
    model.depth[model.interfaceCount] = kHalfSpaceDepth;
    sounding->minGridIndex = 0;
    sounding->maxGridIndex = 26;
    computeForward(*sounding);
    return {sounding->computedRho.begin(), sounding->computedRho.begin() + 27};
}

/// The spacing a crew sets out for grid row k: the customary value the program snaps to it.
float fieldSpacing(int k) {
    static constexpr float kNominal[] = {1.0f,  1.3f,  1.68f, 2.18f, 2.82f, 3.66f, 4.74f, 6.15f, 7.97f,
                                         10.3f, 13.4f, 17.4f, 22.5f, 29.1f, 37.8f, 49.0f, 63.5f, 82.3f,
                                         107.0f, 138.0f, 179.2f, 232.3f, 301.1f};
    if (k < static_cast<int>(std::size(kNominal))) return kNominal[k];
    return std::round(static_cast<float>(abGridValue(k)));  // 390, 506, 656, 850
}

}  // namespace

FieldSounding surveySounding(const SoundingPlan& plan, int dayOffset, std::uint32_t seed) {
    Noise noise(seed);
    FieldSounding result;
    result.plan = plan;
    char text[32];
    std::snprintf(text, sizeof text, "2026-05-%02d", 11 + dayOffset);
    result.date = text;
    std::snprintf(text, sizeof text, "%02d:%02d", 8 + plan.pointNumber % 9, (plan.pointNumber * 7) % 60);
    result.time = text;

    const std::vector<float> curve = modelCurve(plan.earth);
    int number = 1;
    for (int b = 0; b < plan.branchCount; ++b) {
        const BranchLayout& layout = kBranches[b];
        // Ground under the potential electrodes lifts or lowers a whole branch.
        const double branchLevel = b == 0 ? 1.0 : std::exp(0.09 * noise.normal());
        for (int k = layout.firstGrid; k <= layout.lastGrid; ++k) {
            const int repeats = noise.uniform() < 0.12 ? 2 : 1;
            for (int r = 0; r < repeats; ++r) {
                const double sigma = 0.008 + 0.02 * k / 26.0;
                FieldReading reading{};
                reading.number = number++;
                reading.ab2 = fieldSpacing(k);
                reading.mn2 = layout.mn2;
                reading.rhoA = static_cast<float>(curve[k] * branchLevel * std::exp(sigma * noise.normal()));
                reading.branch = b + 1;
                reading.currentMa = static_cast<float>(std::round(20.0 + 180.0 * k / 26.0 + 10.0 * noise.uniform()));
                const double a = reading.ab2;
                const double m = reading.mn2;
                const double geometricFactor = 3.14159265358979 * (a * a - m * m) / (2.0 * m);
                reading.voltageMv = static_cast<float>(reading.rhoA * reading.currentMa / geometricFactor);
                reading.stacks = 2 + static_cast<int>(6.0 * k / 26.0) + (r == 1 ? 2 : 0);
                reading.errorPercent = static_cast<float>(100.0 * sigma * (0.5 + noise.uniform()));
                result.readings.push_back(reading);
            }
        }
    }
    return result;
}

std::string gefFileText(const FieldSounding& sounding) {
    std::string text;
    char line[512];
    std::snprintf(line, sizeof line, "VES sounding, profile 1, point %d\r\n", sounding.plan.pointNumber);
    text += line;
    text += sounding.date + " " + sounding.time + "\r\n";
    text += "Schlumberger array, resistivity meter export\r\n";
    text += "nr t rhoa I U n K AB/2 AB MN/2 MN branch err\r\n";
    int elapsed = 0;
    for (const FieldReading& r : sounding.readings) {
        elapsed += 25 + 5 * r.stacks;
        const double a = r.ab2;
        const double m = r.mn2;
        const double geometricFactor = 3.14159265358979 * (a * a - m * m) / (2.0 * m);
        std::snprintf(line, sizeof line,
                      "%d %d %.3f %.1f %.4f %d %.3f %.2f %.2f %.2f %.2f %d %.2f\r\n", r.number, elapsed,
                      r.rhoA, r.currentMa, r.voltageMv, r.stacks, geometricFactor, r.ab2, 2.0 * a, r.mn2,
                      2.0 * m, r.branch, r.errorPercent);
        text += line;
    }
    return text;
}

}  // namespace orma::samplegen
