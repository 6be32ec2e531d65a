// Fits with an interface held at its depth: a layer just above it must not
// stall the fit, and no fit may end with depths out of order.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "EngineFixtures.h"
#include "core/Fit.h"

namespace orma {
namespace {

using test::setCompositeFromModel;
using test::setModel;
using test::soundingWithModel;

TEST(FitHeldDepth, LayerJustAboveAHeldDepthDoesNotStallTheFit) {
    // The data want interface 0 below the held 13.49 m: every full trial step
    // would squeeze layer 1 to a negative thickness. Dropping those steps
    // left the start model (SSQ 7.6); shortened steps reach the best model
    // the held depth allows.
    auto s = soundingWithModel({4, 50, 40}, {13.5f, 40}, 0, 26);
    setCompositeFromModel(*s);
    setModel(*s, {8, 40, 40}, {12.8f, 13.49f});
    s->model.depthFixed[1] = 1;
    auto ws = std::make_unique<FitWorkspace>();
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_GT(summary.startSsq, 5.0);
    EXPECT_LT(summary.ssq, 0.01);
    EXPECT_FLOAT_EQ(s->model.depth[1], 13.49f);
    EXPECT_LE(s->model.depth[0], s->model.depth[1]);
    EXPECT_NEAR(s->model.resistivity[0], 4.0f, 0.05f);
}

TEST(FitHeldDepth, RandomFitsNeverEndWithDepthsOutOfOrder) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto ws = std::make_unique<FitWorkspace>();
    int improved = 0;
    for (int round = 0; round < 150; ++round) {
        const int layers = 3 + round % 3;
        auto s = soundingWithModel({1}, {}, 0, 26);
        LayerModel& model = s->model;
        model.interfaceCount = layers - 1;
        double depth = 0.0;
        for (int i = 0; i < layers; ++i) {
            model.resistivity[i] = static_cast<float>(std::pow(10.0, 0.3 + 2.7 * unit(random)));
            depth += std::pow(10.0, 0.2 + 1.1 * unit(random));
            model.depth[i] = i + 1 < layers ? static_cast<float>(depth) : kHalfSpaceDepth;
        }
        setCompositeFromModel(*s);
        for (int k = 0; k <= 26; ++k)
            s->branches.shiftedRho[k][0] *= static_cast<float>(std::exp(0.03 * (unit(random) - 0.5)));

        // Start: values scattered, one or two interfaces held, the layer
        // above a held one squeezed thin.
        for (int i = 0; i < layers; ++i)
            model.resistivity[i] *= static_cast<float>(std::pow(10.0, 0.8 * (unit(random) - 0.5)));
        const int held = 1 + static_cast<int>(unit(random) * (layers - 1)) % (layers - 1);
        model.depthFixed[held - 1] = 1;
        if (held >= 2) model.depth[held - 2] = model.depth[held - 1] * static_cast<float>(0.9 + 0.099 * unit(random));
        if (layers == 5 && round % 2 == 0) model.depthFixed[held % 4] = 1;
        const LayerModel start = model;

        const FitSummary summary = fitModel(*s, *ws);
        improved += summary.acceptedSteps > 0 ? 1 : 0;
        EXPECT_LE(summary.ssq, summary.startSsq) << round;
        for (int i = 0; i < layers - 1; ++i) {
            EXPECT_GE(model.thickness(i), 0.0) << "round " << round << " interface " << i;
            if (start.depthFixed[i]) {
                EXPECT_EQ(model.depth[i], start.depth[i]) << round;
            }
        }
    }
    EXPECT_GT(improved, 100);
}

}  // namespace
}  // namespace orma
