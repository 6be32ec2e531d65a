// The lateral constraints of the joint profile fit: who is tied to whom, how
// strongly at a distance, and the derivatives the normal equations take from
// them (checked against the model the fit's own trial step builds).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/FitParameters.h"
#include "core/LateralConstraints.h"

namespace orma {
namespace {

TEST(LateralConstraints, DeviationGrowsWithTheDistance) {
    // A factor per 100 m: twice as far, twice the log change.
    EXPECT_NEAR(lateralDeviation(1.3, 100.0), std::log(1.3), 1e-12);
    EXPECT_NEAR(lateralDeviation(1.3, 50.0), 0.5 * std::log(1.3), 1e-12);
    EXPECT_NEAR(lateralDeviation(1.3, 400.0), 4.0 * std::log(1.3), 1e-12);
    // Points at one chainage are tied as if a metre apart, never infinitely.
    EXPECT_DOUBLE_EQ(lateralDeviation(1.3, 0.0), lateralDeviation(1.3, 1.0));
    EXPECT_GT(lateralDeviation(1.3, 0.0), 0.0);
}

TEST(LateralConstraints, NeighboursFollowTheChainageNotTheOrderGiven) {
    const std::vector<LateralLink> links = lateralLinks({300.0, 100.0, 200.0, 250.0, 100.0});
    ASSERT_EQ(links.size(), 4u);
    // Order by chainage: 1 (100), 4 (100), 2 (200), 3 (250), 0 (300).
    EXPECT_EQ(links[0].left, 1);
    EXPECT_EQ(links[0].right, 4);
    EXPECT_DOUBLE_EQ(links[0].distance, kLateralMinimumDistance);
    EXPECT_EQ(links[1].left, 4);
    EXPECT_EQ(links[1].right, 2);
    EXPECT_DOUBLE_EQ(links[1].distance, 100.0);
    EXPECT_EQ(links[3].left, 3);
    EXPECT_EQ(links[3].right, 0);
    EXPECT_DOUBLE_EQ(links[3].distance, 50.0);
    EXPECT_TRUE(lateralLinks({5.0}).empty());

    const std::vector<LateralConstraint> rows = lateralConstraints(links, 4, 1.2, 1.1);
    ASSERT_EQ(rows.size(), 4u * 7u);
    int depths = 0;
    for (const LateralConstraint& c : rows) {
        if (c.value == TiedValue::Depth) {
            ++depths;
            EXPECT_LT(c.index, 3);
        }
    }
    EXPECT_EQ(depths, 4 * 3);
}

TEST(LateralConstraints, ResidualIsTheLogDifferenceOverTheDeviation) {
    const double rhoA[] = {100.0, 20.0, 300.0}, hA[] = {5.0, 20.0};
    const double rhoB[] = {110.0, 20.0, 300.0}, hB[] = {4.0, 16.0};
    const TiedLogValues a = tiedLogValues(3, rhoA, hA);
    const TiedLogValues b = tiedLogValues(3, rhoB, hB);
    EXPECT_NEAR(constraintResidual({0, 1, TiedValue::Resistivity, 0, 0.5}, a, b),
                std::log(100.0 / 110.0) / 0.5, 1e-12);
    EXPECT_NEAR(constraintResidual({0, 1, TiedValue::Depth, 1, 0.1}, a, b), std::log(25.0 / 20.0) / 0.1,
                1e-12);
    EXPECT_NEAR(constraintResidual({1, 0, TiedValue::Depth, 0, 0.1}, b, a), std::log(4.0 / 5.0) / 0.1, 1e-12);
}

TEST(LateralConstraints, BendTiesLetASteadyDipPassAndCostAKinkAsAPlainTieWould) {
    // A boundary whose log depth changes in proportion to the chainage, at
    // unevenly spaced points given out of order: no bend anywhere.
    const std::vector<double> chainage = {40.0, 0.0, 10.0, 100.0};
    const std::vector<LateralLink> links = lateralLinks(chainage);
    const std::vector<LateralConstraint> bends = lateralBendConstraints(links, 3, 1.15);
    ASSERT_EQ(bends.size(), 2u * 2u) << "two bends, each of the two interfaces";
    const auto model = [](double depth1, double depth2) {
        const double rho[] = {100.0, 20.0, 300.0}, h[] = {depth1, depth2 - depth1};
        return tiedLogValues(3, rho, h);
    };
    std::vector<TiedLogValues> steady;
    for (const double x : chainage) steady.push_back(model(5.0 * std::exp(0.004 * x), 30.0 * std::exp(-0.002 * x)));
    for (const LateralConstraint& c : bends) {
        ASSERT_GE(c.middle, 0);
        EXPECT_EQ(c.value, TiedValue::Depth);
        EXPECT_LT(chainage[c.left], chainage[c.middle]);
        EXPECT_LT(chainage[c.middle], chainage[c.right]);
        EXPECT_NEAR(constraintResidual(c, steady[c.left], steady[c.right], &steady[c.middle]), 0.0, 1e-9);
    }
    // Evenly spaced: a step of the last point costs as a plain tie of the
    // same factor between the last two points does.
    const std::vector<LateralLink> even = lateralLinks({0.0, 20.0, 40.0});
    const LateralConstraint bend = lateralBendConstraints(even, 2, 1.15).at(0);
    const LateralConstraint plain = lateralConstraints({even[1]}, 2, 1.3, 1.15).at(1);
    const TiedLogValues flat = model(5.0, 30.0), deeper = model(6.0, 30.0);
    EXPECT_NEAR(std::fabs(constraintResidual(bend, flat, deeper, &flat)),
                std::fabs(constraintResidual(plain, flat, deeper)), 1e-12);
    EXPECT_GT(std::fabs(constraintResidual(bend, flat, deeper, &flat)), 1.0);
    // A factor of 0 (none), or too few points to bend: no rows.
    EXPECT_TRUE(lateralBendConstraints(links, 3, 0.0).empty());
    EXPECT_TRUE(lateralBendConstraints(lateralLinks({0.0, 20.0}), 3, 1.15).empty());
}

TEST(LateralConstraints, RobustTiesCostTheSquareWithinTheLimitAndGrowLinearlyBeyond) {
    const LateralConstraint plain{0, 1, TiedValue::Depth, 0, 0.1};
    const LateralConstraint robust{0, 1, TiedValue::Depth, 0, 0.1, 2.0};
    for (const double v : {-1.5, 0.0, 0.7, 2.0}) {
        EXPECT_DOUBLE_EQ(constraintPenalty(robust, v), v * v) << v;
        EXPECT_DOUBLE_EQ(constraintWeight(robust, v), 1.0) << v;
    }
    EXPECT_DOUBLE_EQ(constraintPenalty(plain, 10.0), 100.0);
    EXPECT_DOUBLE_EQ(constraintWeight(plain, -10.0), 1.0);
    // Beyond the limit: 2 k |v| - k^2, continuous in value and slope at k, and
    // the weight w of the reweighted row gives the penalty's slope 2 w v.
    EXPECT_DOUBLE_EQ(constraintPenalty(robust, -10.0), 36.0);
    EXPECT_DOUBLE_EQ(constraintWeight(robust, -10.0), 0.2);
    const double h = 1e-6;
    for (const double v : {2.0, 3.0, -8.0}) {
        const double slope = (constraintPenalty(robust, v + h) - constraintPenalty(robust, v - h)) / (2 * h);
        EXPECT_NEAR(slope, 2.0 * constraintWeight(robust, v) * v, 1e-5) << v;
    }
}

/// Moves one fit column of the model by `delta` in its logarithm through the
/// fit's own trial step and returns the tied values of the trial.
TiedLogValues afterColumnStep(const LayerModel& model, FitWorkspace& ws, int parameters, int column,
                              double delta) {
    ws.step.fill(0.0);
    ws.step[column] = delta;
    EXPECT_EQ(buildTrialModel(model, ws, parameters), TrialModel::Valid);
    return tiedLogValues(model.layerCount(), ws.fitResistivity.data(), ws.fitThickness.data());
}

TEST(LateralConstraints, DerivativesMatchTheTrialModelsOfTheFit) {
    // Four layers, interface 3 held at its depth: the thicknesses of layers
    // 1 and 2 are free and layer 3 takes up what they gain.
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "interface 3 held" : "nothing held");
        LayerModel model;
        model.interfaceCount = 3;
        const float rho[] = {80.0f, 15.0f, 200.0f, 40.0f};
        const float depth[] = {3.0f, 11.0f, 30.0f};
        for (int i = 0; i < 4; ++i) model.resistivity[i] = rho[i];
        for (int i = 0; i < 3; ++i) model.depth[i] = depth[i];
        model.depth[3] = kHalfSpaceDepth;
        model.depthFixed[2] = held ? 1 : 0;
        model.resistivityFixed[1] = 1;

        auto ws = std::make_unique<FitWorkspace>();
        for (int i = 0; i < 3; ++i) ws->layerThickness[i] = model.thickness(i);
        const int parameters = layoutFitColumns(model, *ws);
        std::array<double, kMaxLayers> rhoBase{};
        for (int i = 0; i < 4; ++i) rhoBase[i] = rho[i];
        const TiedLogValues start = tiedLogValues(4, rhoBase.data(), ws->layerThickness.data());

        const double delta = 1e-6;
        for (int c = 0; c < parameters; ++c) {
            const TiedLogValues up = afterColumnStep(model, *ws, parameters, c, delta);
            const TiedLogValues down = afterColumnStep(model, *ws, parameters, c, -delta);
            for (int k = 0; k < 4; ++k) {
                const double numeric = (up.logResistivity[k] - down.logResistivity[k]) / (2 * delta);
                EXPECT_NEAR(tiedDerivative(TiedValue::Resistivity, k, ws->columns[c],
                                           ws->layerThickness.data(), start),
                            numeric, 1e-6)
                    << "column " << c << ", layer " << k;
            }
            for (int i = 0; i < 3; ++i) {
                const double numeric = (up.logDepth[i] - down.logDepth[i]) / (2 * delta);
                EXPECT_NEAR(
                    tiedDerivative(TiedValue::Depth, i, ws->columns[c], ws->layerThickness.data(), start),
                    numeric, 1e-6)
                    << "column " << c << ", interface " << i;
            }
        }
    }
}

}  // namespace
}  // namespace orma
