#include "core/SensitivitiesAtSpacings.h"

#include <algorithm>
#include <cmath>

#include "core/AccurateForward.h"
#include "core/Forward.h"
#include "core/LayeredTransform.h"

namespace orma {

namespace {

void shortFilterDerivatives(const double* spacing, int rowCount, int layers, const double* rho, const double* h,
                            FitWorkspace& ws) {
    std::array<double, kMaxLayers> dRho;
    std::array<double, kMaxLayers> dH;
    for (int j = 0; j < rowCount; ++j) {
        for (int tap = 0; tap < kFilterTaps; ++tap) {
            const int n = tap + kFilterFirstTap;
            const double u = spacing[j] * std::exp(-kLn10 * 2 * n * kGridStep);
            differentiateTransform(u, layers, rho, h, dRho, dH);
            const double c = kFilterCoefficients[tap];
            for (int k = 1; k <= layers; ++k) ws.Sro[j][k] += c * dRho[k - 1];
            for (int k = 1; k < layers; ++k) ws.Sd[j][k] += c * dH[k - 1];
        }
    }
}

bool longFilterDerivatives(const double* spacing, int rowCount, int layers, const double* rho, const double* h,
                           FitWorkspace& ws) {
    LaggedGrid grid;
    if (!planLaggedGrid(spacing, rowCount, grid)) return false;
    const LiveRange live = liveRange(grid, layers, rho, h);

    // Derivatives of the kernel T - rho1 at the live samples.
    auto& dRho = ws.laggedDro;
    auto& dH = ws.laggedDd;
    for (int i = live.firstTap; i < live.sampleEnd; ++i) {
        const double lambda = sampleAbscissa(grid.firstSample() + i);
        differentiateTransform(1.0 / lambda, layers, rho, h, dRho[i], dH[i]);
        dRho[i][0] -= 1.0;
    }

    // Node m (counted down from the last node) reads tap i at sample i + m.
    const std::array<double, kHankelJ1Taps>& taps = schlumbergerTaps();
    const int nodes = grid.nodeCount;
    for (int m = 0; m < nodes; ++m) {
        ws.nodeDro[m].fill(0.0);
        ws.nodeDd[m].fill(0.0);
    }
    for (int i = live.firstTap; i < kHankelJ1Taps; ++i) {
        const double c = taps[i];
        const int liveNodes = std::min(nodes, live.sampleEnd - i);
        for (int m = 0; m < liveNodes; ++m) {
            const auto& sampleRho = dRho[i + m];
            const auto& sampleH = dH[i + m];
            auto& nodeRho = ws.nodeDro[m];
            auto& nodeH = ws.nodeDd[m];
            for (int k = 0; k < layers; ++k) nodeRho[k] += c * sampleRho[k];
            for (int k = 0; k + 1 < layers; ++k) nodeH[k] += c * sampleH[k];
        }
    }
    for (int m = 0; m < nodes; ++m) ws.nodeDro[m][0] += 1.0;  // rhoA = rho1 + filtered kernel

    for (int j = 0; j < rowCount; ++j) {
        const NodeWeights w = interpolationWeights(spacing[j]);
        for (int p = 0; p < kInterpolationPoints; ++p) {
            const int m = grid.lastNode() - (w.firstNode + p);
            for (int k = 1; k <= layers; ++k) ws.Sro[j][k] += w.weight[p] * ws.nodeDro[m][k - 1];
            for (int k = 1; k < layers; ++k) ws.Sd[j][k] += w.weight[p] * ws.nodeDd[m][k - 1];
        }
    }
    return true;
}

}  // namespace

bool computeSensitivitiesAtSpacings(const ComputationOptions& options, const double* spacing, int rowCount,
                                    int layerCount, const double* resistivity, const double* thickness,
                                    FitWorkspace& ws) {
    for (auto& row : ws.Sro) row.fill(0.0);
    for (auto& row : ws.Sd) row.fill(0.0);
    if (layerCount < 1 || layerCount > kMaxLayers || rowCount < 1 || rowCount > kMaxFitRows) return false;
    for (int i = 0; i < layerCount; ++i)
        if (!(resistivity[i] > 0.0) || !std::isfinite(resistivity[i])) return false;
    for (int j = 0; j < rowCount; ++j)
        if (!(spacing[j] > 0.0) || !std::isfinite(spacing[j])) return false;
    if (!options.accurateForward) {
        shortFilterDerivatives(spacing, rowCount, layerCount, resistivity, thickness, ws);
        return true;
    }
    if (longFilterDerivatives(spacing, rowCount, layerCount, resistivity, thickness, ws)) return true;
    for (auto& row : ws.Sro) row.fill(0.0);
    for (auto& row : ws.Sd) row.fill(0.0);
    return false;
}

}  // namespace orma
