// The options of the forward computation and the fit: curves at the measured
// spacings, derivatives of the forwards at any spacing, fits run until
// converged, and the standard method left exactly as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "EngineFixtures.h"
#include "core/AccurateForward.h"
#include "core/Fit.h"
#include "core/ForwardAtSpacings.h"
#include "core/SensitivitiesAtSpacings.h"

namespace orma {
namespace {

using test::setModel;
using test::soundingWithModel;

ComputationOptions measured() {
    ComputationOptions options;
    options.measuredSpacings = true;
    return options;
}

/// The composite of a field sounding measured off the grid: row k was read at
/// its grid value times a factor (1000 m and 1200 m in the last two rows),
/// with the model's apparent resistivity there as the reading.
std::unique_ptr<Sounding> offGridSounding(const ComputationOptions& forward) {
    auto s = soundingWithModel({120, 15, 300, 40}, {2.5f, 9, 45}, 0, 27);
    const double factors[] = {1.0, 1.12, 0.9, 1.18, 0.85};
    std::vector<double> ab2(28);
    for (int k = 0; k <= 27; ++k) ab2[k] = abGridValue(k) * factors[k % 5];
    ab2[26] = 1000.0;
    ab2[27] = 1200.0;
    const double rho[] = {120, 15, 300, 40};
    const double h[] = {2.5, 6.5, 36};
    std::vector<double> curve(28);
    EXPECT_EQ(computeCurveAtSpacings(forward, 4, rho, h, ab2.data(), 28, curve.data()), kSuccess);
    for (int k = 0; k <= 27; ++k) {
        s->branches.measuredAb2[k][1] = static_cast<float>(ab2[k]);
        s->branches.shiftedRho[k][0] = static_cast<float>(curve[k]);
    }
    return s;
}

double worstRelativeError(const LayerModel& model, std::initializer_list<double> rho,
                          std::initializer_list<double> depth) {
    double worst = 0.0;
    int i = 0;
    for (double r : rho) worst = std::max(worst, std::fabs(model.resistivity[i++] / r - 1.0));
    i = 0;
    for (double d : depth) worst = std::max(worst, std::fabs(model.depth[i++] / d - 1.0));
    return worst;
}

TEST(MeasuredSpacings, OffGridCurveIsFittedBackOnlyWithTheOption) {
    for (bool accurate : {false, true}) {
        ComputationOptions options = measured();
        options.accurateForward = accurate;
        options.fitUntilConverged = true;
        auto ws = std::make_unique<FitWorkspace>();

        auto on = offGridSounding(options);
        setModel(*on, {100, 20, 250, 50}, {3, 8, 50});
        fitModel(*on, *ws, options);
        EXPECT_LT(worstRelativeError(on->model, {120, 15, 300, 40}, {2.5, 9, 45}), 1e-3) << "accurate " << accurate;

        auto off = offGridSounding(options);
        options.measuredSpacings = false;
        setModel(*off, {100, 20, 250, 50}, {3, 8, 50});
        fitModel(*off, *ws, options);
        EXPECT_GT(worstRelativeError(off->model, {120, 15, 300, 40}, {2.5, 9, 45}), 1e-2) << "accurate " << accurate;
    }
}

TEST(MeasuredSpacings, RowsUseTheMeanOfTheirBranchesOrTheGridValue) {
    Sounding s;
    s.branches.measuredAb2[12][1] = 22.0f;
    s.branches.measuredAb2[12][3] = 23.0f;
    s.branches.measuredAb2[12][2] = -999.0f;
    EXPECT_DOUBLE_EQ(rowSpacing(s, 12, true), 22.5);
    EXPECT_DOUBLE_EQ(rowSpacing(s, 12, false), abGridValue(12));
    for (int j = 0; j < kBranchColumns; ++j) s.branches.measuredAb2[13][j] = -999.0f;
    EXPECT_DOUBLE_EQ(rowSpacing(s, 13, true), abGridValue(13));  // a row drawn by hand
}

TEST(MeasuredSpacings, OnTheGridTheShortFilterReproducesTheStandardCurve) {
    // The same 13 taps at the grid values: only single precision apart.
    auto s = soundingWithModel({10, 100, 20}, {1, 10}, 0, 30);
    ASSERT_EQ(computeForward(*s), kSuccess);
    const double rho[] = {10, 100, 20};
    const double h[] = {1, 9};
    std::vector<double> ab2(31);
    std::vector<double> curve(31);
    for (int k = 0; k <= 30; ++k) ab2[k] = abGridValue(k);
    ASSERT_EQ(computeShortFilterCurve(3, rho, h, ab2.data(), 31, curve.data()), kSuccess);
    for (int k = 0; k <= 30; ++k) EXPECT_NEAR(curve[k] / s->computedRho[k], 1.0, 2e-6) << k;
}

// --- Derivatives ----------------------------------------------------------------

class DerivativesAtSpacings : public ::testing::TestWithParam<bool> {};

TEST_P(DerivativesAtSpacings, MatchFiniteDifferencesOfTheirForward) {
    ComputationOptions options;
    options.accurateForward = GetParam();
    const int layers = 4;
    double rho[] = {80, 8, 400, 25};
    double h[] = {1.5, 4, 30};
    std::vector<double> ab2;
    for (int k = 0; k <= 28; ++k) ab2.push_back(abGridValue(k) * (1.0 + 0.1 * std::sin(k)));
    const int rows = static_cast<int>(ab2.size());
    auto ws = std::make_unique<FitWorkspace>();
    ASSERT_TRUE(computeSensitivitiesAtSpacings(options, ab2.data(), rows, layers, rho, h, *ws));

    std::vector<double> up(rows), down(rows), base(rows);
    ASSERT_EQ(computeCurveAtSpacings(options, layers, rho, h, ab2.data(), rows, base.data()), kSuccess);
    auto difference = [&](double& value) {
        const double saved = value;
        const double delta = 1e-5 * saved;
        value = saved + delta;
        computeCurveAtSpacings(options, layers, rho, h, ab2.data(), rows, up.data());
        value = saved - delta;
        computeCurveAtSpacings(options, layers, rho, h, ab2.data(), rows, down.data());
        value = saved;
        return 2.0 * delta;
    };
    for (int k = 1; k <= layers; ++k) {
        const double step = difference(rho[k - 1]);
        for (int j = 0; j < rows; ++j)
            EXPECT_NEAR(ws->Sro[j][k] * rho[k - 1], (up[j] - down[j]) / step * rho[k - 1], 1e-6 * base[j])
                << "rho" << k << " row " << j;
    }
    for (int k = 1; k < layers; ++k) {
        const double step = difference(h[k - 1]);
        for (int j = 0; j < rows; ++j)
            EXPECT_NEAR(ws->Sd[j][k] * h[k - 1], (up[j] - down[j]) / step * h[k - 1], 1e-6 * base[j])
                << "h" << k << " row " << j;
    }
    // rhoA is homogeneous of degree 1 in the resistivities.
    for (int j = 0; j < rows; ++j) {
        double sum = 0.0;
        for (int k = 1; k <= layers; ++k) sum += rho[k - 1] * ws->Sro[j][k];
        EXPECT_NEAR(sum, base[j], 1e-9 * base[j]) << j;
    }
}

INSTANTIATE_TEST_SUITE_P(ShortAndLongFilter, DerivativesAtSpacings, ::testing::Values(false, true));

// --- Fitting until converged -------------------------------------------------------

TEST(FitUntilConverged, ReachesAtLeastWhatASecondEnterReaches) {
    // Noisy data and a start far off: the standard fit stops early at its
    // 2.5 % rule, and Enter pressed again goes on.
    auto once = soundingWithModel({300, 40, 8, 600}, {1.5f, 6, 20}, 0, 29);
    test::setCompositeFromModel(*once);
    for (int k = 0; k <= 29; ++k) once->branches.shiftedRho[k][0] *= static_cast<float>(1.0 + 0.04 * std::sin(3.1 * k));
    setModel(*once, {200, 100, 20, 300}, {1, 10, 40});
    auto converged = std::make_unique<Sounding>(*once);
    auto ws = std::make_unique<FitWorkspace>();

    const FitSummary first = fitModel(*once, *ws);
    const FitSummary second = fitModel(*once, *ws);
    ComputationOptions options;
    options.fitUntilConverged = true;
    const FitSummary all = fitModel(*converged, *ws, options);

    EXPECT_LT(second.ssq, first.ssq);
    EXPECT_LE(all.ssq, second.ssq);
    EXPECT_GE(all.passes, 2);
    EXPECT_EQ(all.startSsq, first.startSsq);
    // It ends because a pass gained less than 0.1 %: one more changes little.
    const double before = all.ssq;
    const FitSummary more = fitModel(*converged, *ws);
    EXPECT_GE(more.ssq, before * (1.0 - 2e-3));
    EXPECT_EQ(converged->ssq, more.ssq);
}

TEST(FitUntilConverged, WithoutTheOptionOnePassAsBefore) {
    auto s = soundingWithModel({200, 20, 500}, {3, 18}, 0, 26);
    test::setCompositeFromModel(*s);
    setModel(*s, {150, 30, 400}, {2, 22});
    auto copy = std::make_unique<Sounding>(*s);
    auto ws = std::make_unique<FitWorkspace>();
    const FitSummary plain = fitModel(*s, *ws);
    const FitSummary defaults = fitModel(*copy, *ws, ComputationOptions{});
    EXPECT_EQ(plain.passes, 1);
    EXPECT_EQ(plain.ssq, defaults.ssq);
    EXPECT_EQ(s->model.resistivity, copy->model.resistivity);
    EXPECT_EQ(s->model.depth, copy->model.depth);
}

}  // namespace
}  // namespace orma
