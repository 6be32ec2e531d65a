#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "core/AutomaticStart.h"
#include "core/Fit.h"
#include "core/Forward.h"
#include "support/SyntheticSoundings.h"

namespace orma {
namespace {

using test::noisySounding;
using test::randomEarth;

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

TEST(AutomaticStart, MoreLayersNeverFitWorse) {
    // The fits of n layers start, among others, from the best model of
    // n - 1 layers with one layer split in two, the same curve: so their SSQ
    // never ends above it (beyond the rounding of the stored floats).
    std::mt19937 rng(4242);
    auto workspace = std::make_unique<FitWorkspace>();
    for (int n = 0; n < 6; ++n) {
        const auto sounding = noisySounding(randomEarth(3 + n % 2, rng), rng, 0.03);
        double fewer = INFINITY;
        for (int layers = 1; layers <= 5; ++layers) {
            Sounding trial = *sounding;
            const AutomaticFit fit = fitFromAutomaticStart(trial, *workspace, layers);
            SCOPED_TRACE(testing::Message() << "sounding " << n << ", " << layers << " layers");
            ASSERT_EQ(trial.model.layerCount(), layers);
            EXPECT_LE(fit.summary.ssq, fewer * (1 + 1e-6));
            fewer = fit.summary.ssq;
        }
    }
}

TEST(AutomaticStart, SameEarthSplitsKeepTheCurve) {
    auto s = noisySounding(randomEarth(3, *std::make_unique<std::mt19937>(3)), *std::make_unique<std::mt19937>(4));
    LayerModel model;
    model.interfaceCount = 2;
    model.resistivity = {80, 900, 15};
    model.depth = {2.5f, 14, kHalfSpaceDepth};
    s->model = model;
    ASSERT_EQ(computeForward(*s), kSuccess);
    const auto curve = s->computedRho;
    const std::vector<LayerModel> splits = sameEarthSplits(model, 300.0);
    ASSERT_EQ(splits.size(), 3u);
    for (const LayerModel& split : splits) {
        EXPECT_EQ(split.layerCount(), 4);
        s->model = split;
        ASSERT_EQ(computeForward(*s), kSuccess);
        for (int k = s->minGridIndex; k <= s->maxGridIndex; ++k) EXPECT_NEAR(s->computedRho[k], curve[k], 1e-4 * curve[k]);
    }
    // The half-space splits three times below its top.
    EXPECT_FLOAT_EQ(splits[2].depth[2], 42.0f);
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
