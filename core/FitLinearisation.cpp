#include "core/FitLinearisation.h"

#include <array>
#include <cmath>

#include "core/ForwardAtSpacings.h"
#include "core/Sensitivities.h"
#include "core/SensitivitiesAtSpacings.h"

namespace orma {

bool isFittableModel(const Sounding& s) {
    const LayerModel& model = s.model;
    const int n = model.interfaceCount;
    if (n < 0 || n >= kMaxLayers) return false;
    if (s.minGridIndex < 0 || s.maxGridIndex >= kGridPoints || s.minGridIndex > s.maxGridIndex) return false;
    for (int i = 0; i <= n; ++i)
        if (!(model.resistivity[i] > 0.0f) || !std::isfinite(model.resistivity[i])) return false;
    for (int i = 0; i < n; ++i) {
        const double h = model.thickness(i);
        if (!(h >= 0.0) || !std::isfinite(h)) return false;
    }
    return true;
}

bool hasCompositeValue(const Sounding& s) {
    for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k)
        if (s.hasComposite(k)) return true;
    return false;
}

void loadFitStart(const Sounding& sounding, FitWorkspace& ws, const ComputationOptions& options) {
    const LayerModel& model = sounding.model;
    const int n = model.interfaceCount;
    for (int i = 0; i < n; ++i) ws.layerThickness[i] = model.thickness(i);
    for (int i = 0; i <= n; ++i) ws.fitResistivity[i] = model.resistivity[i];
    for (int i = 0; i < n; ++i) ws.fitThickness[i] = ws.layerThickness[i];
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k)
        ws.rowSpacing[k - sounding.minGridIndex] = rowSpacing(sounding, k, options.measuredSpacings);
}

int collectResidualRows(const Sounding& s, FitWorkspace& ws) {
    int rows = 0;
    const int n = s.maxGridIndex - s.minGridIndex + 1;
    for (int j = 0; j < n; ++j) {
        const int k = s.minGridIndex + j;
        const double computed = s.computedPacked[j];
        if (!s.hasComposite(k) || !(computed > 0.0) || !std::isfinite(computed)) continue;
        ws.rowGridOffset[rows] = j;
        ws.residual[rows] = std::log(static_cast<double>(s.composite(k)) / computed);
        ++rows;
    }
    return rows;
}

void lineariseModel(const Sounding& s, FitWorkspace& ws, const ComputationOptions& options) {
    const int layers = s.model.layerCount();
    const int gridRows = s.maxGridIndex - s.minGridIndex + 1;
    if (options.standardForward()) {
        std::array<float, kMaxLayers> resistivity;
        for (int i = 0; i < layers; ++i) resistivity[i] = s.model.resistivity[i];
        computeSensitivities(s.minGridIndex, gridRows, layers, resistivity.data(), ws.layerThickness.data(),
                             ws);
        return;
    }
    std::array<double, kMaxLayers> resistivity;
    for (int i = 0; i < layers; ++i) resistivity[i] = s.model.resistivity[i];
    computeSensitivitiesAtSpacings(options, ws.rowSpacing.data(), gridRows, layers, resistivity.data(),
                                   ws.layerThickness.data(), ws);
}

}  // namespace orma
