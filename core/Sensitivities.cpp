#include "core/Sensitivities.h"

#include <array>
#include <cmath>

#include "core/Forward.h"
#include "core/LayeredTransform.h"

namespace orma {

void computeSensitivities(int firstGridIndex, int rowCount, int layerCount, const float* resistivity,
                          const double* thickness, FitWorkspace& ws) {
    for (auto& row : ws.Sro) row.fill(0.0);
    for (auto& row : ws.Sd) row.fill(0.0);

    std::array<double, kMaxLayers> rho;
    for (int k = 0; k < layerCount; ++k) rho[k] = resistivity[k];
    const int lastSample = rowCount - 1 + kSamplesAbove;
    for (int m = -kSamplesBelow; m <= lastSample; ++m) {
        const int r = m + kSamplesBelow;
        const double u = std::exp(kLn10 * (firstGridIndex + m) * kGridStep);
        differentiateTransform(u, layerCount, rho.data(), thickness, ws.Dro[r], ws.Dd[r]);
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
