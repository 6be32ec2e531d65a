#include "core/Sensitivities.h"

#include <array>
#include <cmath>

#include "core/Forward.h"

namespace orma {

namespace {

constexpr double kLn10 = 2.30258509299404568402;

/// Derivatives of the surface transform T1 for one abscissa u. Layers are
/// 1-based here: rho[k - 1] and h[k - 1] belong to layer k.
void differentiateTransform(double u, int layers, const float* resistivity, const double* thickness,
                            std::array<double, kMaxLayers>& dRho, std::array<double, kMaxLayers>& dH) {
    std::array<double, kLayerColumns + 1> t;  // t[k] = T(k), transform at the top of layer k
    std::array<double, kLayerColumns> w;
    std::array<double, kLayerColumns> x;
    t[layers] = resistivity[layers - 1];
    for (int k = layers - 1; k >= 1; --k) {
        const double rho = resistivity[k - 1];
        w[k] = std::exp(-2.0 * thickness[k - 1] / u);
        x[k] = rho * (1.0 - w[k]) / (1.0 + w[k]);
        t[k] = (x[k] + t[k + 1]) / (x[k] * t[k + 1] / (rho * rho) + 1.0);
    }

    // p = dT1/dT(k): the chain of the layers above layer k + 1.
    double p = 1.0;
    for (int k = 1; k <= layers - 1; ++k) {
        const double rho = resistivity[k - 1];
        const double rho2 = rho * rho;
        const double below = t[k + 1];
        const double root = x[k] * below / rho2 + 1.0;
        const double q = root * root;
        const double dTdX = (1.0 - below * below / rho2) / q;
        const double onePlusW = 1.0 + w[k];
        dH[k - 1] = p * dTdX * 4.0 * rho * w[k] / (onePlusW * onePlusW * u);
        dRho[k - 1] = p * (2.0 * (x[k] + below) * x[k] * below / (q * rho2 * rho) + dTdX * x[k] / rho);
        p *= (1.0 - x[k] * x[k] / rho2) / q;
    }
    dRho[layers - 1] = p;
}

}  // namespace

void computeSensitivities(int firstGridIndex, int rowCount, int layerCount, const float* resistivity,
                          const double* thickness, FitWorkspace& ws) {
    for (auto& row : ws.Sro) row.fill(0.0);
    for (auto& row : ws.Sd) row.fill(0.0);

    const int lastSample = rowCount - 1 + kSamplesAbove;
    for (int m = -kSamplesBelow; m <= lastSample; ++m) {
        const int r = m + kSamplesBelow;
        const double u = std::exp(kLn10 * (firstGridIndex + m) * kGridStep);
        differentiateTransform(u, layerCount, resistivity, thickness, ws.Dro[r], ws.Dd[r]);
    }

    for (int j = 0; j < rowCount; ++j) {
        for (int k = 1; k <= layerCount; ++k) {
            double sro = 0.0;
            double sd = 0.0;
            for (int tap = 0; tap < kFilterTaps; ++tap) {
                const int r = j - 2 * (tap + kFilterFirstTap) + kSamplesBelow;
                sro += kFilterCoefficients[tap] * ws.Dro[r][k - 1];
                if (k < layerCount) sd += kFilterCoefficients[tap] * ws.Dd[r][k - 1];
            }
            ws.Sro[j][k] = sro;
            ws.Sd[j][k] = sd;
        }
    }
}

void computeSensitivities(const Sounding& sounding, FitWorkspace& ws) {
    const LayerModel& model = sounding.model;
    const int layers = model.layerCount();
    const int rows = sounding.maxGridIndex - sounding.minGridIndex + 1;
    if (layers < 1 || layers > kMaxLayers || rows < 1 || rows > kMaxFitRows) return;
    std::array<double, kMaxLayers> thickness;
    for (int i = 0; i < layers - 1; ++i) thickness[i] = model.thickness(i);
    computeSensitivities(sounding.minGridIndex, rows, layers, model.resistivity.data(), thickness.data(), ws);
}

}  // namespace orma
