// The global fit: many starts, the best kept, the equivalent models met on the way.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "EngineFixtures.h"
#include "core/FilterReach.h"
#include "core/Fit.h"
#include "core/GlobalFit.h"
#include "core/StartSampling.h"
#include "support/SyntheticSoundings.h"

namespace orma {
namespace {

using test::setCompositeFromModel;
using test::soundingWithModel;

/// A K-type curve (100, 1000, 10 ohm-m; interfaces at 2 and 10 m) with about
/// 1 % of fixed "noise", without a model.
std::unique_ptr<Sounding> kTypeSounding() {
    auto s = soundingWithModel({100, 1000, 10}, {2, 10}, 0, 27);
    setCompositeFromModel(*s);
    for (int k = 0; k <= 27; ++k) s->branches.shiftedRho[k][0] *= static_cast<float>(1.0 + 0.01 * std::sin(2.7 * k + 0.4));
    s->model = LayerModel{};
    return s;
}

/// The H-type start from which the fit stalls on that curve.
LayerModel hTypeStart() {
    return soundingWithModel({100, 10, 1000}, {2, 10})->model;
}

bool sameLayeredModel(const LayerModel& a, const LayerModel& b) {
    return a.interfaceCount == b.interfaceCount && a.resistivity == b.resistivity && a.depth == b.depth;
}

TEST(GlobalFit, FindsTheMinimumTheFitFromAWrongStartMisses) {
    // Started H-type (the middle layer conductive) the fit stalls far from
    // the K-type answer; the global fit, its own start included, finds it.
    auto s = kTypeSounding();
    Sounding truth = *s;
    truth.model = soundingWithModel({100, 1000, 10}, {2, 10})->model;
    auto ws = std::make_unique<FitWorkspace>();
    ComputationOptions converged;
    converged.fitUntilConverged = true;
    fitModel(truth, *ws, converged);

    s->model = hTypeStart();
    Sounding single = *s;
    fitModel(single, *ws, converged);
    ASSERT_GT(single.ssq, 100 * truth.ssq);

    GlobalFitOptions options;
    options.automaticStart = false;
    options.starts = 32;
    const GlobalFitSummary summary = fitGlobally(*s, options);
    ASSERT_TRUE(summary.outcome) << summary.outcome.text();
    EXPECT_FALSE(summary.cancelled);
    // The given model, 32 spread starts and the hops from the best 8 fits.
    EXPECT_EQ(summary.startsTotal, 33 + 8 * 10);
    EXPECT_EQ(summary.startsRun, summary.startsTotal);
    EXPECT_NE(summary.bestKind, StartKind::Given);
    EXPECT_LE(s->ssq, truth.ssq * 1.001);
    EXPECT_EQ(s->ssq, summary.best.ssq);
    EXPECT_NEAR(s->model.resistivity[1], 1000.0, 50.0);
    // The record holds the winner's own curve, as after a fit.
    Sounding recomputed = *s;
    ASSERT_EQ(computeForward(recomputed), kSuccess);
    EXPECT_EQ(recomputed.ssq, s->ssq);
    EXPECT_EQ(recomputed.computedRho, s->computedRho);
}

TEST(GlobalFit, HeldValuesStayHeldInEveryStartAndEveryEquivalentModel) {
    auto s = kTypeSounding();
    s->model = hTypeStart();
    s->model.resistivityFixed[0] = 1;
    s->model.depthFixed[1] = 1;
    const LayerModel held = s->model;
    GlobalFitOptions options;
    options.starts = 24;
    const GlobalFitSummary summary = fitGlobally(*s, options);
    ASSERT_TRUE(summary.outcome) << summary.outcome.text();
    EXPECT_EQ(s->model.resistivity[0], 100.0f);
    EXPECT_FLOAT_EQ(s->model.depth[1], 10.0f);
    EXPECT_EQ(s->model.resistivityFixed, held.resistivityFixed);
    EXPECT_EQ(s->model.depthFixed, held.depthFixed);
    ASSERT_FALSE(summary.equivalent.models.empty());
    for (const ModelValues& m : summary.equivalent.models) {
        EXPECT_EQ(m.resistivity[0], 100.0f);
        EXPECT_FLOAT_EQ(m.depth[1], 10.0f);
    }

    // A held thickness, likewise; the sampled starts get it too.
    std::optional<StartBox> box = startBoxFor(*s);
    ASSERT_TRUE(box);
    LayerModel thick = held;
    thick.resistivityFixed = {};
    thick.depthFixed = {};
    thick.thicknessFixed[0] = 1;
    for (LayerModel start : latinHypercubeStarts(*box, 3, 16, 5)) {
        imposeHeldValues(start, thick);
        EXPECT_NEAR(start.thickness(0), thick.thickness(0), 1e-6);
        EXPECT_EQ(start.thicknessFixed[0], 1);
    }
    s->model = thick;
    ASSERT_TRUE(fitGlobally(*s, options).outcome);
    EXPECT_NEAR(s->model.thickness(0), 2.0, 1e-5);
}

TEST(GlobalFit, SameSeedSameAnswerWhateverTheThreads) {
    std::mt19937 rng(77);
    const auto s = test::noisySounding(test::randomEarth(4, rng), rng);
    GlobalFitOptions options;
    options.layers = 4;
    options.starts = 24;
    options.seed = 12345;
    std::unique_ptr<Sounding> first;
    GlobalFitSummary reference;
    for (unsigned threads : {1u, 2u, 3u}) {
        SCOPED_TRACE(threads);
        auto trial = std::make_unique<Sounding>(*s);
        options.threads = threads;
        const GlobalFitSummary summary = fitGlobally(*trial, options);
        ASSERT_TRUE(summary.outcome);
        if (!first) {
            first = std::move(trial);
            reference = summary;
            continue;
        }
        EXPECT_TRUE(sameLayeredModel(trial->model, first->model));
        EXPECT_EQ(trial->ssq, first->ssq);
        EXPECT_EQ(summary.bestStart, reference.bestStart);
        EXPECT_EQ(summary.linearisations, reference.linearisations);
        ASSERT_EQ(summary.equivalent.models.size(), reference.equivalent.models.size());
        for (std::size_t i = 0; i < summary.equivalent.models.size(); ++i) {
            EXPECT_EQ(summary.equivalent.models[i].ssq, reference.equivalent.models[i].ssq);
            EXPECT_EQ(summary.equivalent.models[i].resistivity, reference.equivalent.models[i].resistivity);
        }
    }
    // Another seed draws other starts.
    options.seed = 12346;
    auto other = std::make_unique<Sounding>(*s);
    EXPECT_TRUE(fitGlobally(*other, options).outcome);
}

TEST(GlobalFit, EquivalentModelsHoldTheBestAndOnlyModelsWithinTheFactor) {
    auto s = kTypeSounding();
    GlobalFitOptions options;
    options.layers = 4;  // one layer more than the earth: many models fit as well
    options.starts = 24;
    options.equivalenceFactor = 1.1;
    const GlobalFitSummary summary = fitGlobally(*s, options);
    ASSERT_TRUE(summary.outcome);
    const EquivalentModels& set = summary.equivalent;
    ASSERT_GT(set.models.size(), 1u);
    EXPECT_EQ(set.bestSsq, s->ssq);
    EXPECT_DOUBLE_EQ(set.threshold, 1.1 * s->ssq);
    EXPECT_GE(set.candidates, static_cast<int>(set.models.size()));
    // The best comes first, as stored in the record.
    EXPECT_EQ(set.models.front().ssq, s->ssq);
    EXPECT_EQ(set.models.front().resistivity, s->model.resistivity);
    for (std::size_t i = 0; i < set.models.size(); ++i) {
        const ModelValues& m = set.models[i];
        EXPECT_LE(m.ssq, set.threshold);
        if (i > 0) {
            EXPECT_GE(m.ssq, set.models[i - 1].ssq);
        }
        // Each kept model's values lie within the spans, and the SSQ is its own.
        for (int l = 0; l <= 3; ++l) {
            EXPECT_GE(m.resistivity[l], set.resistivity[l].min);
            EXPECT_LE(m.resistivity[l], set.resistivity[l].max);
        }
        Sounding check = *s;
        check.model.resistivity = m.resistivity;
        check.model.depth = m.depth;
        ASSERT_EQ(computeForward(check), kSuccess);
        EXPECT_NEAR(check.ssq, m.ssq, 1e-4 * m.ssq);
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(sameModelWithin(set.models[j], m, set.tolerance));
    }
    EXPECT_LT(set.depth[1].min, set.depth[1].max);
}

ModelValues metModel(std::initializer_list<float> rho, std::initializer_list<float> depth, double ssq) {
    ModelValues m;
    m.interfaceCount = static_cast<int>(depth.size());
    std::copy(rho.begin(), rho.end(), m.resistivity.begin());
    std::copy(depth.begin(), depth.end(), m.depth.begin());
    m.depth[depth.size()] = kHalfSpaceDepth;
    m.ssq = ssq;
    return m;
}

TEST(EquivalentModels, KeepsTheBetterOfNearModelsAndLeavesOutWhatDoesNotQualify) {
    const std::vector<ModelValues> met = {
        metModel({100, 10}, {5}, 1.04),
        metModel({100.5f, 10}, {5.02f}, 1.01),  // within 1 % of the first in every value: a duplicate
        metModel({100, 10}, {6}, 1.00),           // the best
        metModel({100, 10}, {5.8f}, 1.06),        // above the factor
        metModel({100, 10, 30}, {5, 9}, 1.00),    // another layer count
        metModel({1e13f, 10}, {5}, 1.02),         // beyond the value limits
        metModel({100, 10}, {5.04f}, 1.01),       // ties with the second: met later, still a duplicate of it
        metModel({100, 12}, {5}, 1.03),           // differs by 18 % in rho2: its own model
    };
    const EquivalentModels set = selectEquivalentModels(met, 1.0, 1.05, 0.01);
    ASSERT_EQ(set.models.size(), 3u);
    EXPECT_EQ(set.candidates, 5);
    EXPECT_EQ(set.models[0].ssq, 1.00);
    EXPECT_FLOAT_EQ(set.models[1].resistivity[0], 100.5f);  // the better of the two near ones
    EXPECT_FLOAT_EQ(set.models[2].resistivity[1], 12.0f);
    EXPECT_DOUBLE_EQ(set.resistivity[1].min, 10.0);
    EXPECT_DOUBLE_EQ(set.resistivity[1].max, 12.0);
    EXPECT_DOUBLE_EQ(set.depth[0].min, 5.0);
    EXPECT_DOUBLE_EQ(set.depth[0].max, 6.0);
    EXPECT_DOUBLE_EQ(set.thickness[0].max, 6.0);
    // A tolerance of 0 keeps every distinct model.
    EXPECT_EQ(selectEquivalentModels(met, 1.0, 1.05, 0.0).models.size(), 5u);
}

TEST(GlobalFit, HopsChangeOneFreeValueAtATimeAndKeepTheHeldOnes) {
    LayerModel fitted = soundingWithModel({100, 10, 1000}, {2, 10})->model;
    LayerModel held = fitted;
    held.resistivityFixed[0] = 1;
    held.depthFixed[1] = 1;
    // Free: rho2, rho3 and h1 (h2 lies above the held depth).
    ASSERT_EQ(freeValueCount(held), 3);
    const std::vector<LayerModel> hops = hopStarts(fitted, held, 30.0);
    ASSERT_EQ(hops.size(), 6u);
    // h1 up by 30 would pass the held depth: the layer below keeps 1 mm.
    EXPECT_NEAR(hops[0].thickness(0), 9.999, 1e-5);
    EXPECT_NEAR(hops[1].thickness(0), 2.0 / 30.0, 1e-6);
    EXPECT_FLOAT_EQ(hops[2].resistivity[1], 300.0f);
    EXPECT_FLOAT_EQ(hops[3].resistivity[1], 10.0f / 30.0f);
    EXPECT_FLOAT_EQ(hops[4].resistivity[2], 30000.0f);
    EXPECT_FLOAT_EQ(hops[5].resistivity[2], 1000.0f / 30.0f);
    for (const LayerModel& hop : hops) {
        EXPECT_EQ(hop.resistivity[0], 100.0f);
        EXPECT_EQ(hop.depth[1], 10.0f);
        EXPECT_EQ(hop.resistivityFixed, held.resistivityFixed);
        EXPECT_GT(hop.thickness(1), 0.0);
    }
}

TEST(GlobalFit, CancelStopsEarlyWithTheBestSoFar) {
    auto s = kTypeSounding();
    std::atomic<bool> cancel{false};
    int told = 0;
    GlobalFitOptions options;
    options.layers = 3;
    options.starts = 40;
    options.cancel = &cancel;
    options.progress = [&](int done, int total) {
        EXPECT_EQ(done, ++told);
        EXPECT_EQ(total, 41 + 8 * 10);  // the automatic start, 40 spread, the hops planned
        if (done == 5) cancel = true;
    };
    const GlobalFitSummary summary = fitGlobally(*s, options);
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.startsRun, 5);
    EXPECT_EQ(told, 5);
    ASSERT_GE(summary.bestStart, 0);
    EXPECT_LT(summary.bestStart, 5);
    EXPECT_EQ(s->ssq, summary.best.ssq);
    EXPECT_EQ(s->model.interfaceCount, 2);
}

TEST(FilterReach, StopsModelsWhoseCurveTheShortFilterGetsGrosslyWrong) {
    auto s = kTypeSounding();
    const auto model = [](std::initializer_list<float> rho, std::initializer_list<float> depth) {
        return soundingWithModel(rho, depth)->model;
    };
    const ComputationOptions standard;
    ComputationOptions accurate;
    accurate.accurateForward = true;
    // Within reach: the earth itself (about 3 % off), a basement 30 times
    // more conductive (3 %), a thin top layer 30 times more resistive.
    EXPECT_TRUE(withinFilterReach(*s, model({100, 1000, 10}, {2, 10}), standard));
    EXPECT_TRUE(withinFilterReach(*s, model({100, 3.3f}, {5}), standard));
    EXPECT_TRUE(withinFilterReach(*s, model({3000, 100}, {0.5f}), standard));
    // Beyond: a basement 100 times more conductive (10 % off), 1000 times
    // (70 %), a thin top layer 80 000 ohm-m over 300.
    EXPECT_FALSE(withinFilterReach(*s, model({100, 1}, {5}), standard));
    EXPECT_FALSE(withinFilterReach(*s, model({100, 0.1f}, {5}), standard));
    EXPECT_FALSE(withinFilterReach(*s, model({84400, 307, 116}, {0.45f, 8.6f}), standard));
    // The accurate filter needs no check.
    EXPECT_TRUE(withinFilterReach(*s, model({100, 0.1f}, {5}), accurate));
}

TEST(GlobalFit, RefusesWhatCannotBeFitted) {
    Sounding empty;
    empty.maxGridIndex = 10;
    GlobalFitOptions options;
    options.layers = 3;
    EXPECT_EQ(fitGlobally(empty, options).outcome.message, "There is no composite curve to fit the model to.");
    auto s = kTypeSounding();
    for (int layers : {-1, 31}) {
        options.layers = layers;
        EXPECT_FALSE(fitGlobally(*s, options).outcome);
    }
    options.layers = 0;  // the sounding's model decides, and there is none
    EXPECT_FALSE(fitGlobally(*s, options).outcome);
    options.layers = 3;
    options.equivalenceFactor = 0.9;
    EXPECT_FALSE(fitGlobally(*s, options).outcome);
    // A model the fit refuses is refused here too, the record untouched.
    options.equivalenceFactor = 1.05;
    s->model = hTypeStart();
    s->model.resistivity[1] = -5.0f;
    const LayerModel before = s->model;
    const GlobalFitSummary refused = fitGlobally(*s, options);
    EXPECT_FALSE(refused.outcome);
    EXPECT_TRUE(sameLayeredModel(s->model, before));
}

}  // namespace
}  // namespace orma
