#include "core/FitParameters.h"

#include <cmath>

#include "core/Fit.h"

namespace orma {

int layoutFitColumns(const LayerModel& model, FitWorkspace& ws) {
    const int n = model.interfaceCount;
    ws.heldDepth[0] = 0.0;
    ws.depthHeld[0] = false;
    for (int k = 1; k <= n; ++k) {
        ws.depthHeld[k] = model.depthFixed[k - 1] != 0;
        ws.heldDepth[k] = model.depth[k - 1];
    }

    int m = 0;
    for (int k = 1; k <= n + 1; ++k) {
        if (model.resistivityFixed[k - 1] == 0) ws.columns[m++] = FitColumn{false, k, 0};
        if (k > n || ws.depthHeld[k] || model.thicknessFixed[k - 1] != 0) continue;
        int below = 0;
        for (int d = k + 1; d <= n && below == 0; ++d)
            if (ws.depthHeld[d]) below = d;
        ws.columns[m++] = FitColumn{true, k, below};
    }
    return m;
}

void fillJacobian(const Sounding& sounding, FitWorkspace& ws, int rowCount, int parameterCount) {
    const LayerModel& model = sounding.model;
    for (int c = 0; c < parameterCount; ++c) {
        const FitColumn& column = ws.columns[c];
        const int k = column.layer;
        for (int r = 0; r < rowCount; ++r) {
            const int j = ws.rowGridOffset[r];
            const double rhoA = sounding.computedPacked[j];
            if (!column.isThickness) {
                ws.WJ[r][c] = ws.Sro[j][k] * model.resistivity[k - 1] / rhoA;
            } else {
                // Lengthening layer k shortens the layer above the held interface
                // by the same amount, so that interface stays where it is.
                const double compensation = column.compensator > 0 ? ws.Sd[j][column.compensator] : 0.0;
                ws.WJ[r][c] = (ws.Sd[j][k] - compensation) * ws.layerThickness[k - 1] / rhoA;
            }
        }
    }
}

TrialModel buildTrialModel(const LayerModel& model, FitWorkspace& ws, int parameterCount) {
    const int n = model.interfaceCount;
    for (int i = 0; i <= n; ++i) ws.fitResistivity[i] = model.resistivity[i];
    for (int i = 0; i < n; ++i) ws.fitThickness[i] = ws.layerThickness[i];
    for (int c = 0; c < parameterCount; ++c) {
        const FitColumn& column = ws.columns[c];
        const double factor = std::exp(ws.step[c]);
        if (column.isThickness)
            ws.fitThickness[column.layer - 1] = ws.layerThickness[column.layer - 1] * factor;
        else
            ws.fitResistivity[column.layer - 1] = model.resistivity[column.layer - 1] * factor;
    }

    // Each held interface is measured from the held one above it, so rounding
    // of the thicknesses between them can never drift it.
    int previousHeld = 0;
    double sinceHeld = 0.0;
    for (int k = 1; k <= n; ++k) {
        if (ws.depthHeld[k]) {
            ws.fitThickness[k - 1] = (ws.heldDepth[k] - ws.heldDepth[previousHeld]) - sinceHeld;
            previousHeld = k;
            sinceHeld = 0.0;
        } else {
            sinceHeld += ws.fitThickness[k - 1];
        }
    }

    for (int i = 0; i <= n; ++i) {
        const double rho = ws.fitResistivity[i];
        if (!(rho > 0.0) || !std::isfinite(rho) || !std::isfinite(static_cast<float>(rho)))
            return TrialModel::NotAModel;
    }
    bool squeezed = false;
    for (int i = 0; i < n; ++i) {
        const double h = ws.fitThickness[i];
        if (!std::isfinite(h) || !std::isfinite(static_cast<float>(h))) return TrialModel::NotAModel;
        if (h < 0.0) squeezed = true;
    }
    return squeezed ? TrialModel::SqueezedLayer : TrialModel::Valid;
}

bool buildShortenedTrial(const LayerModel& model, FitWorkspace& ws, int parameters) {
    TrialModel trial = buildTrialModel(model, ws, parameters);
    for (int halving = 0; trial == TrialModel::SqueezedLayer && halving < kMaxStepHalvings; ++halving) {
        for (int c = 0; c < parameters; ++c) ws.step[c] *= 0.5;
        trial = buildTrialModel(model, ws, parameters);
    }
    return trial == TrialModel::Valid;
}

void rebuildDepths(LayerModel& model, const FitWorkspace& ws) {
    double above = 0.0;
    for (int i = 0; i < model.interfaceCount; ++i) {
        const double depth = ws.depthHeld[i + 1] ? ws.heldDepth[i + 1] : above + ws.layerThickness[i];
        model.depth[i] = static_cast<float>(depth);
        above = model.depth[i];
    }
}

}  // namespace orma
