#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "core/AutomaticStart.h"
#include "core/Fit.h"
#include "core/Forward.h"

namespace orma {
namespace {

/// A random layered earth of `layers` layers as field surveys meet them:
/// resistivities 3..3000 ohm-m with neighbours differing by a factor of 2 or
/// more, the first interface at 1..6 m and each next one 2.5..8 times deeper.
LayerModel randomEarth(int layers, std::mt19937& rng) {
    std::uniform_real_distribution<double> logRho(0.5, 3.5), logStep(0.3, 1.2), firstDepth(0.0, std::log10(6.0)),
        depthRatio(std::log10(2.5), std::log10(8.0));
    std::bernoulli_distribution up(0.5);
    LayerModel m;
    m.interfaceCount = layers - 1;
    double logR = logRho(rng);
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

/// The earth's curve on grid points 0..29 with 2 % multiplicative noise as composite.
std::unique_ptr<Sounding> noisySounding(const LayerModel& earth, std::mt19937& rng) {
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = 0;
    s->maxGridIndex = 29;
    s->model = earth;
    EXPECT_EQ(computeForward(*s), kSuccess);
    std::normal_distribution<double> noise(0.0, 0.02);
    for (int k = 0; k <= 29; ++k) s->branches.shiftedRho[k][0] = static_cast<float>(s->computedRho[k] * std::exp(noise(rng)));
    s->model = LayerModel{};
    return s;
}

TEST(AutomaticStart, ReachesTheFitFromTheTrueModelOnNoisySoundings) {
    std::mt19937 rng(20240611);
    auto workspace = std::make_unique<FitWorkspace>();
    constexpr int kSoundings = 100;
    int good = 0;
    std::string misses;
    for (int n = 0; n < kSoundings; ++n) {
        const LayerModel earth = randomEarth(4, rng);
        const auto sounding = noisySounding(earth, rng);

        Sounding fromTruth = *sounding;
        fromTruth.model = earth;
        const FitSummary reference = fitModel(fromTruth, *workspace);

        const AutomaticFit automatic = fitFromAutomaticStart(*sounding, *workspace, 4);
        ASSERT_EQ(sounding->model.interfaceCount, 3);
        EXPECT_EQ(automatic.summary.ssq, sounding->ssq);
        // The record holds the winning model's own curve.
        Sounding recomputed = *sounding;
        ASSERT_EQ(computeForward(recomputed), kSuccess);
        EXPECT_EQ(recomputed.ssq, sounding->ssq);
        if (automatic.summary.ssq <= 1.5 * reference.ssq) {
            ++good;
        } else {
            misses += " #" + std::to_string(n) + ": " + std::to_string(automatic.summary.ssq) + " against " +
                      std::to_string(reference.ssq);
        }
    }
    std::printf("good automatic fits: %d of %d\n", good, kSoundings);
    EXPECT_GE(good, kSoundings * 9 / 10) << misses;
}

TEST(AutomaticStart, RefusesWhatCannotBeFitted) {
    Sounding empty;
    empty.maxGridIndex = 10;
    auto workspace = std::make_unique<FitWorkspace>();
    EXPECT_EQ(fitFromAutomaticStart(empty, *workspace, 3).summary.status, FitStatus::NoComposite);
    std::mt19937 rng(1);
    const auto sounding = noisySounding(randomEarth(3, rng), rng);
    for (int layers : {0, 31}) {
        const AutomaticFit refused = fitFromAutomaticStart(*sounding, *workspace, layers);
        EXPECT_EQ(refused.summary.status, FitStatus::InvalidModel);
        EXPECT_EQ(sounding->model.interfaceCount, 0);
    }
    // A single composite point still gives a model of the layers asked for.
    Sounding onePoint;
    onePoint.minGridIndex = onePoint.maxGridIndex = 5;
    onePoint.branches.shiftedRho[5][0] = 42.0f;
    EXPECT_NE(fitFromAutomaticStart(onePoint, *workspace, 3).summary.status, FitStatus::InvalidModel);
    EXPECT_EQ(onePoint.model.interfaceCount, 2);
}

}  // namespace
}  // namespace orma
