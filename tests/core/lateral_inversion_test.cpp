// The joint fit of a profile (laterally constrained inversion): known earths
// recovered, held values held, points that cannot take part named and left
// alone, the same answer on any number of threads, and on a generated profile
// better depths than independent fits at a data misfit close to theirs.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>

#include "EngineFixtures.h"
#include "core/Forward.h"
#include "core/LateralInversion.h"
#include "tests/support/SyntheticProfiles.h"

namespace orma {
namespace {

/// `count` soundings 25 m apart over one three-layer earth (curves by the
/// forward computation the options choose, no noise), each starting from a
/// model off the earth by 30 % in resistivity and 20 % in depth.
std::vector<LciSounding> offsetProfile(int count, const ComputationOptions& options = {}) {
    std::vector<LciSounding> soundings;
    for (int i = 0; i < count; ++i) {
        LciSounding item;
        item.name = "VES " + std::to_string(i);
        item.chainage = 25.0 * i;
        item.sounding = test::soundingWithModel({120.0f, 25.0f, 400.0f}, {4.0f, 18.0f}, 0, 27);
        computeForward(*item.sounding, options);
        for (int k = 0; k <= 27; ++k)
            item.sounding->branches.shiftedRho[k][0] = item.sounding->computedRho[k];
        test::setModel(*item.sounding, {156.0f, 19.0f, 300.0f}, {3.2f + 0.1f * i, 21.6f});
        soundings.push_back(std::move(item));
    }
    return soundings;
}

TEST(LateralInversion, RecoversAKnownEarthByEitherFilter) {
    for (const bool accurate : {false, true}) {
        SCOPED_TRACE(accurate ? "accurate filter" : "standard filter");
        LateralInversionOptions options;
        options.computation.accurateForward = accurate;
        const int points = accurate ? 3 : 5;
        std::vector<LciSounding> soundings = offsetProfile(points, options.computation);
        LateralInversionSummary summary;
        const Outcome run = runLateralInversion(soundings, 3, options, summary);
        ASSERT_TRUE(run.ok) << run.text();
        EXPECT_EQ(summary.points, points);
        EXPECT_EQ(summary.parameters, 5 * points);
        // Five plain ties per link, a bend tie of each interface per two links.
        EXPECT_EQ(summary.constraintRows, 5 * (points - 1) + 2 * (points - 2));
        EXPECT_GT(summary.startDataSsq, 0.1);
        EXPECT_LT(summary.dataSsq, 1e-5);
        EXPECT_LT(summary.objective, summary.startObjective);
        double total = 0.0;
        for (const LciSounding& item : soundings) {
            const LayerModel& m = item.sounding->model;
            EXPECT_NEAR(m.depth[0], 4.0f, 0.02f) << item.name;
            EXPECT_NEAR(m.depth[1], 18.0f, 0.1f) << item.name;
            EXPECT_NEAR(m.resistivity[1], 25.0f, 0.2f) << item.name;
            // The record holds the final model's own curve and SSQ.
            EXPECT_DOUBLE_EQ(item.sounding->ssq, computeSsq(*item.sounding));
            total += item.sounding->ssq;
        }
        EXPECT_NEAR(summary.dataSsq, total, 1e-12);
    }
}

TEST(LateralInversion, HeldValuesStayHeldAndPullTheirNeighbours) {
    std::vector<LciSounding> soundings = offsetProfile(5);
    // Point 2 holds a top resistivity and a first depth the data do not want.
    LayerModel& held = soundings[2].sounding->model;
    held.resistivity[0] = 90.0f;
    held.resistivityFixed[0] = 1;
    held.depth[0] = 4.7f;
    held.depthFixed[0] = 1;
    LateralInversionSummary summary;
    ASSERT_TRUE(runLateralInversion(soundings, 3, {}, summary).ok);
    EXPECT_EQ(summary.parameters, 23);
    EXPECT_EQ(held.resistivity[0], 90.0f);
    EXPECT_EQ(held.depth[0], 4.7f);
    EXPECT_EQ(held.resistivityFixed[0], 1);
    EXPECT_EQ(held.depthFixed[0], 1);
    EXPECT_LE(held.depth[0], held.depth[1]);
    // The free neighbours lean toward the held depth; the far ends less so.
    const float near = soundings[1].sounding->model.depth[0];
    const float far = soundings[4].sounding->model.depth[0];
    EXPECT_GT(near, far);
    EXPECT_GT(near, 4.0f);
}

TEST(LateralInversion, PointsThatCannotTakePartAreNamedAndLeftAlone) {
    std::vector<LciSounding> soundings = offsetProfile(5);
    // Another layer count.
    test::setModel(*soundings[1].sounding, {100.0f, 300.0f}, {6.0f});
    soundings[1].sounding->model.interfaceCount = 1;
    soundings[1].sounding->model.depth[1] = kHalfSpaceDepth;
    const LayerModel otherCount = soundings[1].sounding->model;
    // No composite curve.
    for (auto& row : soundings[3].sounding->branches.shiftedRho) row[0] = kMissing;
    // No model: started automatically.
    soundings[4].sounding->model.interfaceCount = 0;

    LateralInversionSummary summary;
    ASSERT_TRUE(runLateralInversion(soundings, 3, {}, summary).ok);
    EXPECT_EQ(summary.points, 3);
    EXPECT_EQ(summary.automaticStarts, 1);
    ASSERT_EQ(summary.leftOut.size(), 2u);
    EXPECT_EQ(summary.leftOut[0],
              "The VES point VES 1 has a model of 2 layers, not 3; it is left out of the joint fit.");
    EXPECT_EQ(summary.leftOut[1],
              "The VES point VES 3 has no composite curve; it is left out of the joint fit.");
    EXPECT_FALSE(soundings[1].included);
    EXPECT_FALSE(soundings[3].included);
    EXPECT_TRUE(soundings[4].included);
    EXPECT_EQ(soundings[4].sounding->model.interfaceCount, 2);
    EXPECT_EQ(std::memcmp(&soundings[1].sounding->model, &otherCount, sizeof otherCount), 0);
    EXPECT_EQ(summary.ssq[1], 0.0);
    EXPECT_GT(summary.ssq[4], 0.0);
}

TEST(LateralInversion, RefusesWhatCannotBeAJointFit) {
    LateralInversionSummary summary;
    std::vector<LciSounding> one = offsetProfile(1);
    Outcome run = runLateralInversion(one, 3, {}, summary);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.message, kLciTooFewPoints);

    std::vector<LciSounding> two = offsetProfile(2);
    for (auto& row : two[0].sounding->branches.shiftedRho) row[0] = kMissing;
    run = runLateralInversion(two, 3, {}, summary);
    EXPECT_EQ(run.message, kLciTooFewPoints);
    EXPECT_EQ(summary.leftOut.size(), 1u);

    LateralInversionOptions bad;
    bad.depthFactor = 1.0;  // would tie neighbours infinitely hard
    EXPECT_FALSE(runLateralInversion(two, 3, bad, summary).ok);
    bad = {};
    bad.depthBendFactor = 0.5;  // a bend factor is above 1, or 0 for none
    EXPECT_FALSE(runLateralInversion(two, 3, bad, summary).ok);
    bad = {};
    bad.dataError = 0.0;
    EXPECT_FALSE(runLateralInversion(two, 3, bad, summary).ok);
    EXPECT_FALSE(runLateralInversion(two, 1, {}, summary).ok);
    EXPECT_FALSE(runLateralInversion(two, 31, {}, summary).ok);
}

TEST(LateralInversion, ConstraintStrengthMovesBetweenIndependentAndIdenticalModels) {
    test::ProfileScenario sc;
    sc.points = 8;
    sc.gridPoints = 26;
    std::vector<LciSounding> independent = test::scenarioSoundings(sc);
    test::fitIndependently(independent, 3);

    // Nearly free: every point keeps (or improves) its own fit.
    std::vector<LciSounding> loose = test::copySoundings(independent);
    LateralInversionOptions options;
    options.resistivityFactor = options.depthFactor = options.depthBendFactor = 1e6;
    LateralInversionSummary summary;
    ASSERT_TRUE(runLateralInversion(loose, 3, options, summary).ok);
    for (std::size_t i = 0; i < loose.size(); ++i)
        EXPECT_LE(loose[i].sounding->ssq, independent[i].sounding->ssq * 1.001) << loose[i].name;

    // Nearly rigid: one model for all.
    std::vector<LciSounding> rigid = test::copySoundings(independent);
    options.resistivityFactor = options.depthFactor = 1.0001;
    ASSERT_TRUE(runLateralInversion(rigid, 3, options, summary).ok);
    for (std::size_t i = 1; i < rigid.size(); ++i) {
        EXPECT_NEAR(rigid[i].sounding->model.depth[1] / rigid[0].sounding->model.depth[1], 1.0, 0.01);
        EXPECT_NEAR(rigid[i].sounding->model.resistivity[0] / rigid[0].sounding->model.resistivity[0], 1.0,
                    0.01);
    }
}

TEST(LateralInversion, SameModelsOnAnyNumberOfThreads) {
    test::ProfileScenario sc;
    sc.points = 9;
    sc.gridPoints = 24;
    std::vector<LciSounding> start = test::scenarioSoundings(sc);
    start[4].sounding->model.interfaceCount = 0;
    test::fitIndependently(start, 3);
    start[4].sounding->model.interfaceCount = 0;  // one automatic start inside the run as well

    std::vector<LciSounding> single = test::copySoundings(start);
    std::vector<LciSounding> many = test::copySoundings(start);
    LateralInversionOptions options;
    options.threads = 1;
    LateralInversionSummary one, three;
    ASSERT_TRUE(runLateralInversion(single, 3, options, one).ok);
    options.threads = 3;
    ASSERT_TRUE(runLateralInversion(many, 3, options, three).ok);
    EXPECT_EQ(one.linearisations, three.linearisations);
    EXPECT_EQ(one.objective, three.objective);
    for (std::size_t i = 0; i < single.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(single[i].sounding->model.resistivity[k], many[i].sounding->model.resistivity[k]);
            if (k < 2) {
                EXPECT_EQ(single[i].sounding->model.depth[k], many[i].sounding->model.depth[k]);
            }
        }
    }
}

TEST(LateralInversion, ReportsProgressAndStopsWhenCancelled) {
    std::vector<LciSounding> soundings = offsetProfile(4);
    soundings[0].sounding->model.interfaceCount = 0;
    std::vector<LciProgress> reports;
    LateralInversionSummary summary;
    ASSERT_TRUE(runLateralInversion(soundings, 3, {}, summary, [&](const LciProgress& p) {
                    reports.push_back(p);
                }).ok);
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[0].phase, LciProgress::Phase::AutomaticStart);
    EXPECT_EQ(reports[0].done, 1);
    EXPECT_EQ(reports[0].total, 1);
    EXPECT_EQ(reports.back().phase, LciProgress::Phase::Linearisation);
    EXPECT_EQ(reports.back().done, summary.linearisations);
    EXPECT_NEAR(reports.back().objective, summary.objective, 1e-6);

    // Cancelled while the automatic starts run, and before the first step.
    for (const bool duringStarts : {true, false}) {
        std::vector<LciSounding> again = offsetProfile(4);
        if (duringStarts) again[0].sounding->model.interfaceCount = 0;
        std::atomic<bool> cancel{!duringStarts};
        const Outcome run = runLateralInversion(
            again, 3, {}, summary, [&](const LciProgress&) { cancel = true; }, &cancel);
        EXPECT_FALSE(run.ok);
        EXPECT_EQ(run.message, kLciCancelled);
    }
}

TEST(LateralInversion, RecoversDepthsBetterThanIndependentFits) {
    // Two profiles of bench/lci_accuracy (40 points 20 m apart, one
    // interface dipping smoothly, one stepping, 3 % noise), errors pooled.
    std::vector<double> dipInd, dipLci, stepInd, stepLci;
    double ssqInd = 0.0, ssqLci = 0.0;
    for (const unsigned seed : {1u, 2u}) {
        test::ProfileScenario sc;
        sc.seed = seed;
        std::vector<LciSounding> independent = test::scenarioSoundings(sc);
        test::fitIndependently(independent, 3);
        std::vector<LciSounding> joint = test::copySoundings(independent);
        LateralInversionSummary summary;
        ASSERT_TRUE(runLateralInversion(joint, 3, {}, summary).ok);
        EXPECT_NEAR(summary.startDataSsq, test::totalSsq(independent), 1e-9);
        ssqInd += test::totalSsq(independent);
        ssqLci += summary.dataSsq;
        const auto append = [](std::vector<double>& to, const std::vector<double>& from) {
            to.insert(to.end(), from.begin(), from.end());
        };
        append(dipInd, test::relativeDepthErrors(sc, independent, 0));
        append(dipLci, test::relativeDepthErrors(sc, joint, 0));
        append(stepInd, test::relativeDepthErrors(sc, independent, 1));
        append(stepLci, test::relativeDepthErrors(sc, joint, 1));
    }
    EXPECT_LE(test::errorFigures(dipLci).median, 0.6 * test::errorFigures(dipInd).median);
    EXPECT_LE(test::errorFigures(stepLci).median, test::errorFigures(stepInd).median);
    EXPECT_LE(test::errorFigures(stepLci).p90, test::errorFigures(stepInd).p90);
    EXPECT_LE(ssqLci, 1.5 * ssqInd);
}

}  // namespace
}  // namespace orma
