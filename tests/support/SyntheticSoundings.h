#pragma once
// Soundings over known layered earths, with noise, for the tests and the
// benchmarks of the automatic interpretation: the earth, its noisy composite
// curve in memory, or a GEF file of three overlapping branches.

#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "core/Forward.h"
#include "core/Sounding.h"

namespace orma::test {

/// A random layered earth as field surveys meet them: resistivities 3..3000
/// ohm-m with neighbours differing by a factor of 2 or more, the first
/// interface at 1..6 m and each next one 2.5..8 times deeper.
inline LayerModel randomEarth(int layers, std::mt19937& rng) {
    std::uniform_real_distribution<double> logStep(0.3, 1.2), firstDepth(0.0, std::log10(6.0)),
        depthRatio(std::log10(2.5), std::log10(8.0)), logStart(0.5, 3.5);
    std::bernoulli_distribution up(0.5);
    LayerModel m;
    m.interfaceCount = layers - 1;
    double logR = logStart(rng);
    double depth = std::pow(10.0, firstDepth(rng));
    for (int i = 0; i < layers; ++i) {
        m.resistivity[i] = static_cast<float>(std::pow(10.0, logR));
        double next = logR + (up(rng) ? 1 : -1) * logStep(rng);
        if (next < 0.5 || next > 3.5) next = 2 * logR - next;  // reflect into the range
        logR = next;
        if (i < m.interfaceCount) {
            m.depth[i] = static_cast<float>(depth);
            depth *= std::pow(10.0, depthRatio(rng));
        }
    }
    m.depth[m.interfaceCount] = kHalfSpaceDepth;
    return m;
}

/// The earth's curve on grid points 0 .. points-1 (exact grid spacings).
inline std::array<float, kGridSlots> earthCurve(const LayerModel& earth, int points) {
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = 0;
    s->maxGridIndex = points - 1;
    s->model = earth;
    computeForward(*s);
    return s->computedRho;
}

/// A sounding whose composite is the earth's curve with multiplicative
/// Gaussian noise (standard deviation `noise` in ln), without a model.
inline std::unique_ptr<Sounding> noisySounding(const LayerModel& earth, std::mt19937& rng, double noise = 0.02,
                                               int points = 30) {
    const auto curve = earthCurve(earth, points);
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = 0;
    s->maxGridIndex = points - 1;
    std::normal_distribution<double> error(0.0, noise);
    for (int k = 0; k < points; ++k) s->branches.shiftedRho[k][0] = static_cast<float>(curve[k] * std::exp(error(rng)));
    return s;
}

/// A GEF file of the earth on grid points 0 .. points-1 in three branches
/// (MN/2 0.5, 2 and 10 m) overlapping by three spacings, branches 1 and 3
/// off the level of branch 2 by a few percent, with noise.
inline std::string syntheticGefText(const LayerModel& earth, std::mt19937& rng, double noise = 0.02,
                                    int points = 30) {
    const auto curve = earthCurve(earth, points);
    std::normal_distribution<double> error(0.0, noise);
    std::ostringstream out;
    out.precision(7);
    out << "synthetic sounding\r\n01.06.2024 10:00\r\nheader 3\r\nheader 4\r\n";
    const int third = points / 3;
    const struct {
        int first, last;
        double mn2, level;
    } branches[] = {{0, third + 1, 0.5, 0.93}, {third - 1, 2 * third + 1, 2.0, 1.0}, {2 * third - 1, points - 1, 10.0, 1.06}};
    for (int b = 0; b < 3; ++b) {
        for (int k = branches[b].first; k <= branches[b].last; ++k) {
            const double rho = curve[k] * branches[b].level * std::exp(error(rng));
            out << "1 2 " << rho << " 4 5 1 7 " << abGridValue(k) << " 9 " << branches[b].mn2 << " 11 " << b + 1
                << " 13\r\n";
        }
    }
    return out.str();
}

}  // namespace orma::test
