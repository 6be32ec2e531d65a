#include "core/EquivalentBand.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>

#include "core/Forward.h"

namespace orma {

namespace {

/// Where one model's resistivity changes: at `depth` it becomes `to`.
struct ResistivityChange {
    double depth = 0.0;
    int model = 0;
    float from = 0.0f;
    float to = 0.0f;
};

int interfacesOf(const ModelValues& m) { return std::clamp(m.interfaceCount, 0, kMaxLayers - 1); }

}  // namespace

std::vector<BandStep> stepLineEnvelope(const std::vector<ModelValues>& models) {
    std::vector<BandStep> steps;
    if (models.empty()) return steps;
    // A sweep down through every interface of every model, with the
    // resistivities the models have at the current depth in one multiset.
    std::multiset<float> current;
    std::vector<ResistivityChange> changes;
    for (std::size_t i = 0; i < models.size(); ++i) {
        const ModelValues& m = models[i];
        const int n = interfacesOf(m);
        current.insert(m.resistivity[0]);
        for (int k = 0; k < n; ++k) {
            changes.push_back({static_cast<double>(m.depth[static_cast<std::size_t>(k)]), static_cast<int>(i),
                               m.resistivity[static_cast<std::size_t>(k)],
                               m.resistivity[static_cast<std::size_t>(k + 1)]});
        }
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const ResistivityChange& a, const ResistivityChange& b) { return a.depth < b.depth; });
    const auto extend = [&steps](double top, double bottom, float low, float high) {
        if (!steps.empty() && steps.back().minResistivity == low && steps.back().maxResistivity == high) {
            steps.back().bottom = bottom;
            return;
        }
        steps.push_back({top, bottom, low, high});
    };
    double top = 0.0;
    std::size_t c = 0;
    while (c < changes.size()) {
        const double depth = changes[c].depth;
        if (depth > top) extend(top, depth, *current.begin(), *current.rbegin());
        // Every change at this depth at once: a zero-height step would say nothing.
        for (; c < changes.size() && changes[c].depth == depth; ++c) {
            // A model whose depths do not increase has no step line; it
            // keeps whatever it had.
            const auto held = current.find(changes[c].from);
            if (held == current.end()) continue;
            current.erase(held);
            current.insert(changes[c].to);
        }
        top = std::max(top, depth);
    }
    extend(top, std::numeric_limits<double>::infinity(), *current.begin(), *current.rbegin());
    return steps;
}

bool curveEnvelope(const Sounding& sounding, const std::vector<ModelValues>& models,
                   const ComputationOptions& options, CurveEnvelope& envelope, const std::atomic<bool>* cancel) {
    envelope = CurveEnvelope{};
    envelope.first = std::max(sounding.minGridIndex, 0);
    envelope.last = std::min(sounding.maxGridIndex, kGridPoints - 1);
    auto scratch = std::make_unique<Sounding>(sounding);
    for (const ModelValues& values : models) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return false;
        LayerModel& model = scratch->model;
        model = LayerModel{};
        model.interfaceCount = interfacesOf(values);
        model.resistivity = values.resistivity;
        model.depth = values.depth;
        model.depth[static_cast<std::size_t>(model.interfaceCount)] = kHalfSpaceDepth;
        if (computeForward(*scratch, options) != kSuccess) continue;
        for (int k = envelope.first; k <= envelope.last; ++k) {
            const float rho = scratch->computedRho[static_cast<std::size_t>(k)];
            if (!(rho > 0.0f) || !std::isfinite(rho)) continue;
            const auto row = static_cast<std::size_t>(k);
            if (!envelope.valid[row]) {
                envelope.min[row] = envelope.max[row] = rho;
                envelope.valid[row] = true;
            } else {
                envelope.min[row] = std::min(envelope.min[row], rho);
                envelope.max[row] = std::max(envelope.max[row], rho);
            }
        }
    }
    return true;
}

}  // namespace orma
