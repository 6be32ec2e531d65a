#include "ui/interpretation/editing/LayerEditing.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "ui/interpretation/plot/StepLine.h"

namespace orma::ui {

bool insertLayer(LayerModel& model, int t, double bottomDepth) {
    const int n = model.interfaceCount;
    if (n < 1 || n >= kMaxBoundaries || t < 0 || t > n) return false;
    for (int k = n; k >= t; --k) {
        model.depth[k + 1] = model.depth[k];
        model.resistivity[k + 1] = model.resistivity[k];
        model.depthFixed[k + 1] = model.depthFixed[k];
        model.resistivityFixed[k + 1] = model.resistivityFixed[k];
    }
    // Entry t + 1 now holds what t held before.
    const float oldDepth = model.depth[t + 1];
    const float oldResistivity = model.resistivity[t + 1];
    if (t == 0) {
        model.depth[0] = 0.9f * oldDepth;
        model.resistivity[0] = oldResistivity;
    } else if (t < n) {
        model.depth[t] = (oldDepth + model.depth[t - 1]) / 2;
        model.resistivity[t] = (oldResistivity + model.resistivity[t - 1]) / 2;
    } else {
        const double above = model.depth[t - 1];
        // A last boundary below the plot's edge would put the new one above it.
        const double halfway = (bottomDepth + above) / 2;
        model.depth[t] = static_cast<float>(halfway > above ? halfway : 2 * above);
        model.resistivity[t] = (oldResistivity + model.resistivity[t - 1]) / 2;
    }
    model.depthFixed[t] = 0;
    model.resistivityFixed[t] = 0;
    model.interfaceCount = n + 1;
    return true;
}

bool deleteLayer(LayerModel& model, int t) {
    const int n = model.interfaceCount;
    if (n < 1 || n > kMaxBoundaries || t < 0 || t > n) return false;
    for (int k = t; k < n; ++k) {
        model.depth[k] = model.depth[k + 1];
        model.resistivity[k] = model.resistivity[k + 1];
        model.depthFixed[k] = model.depthFixed[k + 1];
        model.resistivityFixed[k] = model.resistivityFixed[k + 1];
    }
    model.interfaceCount = n - 1;
    model.depth[n - 1] = kHalfSpaceDepth;
    return true;
}

Selection segmentAt(const LayerModel& model, const PlotGeometry& g, int x, int y, int tolerance) {
    const StepLine line = layOutStepLine(model, g, false);
    constexpr int kNone = std::numeric_limits<int>::max();
    int bestBoundary = -1, boundaryDistance = kNone;
    for (int k = 0; k < line.n; ++k) {
        const int left = std::min(line.x[k], line.x[k + 1]);
        const int right = std::max(line.x[k], line.x[k + 1]);
        const int distance = std::abs(line.y[k] - y);
        if (left < x && x < right && distance < tolerance && distance < boundaryDistance) {
            bestBoundary = k;
            boundaryDistance = distance;
        }
    }
    int bestLayer = -1, layerDistance = kNone;
    for (int k = 0; k <= line.n; ++k) {
        const int top = k == 0 ? g.y0 : line.y[k - 1];
        const int bottom = line.y[k];
        const int distance = std::abs(line.x[k] - x);
        if (top < y && y < bottom && distance < tolerance && distance < layerDistance) {
            bestLayer = k;
            layerDistance = distance;
        }
    }
    if (bestLayer >= 0 && layerDistance < boundaryDistance) return {-1, bestLayer};
    if (bestBoundary >= 0) return {bestBoundary, -1};
    return {};
}

float clampBoundaryDepth(const LayerModel& model, int k, double depth) {
    const int n = model.interfaceCount;
    if (k >= 1) depth = std::max(depth, static_cast<double>(model.depth[k - 1]));
    // Below the last boundary lies the half-space sentinel: no limit there.
    if (k + 1 < n) depth = std::min(depth, static_cast<double>(model.depth[k + 1]));
    return static_cast<float>(depth);
}

}  // namespace orma::ui
