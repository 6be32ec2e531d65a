#include "ui/interpretation/plot/StepLine.h"

#include <algorithm>
#include <cmath>

namespace orma::ui {

namespace {

constexpr float kHalfSpaceDrawDepth = 1e9f;

}  // namespace

bool positiveValue(float value) { return value > 0 && std::isfinite(value); }

int boundaryCount(const LayerModel& model) { return std::clamp(model.interfaceCount, 0, kMaxLayers - 1); }

float drawnBottomDepth(const LayerModel& model, int k, bool drawingInProgress) {
    if (k == boundaryCount(model) && !drawingInProgress) return kHalfSpaceDrawDepth;
    return model.depth[k];
}

StepLine layOutStepLine(const LayerModel& model, const PlotGeometry& g, bool drawingInProgress) {
    StepLine line;
    line.n = boundaryCount(model);
    int x = g.x0, y = g.y0;
    for (int k = 0; k <= line.n; ++k) {
        if (positiveValue(model.resistivity[k])) x = g.xOf(model.resistivity[k]);
        const float d = drawnBottomDepth(model, k, drawingInProgress);
        if (positiveValue(d)) y = std::clamp(g.yOf(d), g.y0, g.y1);
        line.x[k] = x;
        line.y[k] = y;
    }
    return line;
}

}  // namespace orma::ui
