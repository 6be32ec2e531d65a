#include "core/EquivalentModels.h"

#include <algorithm>
#include <cmath>

#include "core/ModelLimits.h"

namespace orma {

namespace {

double logThickness(const ModelValues& m, int i) {
    return std::log(std::max(m.thickness(i), kMinLayerThickness));
}

bool valuesWithinLimits(const ModelValues& m) {
    if (m.interfaceCount < 0 || m.interfaceCount >= kMaxLayers) return false;
    for (int i = 0; i <= m.interfaceCount; ++i) {
        const double rho = m.resistivity[static_cast<std::size_t>(i)];
        if (!(rho >= kMinModelResistivity && rho <= kMaxModelResistivity)) return false;
    }
    for (int i = 0; i < m.interfaceCount; ++i) {
        if (!(m.depth[static_cast<std::size_t>(i)] <= kMaxModelDepth) || !(m.thickness(i) >= 0.0)) return false;
    }
    return true;
}

void widen(ValueSpan& span, double value, bool first) {
    if (first) {
        span = {value, value};
        return;
    }
    span.min = std::min(span.min, value);
    span.max = std::max(span.max, value);
}

}  // namespace

bool sameModelWithin(const ModelValues& a, const ModelValues& b, double tolerance) {
    if (a.interfaceCount != b.interfaceCount) return false;
    for (int i = 0; i <= a.interfaceCount; ++i) {
        const double difference = std::log(static_cast<double>(a.resistivity[static_cast<std::size_t>(i)])) -
                                  std::log(static_cast<double>(b.resistivity[static_cast<std::size_t>(i)]));
        if (!(std::fabs(difference) <= tolerance)) return false;
    }
    for (int i = 0; i < a.interfaceCount; ++i) {
        if (!(std::fabs(logThickness(a, i) - logThickness(b, i)) <= tolerance)) return false;
    }
    return true;
}

EquivalentModels selectEquivalentModels(std::vector<ModelValues> candidates, double bestSsq, double factor,
                                        double tolerance, const AdmissibleModel& admissible) {
    EquivalentModels set;
    set.factor = factor;
    set.tolerance = tolerance;
    set.bestSsq = bestSsq;
    set.threshold = factor * bestSsq;
    if (candidates.empty() || !std::isfinite(set.threshold)) return set;
    const int interfaces = candidates.front().interfaceCount;
    std::erase_if(candidates, [&](const ModelValues& m) {
        return m.interfaceCount != interfaces || !(m.ssq <= set.threshold) || !valuesWithinLimits(m);
    });
    set.candidates = static_cast<int>(candidates.size());
    // Stable: of equal SSQ the model met first stays first.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const ModelValues& a, const ModelValues& b) { return a.ssq < b.ssq; });
    for (const ModelValues& candidate : candidates) {
        if (static_cast<int>(set.models.size()) >= kMaxEquivalentModels) break;
        const bool known = std::any_of(set.models.begin(), set.models.end(), [&](const ModelValues& kept) {
            return sameModelWithin(kept, candidate, tolerance);
        });
        if (!known && (!admissible || admissible(candidate))) set.models.push_back(candidate);
    }

    set.interfaceCount = interfaces;
    bool first = true;
    for (const ModelValues& m : set.models) {
        for (int i = 0; i <= interfaces; ++i)
            widen(set.resistivity[static_cast<std::size_t>(i)], m.resistivity[static_cast<std::size_t>(i)], first);
        for (int i = 0; i < interfaces; ++i) {
            widen(set.thickness[static_cast<std::size_t>(i)], m.thickness(i), first);
            widen(set.depth[static_cast<std::size_t>(i)], m.depth[static_cast<std::size_t>(i)], first);
        }
        first = false;
    }
    return set;
}

}  // namespace orma
