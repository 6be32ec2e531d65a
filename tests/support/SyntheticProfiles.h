#pragma once
// Profiles over known layered earths for the tests and benchmarks of the
// laterally constrained inversion: along the profile one interface dips
// smoothly and another steps, each point's composite is the earth's curve
// (the program's forward computation) with seeded noise; and the comparison
// of independent fits with the joint fit by their relative depth errors.

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "core/AutomaticStart.h"
#include "core/FitWorkspace.h"
#include "core/LateralInversion.h"
#include "tests/support/SyntheticSoundings.h"

namespace orma::test {

struct ProfileScenario {
    int points = 40;
    double spacing = 20.0;  ///< m between neighbours
    int gridPoints = 30;    ///< composite rows 0 .. gridPoints - 1
    double noise = 0.03;    ///< standard deviation of ln rhoA
    unsigned seed = 1;
    /// Layer resistivities (ohm-m) at the start of the profile.
    std::vector<double> resistivity = {100.0, 20.0, 300.0};
    /// Each layer's resistivity varies along the profile by up to this
    /// factor either way (one sine wave, shifted from layer to layer).
    double resistivityVariation = 1.2;
    /// Interface 1 dips smoothly from `dipTop` to `dipBottom` m (half a cosine
    /// wave over the profile); interface 2 steps from `stepTop` to
    /// `stepBottom` m in the middle of the profile.
    double dipTop = 4.0, dipBottom = 10.0;
    double stepTop = 25.0, stepBottom = 40.0;
    /// Depths of further interfaces (one more layer each), level along the profile.
    std::vector<double> deeperInterfaces;
};

/// The earth under point i of the scenario.
inline LayerModel scenarioEarth(const ProfileScenario& sc, int i) {
    const double t = sc.points > 1 ? static_cast<double>(i) / (sc.points - 1) : 0.0;
    const double pi = std::acos(-1.0);
    LayerModel earth;
    earth.interfaceCount = static_cast<int>(sc.resistivity.size()) - 1;
    for (std::size_t k = 0; k < sc.resistivity.size(); ++k) {
        const double wave = std::sin(2.0 * pi * (t + static_cast<double>(k) / 3.0));
        earth.resistivity[k] =
            static_cast<float>(sc.resistivity[k] * std::pow(sc.resistivityVariation, wave));
    }
    earth.depth[0] =
        static_cast<float>(sc.dipTop + (sc.dipBottom - sc.dipTop) * 0.5 * (1.0 - std::cos(pi * t)));
    earth.depth[1] = static_cast<float>(2 * i < sc.points ? sc.stepTop : sc.stepBottom);
    for (std::size_t k = 0; k < sc.deeperInterfaces.size(); ++k)
        earth.depth[k + 2] = static_cast<float>(sc.deeperInterfaces[k]);
    earth.depth[earth.interfaceCount] = kHalfSpaceDepth;
    return earth;
}

/// The profile's soundings: noisy composites at chainage i * spacing, no model.
inline std::vector<LciSounding> scenarioSoundings(const ProfileScenario& sc) {
    std::mt19937 rng(sc.seed);
    std::vector<LciSounding> soundings;
    for (int i = 0; i < sc.points; ++i) {
        LciSounding item;
        item.name = "VES " + std::to_string(i);
        item.chainage = i * sc.spacing;
        item.sounding = noisySounding(scenarioEarth(sc, i), rng, sc.noise, sc.gridPoints);
        soundings.push_back(std::move(item));
    }
    return soundings;
}

/// Independent fits: every sounding gets the automatic start's best fit.
inline void fitIndependently(std::vector<LciSounding>& soundings, int layers) {
    auto ws = std::make_unique<FitWorkspace>();
    for (LciSounding& item : soundings) fitFromAutomaticStart(*item.sounding, *ws, layers);
}

inline std::vector<LciSounding> copySoundings(const std::vector<LciSounding>& from) {
    std::vector<LciSounding> copy;
    for (const LciSounding& item : from) {
        LciSounding c;
        c.name = item.name;
        c.chainage = item.chainage;
        c.sounding = std::make_unique<Sounding>(*item.sounding);
        copy.push_back(std::move(c));
    }
    return copy;
}

/// The median and 90th percentile (nearest rank) of `values`.
struct ErrorFigures {
    double median = 0.0;
    double p90 = 0.0;
};

inline ErrorFigures errorFigures(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const auto rank = [&](double q) {
        const auto i = static_cast<std::size_t>(std::ceil(q * static_cast<double>(values.size()))) - 1;
        return values[std::min(i, values.size() - 1)];
    };
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
    return {median, rank(0.9)};
}

/// |fitted - true| / true of interface `index` at every point.
inline std::vector<double> relativeDepthErrors(const ProfileScenario& sc,
                                               const std::vector<LciSounding>& fitted, int index) {
    std::vector<double> errors;
    for (int i = 0; i < sc.points; ++i) {
        const double truth = scenarioEarth(sc, i).depth[index];
        errors.push_back(std::fabs(fitted[i].sounding->model.depth[index] - truth) / truth);
    }
    return errors;
}

inline double totalSsq(const std::vector<LciSounding>& soundings) {
    double sum = 0.0;
    for (const LciSounding& item : soundings) sum += item.sounding->ssq;
    return sum;
}

}  // namespace orma::test
