// The band of the equivalent models: the envelope of their step lines and
// of their curves holds every one of them, and is no wider than they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <random>

#include "EngineFixtures.h"
#include "core/EquivalentBand.h"
#include "core/Forward.h"
#include "core/GlobalFit.h"
#include "support/SyntheticSoundings.h"

namespace orma {
namespace {

/// A model's resistivity at `depth` (the layer whose top lies above it).
float resistivityAt(const ModelValues& m, double depth) {
    int k = 0;
    while (k < m.interfaceCount && static_cast<double>(m.depth[static_cast<std::size_t>(k)]) <= depth) ++k;
    return m.resistivity[static_cast<std::size_t>(k)];
}

const BandStep& stepAt(const std::vector<BandStep>& steps, double depth) {
    for (const BandStep& s : steps)
        if (depth >= s.top && depth < s.bottom) return s;
    return steps.back();
}

ModelValues randomModel(std::mt19937& rng, int interfaces) {
    std::uniform_real_distribution<double> logRho(0.0, 3.5), logDepth(-0.5, 2.0);
    ModelValues m;
    m.interfaceCount = interfaces;
    std::vector<double> depths;
    for (int k = 0; k < interfaces; ++k) depths.push_back(std::pow(10.0, logDepth(rng)));
    std::sort(depths.begin(), depths.end());
    for (int k = 0; k <= interfaces; ++k) {
        m.resistivity[static_cast<std::size_t>(k)] = static_cast<float>(std::pow(10.0, logRho(rng)));
        if (k < interfaces) m.depth[static_cast<std::size_t>(k)] = static_cast<float>(depths[static_cast<std::size_t>(k)]);
    }
    return m;
}

TEST(EquivalentBand, TheStepLineEnvelopeHoldsEveryModelAndTouchesItsExtremes) {
    std::mt19937 rng(7);
    std::vector<ModelValues> models;
    for (int i = 0; i < 40; ++i) models.push_back(randomModel(rng, 1 + i % 5));
    const std::vector<BandStep> steps = stepLineEnvelope(models);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front().top, 0.0);
    EXPECT_TRUE(std::isinf(steps.back().bottom));
    for (std::size_t i = 1; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].top, steps[i - 1].bottom) << "steps meet";
        EXPECT_TRUE(steps[i].minResistivity != steps[i - 1].minResistivity ||
                    steps[i].maxResistivity != steps[i - 1].maxResistivity)
            << "equal neighbours are one step";
    }
    // At depths all over the range (and exactly at interfaces): the least and
    // the greatest resistivity of the models there, no more, no less.
    std::vector<double> probes;
    for (double d = 0.05; d < 300.0; d *= 1.07) probes.push_back(d);
    for (const ModelValues& m : models)
        for (int k = 0; k < m.interfaceCount; ++k) probes.push_back(m.depth[static_cast<std::size_t>(k)]);
    for (double depth : probes) {
        float low = resistivityAt(models[0], depth), high = low;
        for (const ModelValues& m : models) {
            low = std::min(low, resistivityAt(m, depth));
            high = std::max(high, resistivityAt(m, depth));
        }
        const BandStep& step = stepAt(steps, depth);
        EXPECT_EQ(step.minResistivity, low) << "at " << depth << " m";
        EXPECT_EQ(step.maxResistivity, high) << "at " << depth << " m";
    }
}

TEST(EquivalentBand, OneModelIsItsOwnEnvelopeAndNoModelsNone) {
    EXPECT_TRUE(stepLineEnvelope({}).empty());
    ModelValues m;
    m.interfaceCount = 2;
    m.resistivity = {50, 5, 500};
    m.depth = {2, 12};
    const std::vector<BandStep> steps = stepLineEnvelope({m});
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].top, 2.0);
    EXPECT_EQ(steps[1].bottom, 12.0);
    EXPECT_EQ(steps[1].minResistivity, 5.0f);
    EXPECT_EQ(steps[1].maxResistivity, 5.0f);
}

TEST(EquivalentBand, TheCurveEnvelopeOfAGlobalFitHoldsEveryEquivalentCurveAndStopsOnCancel) {
    std::mt19937 rng(11);
    const LayerModel earth = test::randomEarth(3, rng);
    std::unique_ptr<Sounding> s = test::noisySounding(earth, rng, 0.03);
    s->model = LayerModel{};
    GlobalFitOptions options;
    options.layers = 3;
    options.starts = 24;
    const GlobalFitSummary found = fitGlobally(*s, options);
    ASSERT_TRUE(found.outcome) << found.outcome.text();
    const std::vector<ModelValues>& models = found.equivalent.models;
    ASSERT_GE(models.size(), 2u);
    CurveEnvelope envelope;
    ASSERT_TRUE(curveEnvelope(*s, models, {}, envelope));
    EXPECT_EQ(envelope.first, s->minGridIndex);
    EXPECT_EQ(envelope.last, s->maxGridIndex);
    auto scratch = std::make_unique<Sounding>(*s);
    bool wide = false;
    for (const ModelValues& m : models) {
        scratch->model = LayerModel{};
        scratch->model.interfaceCount = m.interfaceCount;
        scratch->model.resistivity = m.resistivity;
        scratch->model.depth = m.depth;
        scratch->model.depth[static_cast<std::size_t>(m.interfaceCount)] = kHalfSpaceDepth;
        ASSERT_EQ(computeForward(*scratch), kSuccess);
        for (int k = envelope.first; k <= envelope.last; ++k) {
            const auto row = static_cast<std::size_t>(k);
            ASSERT_TRUE(envelope.valid[row]);
            EXPECT_LE(envelope.min[row], scratch->computedRho[row]);
            EXPECT_GE(envelope.max[row], scratch->computedRho[row]);
            wide = wide || envelope.max[row] > envelope.min[row];
        }
    }
    EXPECT_TRUE(wide) << "different models give different curves somewhere";

    std::atomic<bool> cancel{true};
    EXPECT_FALSE(curveEnvelope(*s, models, {}, envelope, &cancel));
}

}  // namespace
}  // namespace orma
