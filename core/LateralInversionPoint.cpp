#include "core/LateralInversionPoint.h"

#include <cmath>
#include <limits>

#include "core/FitLinearisation.h"
#include "core/FitParameters.h"
#include "core/Forward.h"

namespace orma {

namespace {

/// The calling thread's workspace set up for the point: row spacings, the
/// accepted thicknesses, the columns and the held interfaces.
int loadLciPoint(const LciPointState& point, FitWorkspace& ws, const ComputationOptions& options) {
    const Sounding& s = *point.sounding;
    loadFitStart(s, ws, options);
    for (int i = 0; i < s.model.interfaceCount; ++i) ws.layerThickness[i] = point.thickness[i];
    return layoutFitColumns(s.model, ws);
}

}  // namespace

void startLciPoint(LciPointState& point, FitWorkspace& ws, const ComputationOptions& options) {
    const LayerModel& model = point.sounding->model;
    for (int i = 0; i <= model.interfaceCount; ++i) point.resistivity[i] = model.resistivity[i];
    for (int i = 0; i < model.interfaceCount; ++i) point.thickness[i] = model.thickness(i);
    point.parameters = loadLciPoint(point, ws, options);
    point.columns = ws.columns;
    point.tied = tiedLogValues(model.layerCount(), point.resistivity.data(), point.thickness.data());
    const auto m = static_cast<std::size_t>(point.parameters);
    point.normal.assign(m * m, 0.0);
    point.gradient.assign(m, 0.0);
}

bool lineariseLciPoint(LciPointState& point, FitWorkspace& ws, const ComputationOptions& options) {
    Sounding& s = *point.sounding;
    const int m = loadLciPoint(point, ws, options);
    if (computeForward(s, point.resistivity.data(), ws.layerThickness.data(), options) != kSuccess)
        return false;
    point.ssq = computeSsq(s);
    if (!std::isfinite(point.ssq)) return false;
    const int rows = collectResidualRows(s, ws);
    point.rows = rows;
    lineariseModel(s, ws, options);
    fillJacobian(s, ws, rows, m);
    for (int a = 0; a < m; ++a) {
        double g = 0.0;
        for (int r = 0; r < rows; ++r) g += ws.WJ[r][a] * ws.residual[r];
        point.gradient[a] = g;
        for (int b = a; b < m; ++b) {
            double sum = 0.0;
            for (int r = 0; r < rows; ++r) sum += ws.WJ[r][a] * ws.WJ[r][b];
            point.normal[a * m + b] = sum;
            point.normal[b * m + a] = sum;
        }
    }
    point.tied = tiedLogValues(s.model.layerCount(), point.resistivity.data(), point.thickness.data());
    return true;
}

void tryLciPoint(LciPointState& point, const double* step, FitWorkspace& ws,
                 const ComputationOptions& options) {
    Sounding& s = *point.sounding;
    const int m = loadLciPoint(point, ws, options);
    for (int c = 0; c < m; ++c) ws.step[c] = step[point.offset + c];
    const int layers = s.model.layerCount();
    const bool valid = buildShortenedTrial(s.model, ws, m);
    for (int i = 0; i < layers; ++i)
        point.trialResistivity[i] = valid ? ws.fitResistivity[i] : point.resistivity[i];
    for (int i = 0; i + 1 < layers; ++i)
        point.trialThickness[i] = valid ? ws.fitThickness[i] : point.thickness[i];
    point.trialTied = tiedLogValues(layers, point.trialResistivity.data(), point.trialThickness.data());
    point.trialSsq = std::numeric_limits<double>::infinity();
    if (!valid) return;
    if (computeForward(s, point.trialResistivity.data(), point.trialThickness.data(), options) != kSuccess)
        return;
    point.trialSsq = computeSsq(s);
}

void acceptLciTrial(LciPointState& point) {
    LayerModel& model = point.sounding->model;
    // The records hold resistivities as floats; the accepted model is what they hold.
    for (int i = 0; i <= model.interfaceCount; ++i) {
        model.resistivity[i] = static_cast<float>(point.trialResistivity[i]);
        point.resistivity[i] = model.resistivity[i];
    }
    for (int i = 0; i < model.interfaceCount; ++i) point.thickness[i] = point.trialThickness[i];
    point.ssq = point.trialSsq;
    point.tied = tiedLogValues(model.layerCount(), point.resistivity.data(), point.thickness.data());
}

void finishLciPoint(LciPointState& point, FitWorkspace& ws, const ComputationOptions& options) {
    Sounding& s = *point.sounding;
    loadLciPoint(point, ws, options);
    rebuildDepths(s.model, ws);
    computeForward(s, options);
    point.ssq = s.ssq;
    for (int i = 0; i < s.model.interfaceCount; ++i) point.thickness[i] = s.model.thickness(i);
    point.tied = tiedLogValues(s.model.layerCount(), point.resistivity.data(), point.thickness.data());
}

}  // namespace orma
