// Fits of noise-free synthetic curves (AB/2 from 1 m to about 1000 m), held
// values, gaps in the composite and refused fits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "EngineFixtures.h"
#include "core/Fit.h"

namespace orma {
namespace {

using test::setCompositeFromModel;
using test::setModel;
using test::soundingWithModel;

constexpr int kLastRow = 26;  // 849 m

class FitTest : public ::testing::Test {
protected:
    std::unique_ptr<FitWorkspace> ws = std::make_unique<FitWorkspace>();

    /// The H-type sounding 200, 20, 500 ohm-m with interfaces at 3 m and 18 m,
    /// set to the start model 150, 30, 400 ohm-m at 2 m and 22 m.
    std::unique_ptr<Sounding> hType() {
        auto s = soundingWithModel({200, 20, 500}, {3, 18}, 0, kLastRow);
        setCompositeFromModel(*s);
        setModel(*s, {150, 30, 400}, {2, 22});
        return s;
    }
};

void expectWithin(double value, double expected, double fraction, const char* what) {
    EXPECT_NEAR(value, expected, fraction * expected) << what;
}

TEST_F(FitTest, RecoversTheHTypeModel) {
    auto s = hType();
    const FitSummary summary = fitModel(*s, *ws);
    expectWithin(s->model.resistivity[0], 200, 0.01, "rho1");
    expectWithin(s->model.resistivity[1], 20, 0.01, "rho2");
    expectWithin(s->model.resistivity[2], 500, 0.01, "rho3");
    expectWithin(s->model.depth[0], 3, 0.01, "depth1");
    expectWithin(s->model.depth[1], 18, 0.01, "depth2");
    EXPECT_EQ(s->model.depth[2], kHalfSpaceDepth);
    EXPECT_LT(summary.ssq, 1e-6);
    EXPECT_GT(summary.startSsq, 0.1);
    EXPECT_GT(summary.acceptedSteps, 0);
    EXPECT_TRUE(summary.outcome);
    // The record's curve and error belong to the final model.
    EXPECT_EQ(s->ssq, summary.ssq);
    const auto curve = s->computedRho;
    computeForward(*s);
    EXPECT_EQ(s->computedRho, curve);
}

TEST_F(FitTest, FourLayersStartedWithinHalfLowerTheErrorHundredfold) {
    auto s = soundingWithModel({50, 400, 30, 1000}, {2, 10, 60}, 0, 29);
    setCompositeFromModel(*s);
    setModel(*s, {75, 250, 45, 600}, {1.2f, 14, 40});
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_LE(summary.ssq * 100, summary.startSsq);
    // Every linearisation accepts exactly one step, except a last one in
    // which no damping level helped.
    const int fruitless = summary.status == FitStatus::NoImprovement ? 1 : 0;
    EXPECT_EQ(summary.acceptedSteps, summary.linearisations - fruitless);
    EXPECT_GT(summary.linearisations, 1);
}

TEST_F(FitTest, HeldResistivityIsUnchangedBitForBit) {
    auto s = hType();
    s->model.resistivityFixed[0] = 1;
    s->model.resistivity[0] = 187.3f;
    const FitSummary summary = fitModel(*s, *ws);
    const float expected = 187.3f;
    EXPECT_EQ(std::memcmp(&s->model.resistivity[0], &expected, sizeof expected), 0);
    EXPECT_LT(summary.ssq, summary.startSsq);
    EXPECT_EQ(s->model.resistivityFixed[0], 1);  // flags are never changed
}

TEST_F(FitTest, HeldDepthStaysWhileTheInterfaceAboveMoves) {
    auto s = hType();
    s->model.depthFixed[1] = 1;  // interface at 22 m held (the true one is at 18 m)
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_FLOAT_EQ(s->model.depth[1], 22.0f);
    EXPECT_NE(s->model.depth[0], 2.0f);
    EXPECT_LT(summary.ssq, summary.startSsq);

    // Held in depth and in thickness at once: the depth rule wins and the
    // thickness flag adds nothing.
    auto both = hType();
    both->model.depthFixed[1] = 1;
    both->model.thicknessFixed[1] = 1;
    const FitSummary bothSummary = fitModel(*both, *ws);
    EXPECT_FLOAT_EQ(both->model.depth[1], 22.0f);
    EXPECT_EQ(both->model.resistivity, s->model.resistivity);
    EXPECT_EQ(bothSummary.ssq, summary.ssq);
}

TEST_F(FitTest, HeldThicknessAndHeldShallowDepthBelowFreeLayers) {
    auto s = soundingWithModel({100, 10, 300, 30}, {2, 6, 30}, 0, kLastRow);
    setCompositeFromModel(*s);
    setModel(*s, {120, 8, 250, 40}, {2.5f, 7, 25});
    s->model.thicknessFixed[1] = 1;  // layer 2 keeps 4.5 m
    s->model.depthFixed[2] = 1;      // interface 3 stays at 25 m
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_NEAR(s->model.depth[1] - s->model.depth[0], 4.5f, 1e-5f);
    EXPECT_FLOAT_EQ(s->model.depth[2], 25.0f);
    EXPECT_LT(summary.ssq, summary.startSsq);
}

TEST_F(FitTest, AllHeldLeavesModelAndCurveUnchanged) {
    auto s = hType();
    for (int i = 0; i < 3; ++i) s->model.resistivityFixed[i] = 1;
    s->model.thicknessFixed[0] = 1;
    s->model.depthFixed[1] = 1;
    computeForward(*s);
    const LayerModel before = s->model;
    const auto curve = s->computedRho;
    const double ssq = s->ssq;
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_EQ(summary.acceptedSteps, 0);
    EXPECT_EQ(summary.status, FitStatus::NoImprovement);
    EXPECT_EQ(std::memcmp(&s->model, &before, sizeof before), 0);
    EXPECT_EQ(s->computedRho, curve);
    EXPECT_EQ(s->ssq, ssq);
}

TEST_F(FitTest, OnlyTheHalfSpaceFreeScalesIt) {
    auto s = soundingWithModel({80}, {}, 0, kLastRow);
    setCompositeFromModel(*s);
    s->model.resistivity[0] = 20.0f;
    fitModel(*s, *ws);
    EXPECT_NEAR(s->model.resistivity[0], 80.0f, 0.01f);
}

TEST_F(FitTest, GapsInTheCompositeAreLeftOut) {
    auto s = hType();
    for (int k : {0, 4, 5, 13, 20}) s->branches.shiftedRho[k][0] = -999.0f;
    s->branches.shiftedRho[9][0] = 0.0f;
    const FitSummary summary = fitModel(*s, *ws);
    ASSERT_TRUE(std::isfinite(summary.ssq));
    EXPECT_LT(summary.ssq, 1e-6);
    expectWithin(s->model.resistivity[1], 20, 0.01, "rho2");
    expectWithin(s->model.depth[1], 18, 0.01, "depth2");
}

TEST_F(FitTest, FewerDataThanParametersStillEndsSoundly) {
    auto s = soundingWithModel({50, 400, 30, 1000}, {2, 10, 60}, 0, 29);
    setCompositeFromModel(*s);
    for (int k = 0; k <= 29; ++k)
        if (k % 7 != 3) s->branches.shiftedRho[k][0] = -999.0f;  // 4 values for 7 parameters
    setModel(*s, {75, 250, 45, 600}, {1.2f, 14, 40});
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_TRUE(std::isfinite(summary.ssq));
    EXPECT_LT(summary.ssq, summary.startSsq);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(std::isfinite(s->model.resistivity[i]) && s->model.resistivity[i] > 0);
}

TEST_F(FitTest, RefusesWithoutCompositeOrWithAnUnusableModel) {
    auto empty = soundingWithModel({150, 30, 400}, {2, 22}, 0, kLastRow);
    empty->ssq = 5.0;
    const LayerModel before = empty->model;
    FitSummary summary = fitModel(*empty, *ws);
    EXPECT_EQ(summary.status, FitStatus::NoComposite);
    EXPECT_FALSE(summary.outcome);
    EXPECT_FALSE(summary.outcome.message.empty());
    EXPECT_EQ(std::memcmp(&empty->model, &before, sizeof before), 0);
    EXPECT_EQ(empty->ssq, 5.0);

    auto negative = hType();
    negative->model.resistivity[1] = 0.0f;
    EXPECT_EQ(fitModel(*negative, *ws).status, FitStatus::InvalidModel);
    auto crossed = hType();
    setModel(*crossed, {150, 30, 400}, {22, 2});
    EXPECT_EQ(fitModel(*crossed, *ws).status, FitStatus::InvalidModel);
    auto offGrid = hType();
    offGrid->minGridIndex = -2;
    EXPECT_EQ(fitModel(*offGrid, *ws).status, FitStatus::InvalidModel);
}

TEST_F(FitTest, StartCurveWithoutLogarithmIsImprovedNotTrusted) {
    // A thin, extremely resistive layer over a conductor makes the filter
    // swing below zero at some spacings; the fit must still get somewhere.
    auto s = soundingWithModel({200, 20, 500}, {3, 18}, 0, 40);
    setCompositeFromModel(*s);
    setModel(*s, {1, 1e6f, 1e-3f}, {0.5f, 0.6f});
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_TRUE(std::isinf(summary.startSsq));
    EXPECT_GT(summary.acceptedSteps, 0);
    EXPECT_TRUE(std::isfinite(summary.ssq));
    for (int k = 0; k <= 40; ++k) EXPECT_GT(s->computedRho[k], 0.0f);
}

}  // namespace
}  // namespace orma
