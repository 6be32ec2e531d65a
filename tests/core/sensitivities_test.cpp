// Analytic derivatives of the computed curve: homogeneity in the resistivities
// and agreement with finite differences of the forward computation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "EngineFixtures.h"
#include "core/Forward.h"
#include "core/Sensitivities.h"

namespace orma {
namespace {

using test::soundingWithModel;

TEST(Sensitivities, HalfSpaceHasUnitResistivityDerivativeAndNoThicknessOne) {
    auto s = soundingWithModel({30}, {}, 5, 20);
    auto ws = std::make_unique<FitWorkspace>();
    ws->Sd[3][1] = 9.0;  // stale contents are cleared
    computeSensitivities(*s, *ws);
    for (int j = 0; j < 16; ++j) {
        EXPECT_NEAR(ws->Sro[j][1], 1.0, 1e-12);
        EXPECT_EQ(ws->Sd[j][1], 0.0);
    }
}

/// sum_k rho_k * Sro[j][k] = rhoA(j): rhoA is homogeneous of degree 1 in the resistivities.
void expectHomogeneity(Sounding& s, FitWorkspace& ws) {
    ASSERT_EQ(computeForward(s), kSuccess);
    computeSensitivities(s, ws);
    const int rows = s.maxGridIndex - s.minGridIndex + 1;
    for (int j = 0; j < rows; ++j) {
        double sum = 0.0;
        for (int k = 1; k <= s.model.layerCount(); ++k) sum += s.model.resistivity[k - 1] * ws.Sro[j][k];
        EXPECT_NEAR(sum, s.computedPacked[j], 2e-5 * s.computedPacked[j]) << "row " << j;
    }
}

TEST(Sensitivities, ResistivityDerivativesAreHomogeneous) {
    auto ws = std::make_unique<FitWorkspace>();
    auto kType = soundingWithModel({10, 100, 20}, {1, 10});
    expectHomogeneity(*kType, *ws);
    auto shifted = soundingWithModel({200, 20, 500, 50}, {3, 18, 60}, 6, 40);
    expectHomogeneity(*shifted, *ws);

    // The largest model: layer 30 has a column of its own.
    auto deep = soundingWithModel({}, {}, 0, kGridPoints - 1);
    deep->model.interfaceCount = kMaxLayers - 1;
    for (int i = 0; i < kMaxLayers; ++i) {
        deep->model.resistivity[i] = i % 2 == 0 ? 50.0f : 500.0f;
        deep->model.depth[i] = 1.5f * std::pow(1.25f, static_cast<float>(i));
    }
    deep->model.depth[kMaxLayers - 1] = kHalfSpaceDepth;
    expectHomogeneity(*deep, *ws);
    EXPECT_NE(ws->Sro[98][kMaxLayers], 0.0);
}

/// Central differences of the (single-precision) forward computation, by a relative step.
std::vector<double> forwardDerivative(Sounding& s, bool thickness, int layer) {
    const int n = s.model.interfaceCount;
    std::vector<double> rho(n + 1);
    std::vector<double> h(std::max(n, 1));
    for (int i = 0; i <= n; ++i) rho[i] = s.model.resistivity[i];
    for (int i = 0; i < n; ++i) h[i] = s.model.thickness(i);
    double& value = thickness ? h[layer] : rho[layer];
    const double base = value;
    const double delta = 1e-3 * base;
    const int rows = s.maxGridIndex - s.minGridIndex + 1;
    std::vector<double> derivative(rows);
    value = base + delta;
    computeForward(s, rho.data(), h.data());
    for (int j = 0; j < rows; ++j) derivative[j] = s.computedPacked[j];
    value = base - delta;
    computeForward(s, rho.data(), h.data());
    for (int j = 0; j < rows; ++j) derivative[j] = (derivative[j] - s.computedPacked[j]) / (2 * delta);
    return derivative;
}

TEST(Sensitivities, AgreeWithFiniteDifferencesOfTheForwardCurve) {
    auto s = soundingWithModel({200, 20, 500, 50}, {3, 18, 60}, 2, 36);
    auto ws = std::make_unique<FitWorkspace>();
    computeSensitivities(*s, *ws);
    const int rows = 35;
    for (int layer = 0; layer < 4; ++layer) {
        for (bool thickness : {false, true}) {
            if (thickness && layer == 3) continue;
            const std::vector<double> fd = forwardDerivative(*s, thickness, layer);
            double scale = 0.0;
            for (double v : fd) scale = std::max(scale, std::fabs(v));
            for (int j = 0; j < rows; ++j) {
                const double analytic = thickness ? ws->Sd[j][layer + 1] : ws->Sro[j][layer + 1];
                EXPECT_NEAR(analytic, fd[j], 2e-3 * scale) << (thickness ? "Sd" : "Sro") << " layer "
                                                            << layer + 1 << " row " << j;
            }
        }
    }
}

}  // namespace
}  // namespace orma
