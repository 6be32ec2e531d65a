// The forward computation against worked examples, the exact two-layer image
// series, its floors and guards, and the fit error.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EngineFixtures.h"
#include "ReferenceFit.h"
#include "core/Forward.h"
#include "support/ImageSeries.h"

namespace orma {
namespace {

using test::soundingWithModel;

TEST(Forward, TwoLayerAndKTypeWorkedExamples) {
    auto two = soundingWithModel({10, 100}, {1});
    ASSERT_EQ(computeForward(*two), kSuccess);
    const int k2[] = {0, 5, 9, 14, 18, 27};
    const double rho2[] = {11.7, 28.0, 55.1, 87.6, 97.7, 99.9};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(two->computedRho[k2[i]], rho2[i], 0.05) << "k " << k2[i];

    auto kType = soundingWithModel({10, 100, 20}, {1, 10});
    ASSERT_EQ(computeForward(*kType), kSuccess);
    const double rhoK[] = {11.7, 18.7, 33.4, 51.3, 54.9, 33.8, 21.8, 20.3, 20.0, 20.0};
    for (int i = 0; i < 10; ++i) EXPECT_NEAR(kType->computedRho[3 * i], rhoK[i], 0.05) << "k " << 3 * i;
}

using orma::test::imageSeries;

TEST(Forward, AgreesWithTheTwoLayerImageSeries) {
    for (float depth : {1.0f, 7.5f}) {
        auto s = soundingWithModel({10, 100}, {depth}, 0, 40);
        ASSERT_EQ(computeForward(*s), kSuccess);
        for (int k = 0; k <= 40; ++k) {
            const double exact = imageSeries(10.0, 100.0, depth, abGridValue(k));
            EXPECT_NEAR(s->computedRho[k], exact, 1e-3 * exact) << "depth " << depth << " k " << k;
        }
    }
}

TEST(Forward, HalfSpaceGivesItsResistivityAndGridTableTakesExactValues) {
    auto s = soundingWithModel({42}, {}, 3, 12);
    s->grid.value[1] = 1.3f;   // a nominal field value from a reader
    s->grid.value[13] = 17.0f; // beyond the curve: left alone
    ASSERT_EQ(computeForward(*s), kSuccess);
    for (int k = 3; k <= 12; ++k) {
        EXPECT_NEAR(s->computedRho[k], 42.0f, 42e-6f);
        EXPECT_EQ(s->computedPacked[k - 3], s->computedRho[k]);
    }
    EXPECT_FLOAT_EQ(s->grid.value[1], 1.2961742f);
    EXPECT_FLOAT_EQ(s->grid.value[9], 10.326907f);
    EXPECT_EQ(s->grid.value[13], 17.0f);
    EXPECT_EQ(s->computedRho[2], 0.0f);
}

TEST(Forward, SmallLayerResistivitiesAreRaisedWithoutTouchingTheModel) {
    auto zero = soundingWithModel({0, 50}, {2});
    auto floor = soundingWithModel({1e-6f, 50}, {2});
    ASSERT_EQ(computeForward(*zero), kSuccess);
    ASSERT_EQ(computeForward(*floor), kSuccess);
    EXPECT_EQ(zero->model.resistivity[0], 0.0f);
    for (int k = 0; k <= 27; ++k) EXPECT_EQ(zero->computedRho[k], floor->computedRho[k]);

    // The half-space is not floored: the recursion starts from zero.
    auto halfSpaceZero = soundingWithModel({50, 0}, {2});
    ASSERT_EQ(computeForward(*halfSpaceZero), kSuccess);
    EXPECT_LT(halfSpaceZero->computedRho[27], 1.0f);
}

TEST(Forward, HalfSpaceOfZeroResistivityStaysZero) {
    // Alone it gives exactly 0, not the 1e-6 floor of the layers above.
    auto alone = soundingWithModel({0}, {}, 0, 27);
    ASSERT_EQ(computeForward(*alone), kSuccess);
    for (int k = 0; k <= 27; ++k) EXPECT_EQ(alone->computedRho[k], 0.0f) << k;

    // Under a thin 0.01 ohm-m layer the curve falls to a few 1e-6 ohm-m at the
    // largest spacings, where a floored half-space would add 1e-6 (20 %).
    auto layered = soundingWithModel({0.01f, 0}, {1}, 0, 27);
    ASSERT_EQ(computeForward(*layered), kSuccess);
    const test::reference::Earth earth{{0.01, 0.0}, {1.0}};
    for (int k = 24; k <= 27; ++k) {
        const double expected = test::reference::apparentResistivity(earth, k);
        EXPECT_LT(expected, 1e-5);
        EXPECT_NEAR(layered->computedRho[k], expected, 1e-3 * expected) << k;
    }
}

TEST(Forward, FitModeMatchesModelModeAndLeavesSsqAlone) {
    auto s = soundingWithModel({100, 10, 300, 30}, {2, 9, 40}, 4, 30);
    ASSERT_EQ(computeForward(*s), kSuccess);
    const auto modelCurve = s->computedRho;
    s->ssq = 123.0;
    const double rho[] = {100, 10, 300, 30};
    const double h[] = {2, 7, 31};
    ASSERT_EQ(computeForward(*s, rho, h), kSuccess);
    EXPECT_EQ(s->ssq, 123.0);
    for (int k = 4; k <= 30; ++k) EXPECT_EQ(s->computedRho[k], modelCurve[k]) << k;
}

TEST(Forward, SinglePointRange) {
    auto wide = soundingWithModel({10, 100}, {1}, 0, 27);
    auto single = soundingWithModel({10, 100}, {1}, 14, 14);
    ASSERT_EQ(computeForward(*wide), kSuccess);
    ASSERT_EQ(computeForward(*single), kSuccess);
    EXPECT_EQ(single->computedPacked[0], wide->computedRho[14]);
}

TEST(Forward, RefusesRangesAndModelsOutsideTheTables) {
    auto beyond = soundingWithModel({10, 100}, {1}, 0, kGridPoints);
    auto negative = soundingWithModel({10, 100}, {1}, -1, 20);
    auto reversed = soundingWithModel({10, 100}, {1}, 20, 10);
    auto tooDeep = soundingWithModel({10, 100}, {1});
    tooDeep->model.interfaceCount = kMaxLayers;
    for (Sounding* s : {beyond.get(), negative.get(), reversed.get(), tooDeep.get()}) {
        s->ssq = 7.0;
        EXPECT_EQ(computeForward(*s), kFailed);
        EXPECT_EQ(s->ssq, 7.0);
    }
    auto last = soundingWithModel({10, 100}, {1}, 90, kGridPoints - 1);
    EXPECT_EQ(computeForward(*last), kSuccess);
    EXPECT_NEAR(last->computedRho[98], 100.0f, 0.1f);
}

TEST(ForwardSsq, LogRatiosOverPresentRowsOnly) {
    auto s = soundingWithModel({20}, {}, 2, 6);
    ASSERT_EQ(computeForward(*s), kSuccess);
    EXPECT_EQ(s->ssq, 0.0);  // no composite at all

    s->branches.shiftedRho[2][0] = 20.0f * std::exp(0.5f);
    s->branches.shiftedRho[3][0] = -999.0f;  // gap
    s->branches.shiftedRho[4][0] = 0.0f;     // gap
    s->branches.shiftedRho[5][0] = 20.0f / std::exp(0.25f);
    s->branches.shiftedRho[6][0] = 20.0f;
    s->branches.shiftedRho[7][0] = 1e6f;  // outside the range
    ASSERT_EQ(computeForward(*s), kSuccess);
    EXPECT_NEAR(s->ssq, 0.25 + 0.0625, 1e-6);
    EXPECT_EQ(computeSsq(*s), s->ssq);

    // A computed value without a logarithm where data are present cannot be
    // compared: the error is infinite, never small.
    s->computedRho[6] = 0.0f;
    EXPECT_EQ(computeSsq(*s), std::numeric_limits<double>::infinity());
    s->computedRho[6] = -5.0f;
    EXPECT_EQ(computeSsq(*s), std::numeric_limits<double>::infinity());
    s->computedRho[6] = 20.0f;
    s->computedRho[3] = -5.0f;  // under a gap: ignored
    EXPECT_NEAR(computeSsq(*s), 0.3125, 1e-6);
}

}  // namespace
}  // namespace orma
