#include "core/StartSampling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <random>

#include "core/AbGrid.h"
#include "core/ModelLimits.h"

namespace orma {

namespace {

/// A thin or deep layer shows far less than its own contrast on the curve.
constexpr double kResistivityMargin = 20.0;
/// Interfaces shallower than this fraction of the shortest AB/2 hardly touch the curve.
constexpr double kShallowestDepthFraction = 0.2;

/// A number in [0, 1) from the top 53 bits of the generator.
double unitInterval(std::mt19937_64& rng) {
    return static_cast<double>(rng() >> 11) * 0x1.0p-53;
}

/// A random order of 0 .. count-1 (Fisher-Yates).
std::vector<int> permutation(int count, std::mt19937_64& rng) {
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    for (int i = count - 1; i > 0; --i) {
        const auto j = static_cast<int>(rng() % static_cast<std::uint64_t>(i + 1));
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
    }
    return order;
}

/// Each row one start, each column one dimension: points in [0, 1) whose
/// column values fall one into each of `count` strata.
std::vector<std::vector<double>> latinHypercube(int count, int dimensions, std::mt19937_64& rng) {
    std::vector<std::vector<double>> points(static_cast<std::size_t>(count),
                                            std::vector<double>(static_cast<std::size_t>(dimensions)));
    for (int d = 0; d < dimensions; ++d) {
        const std::vector<int> strata = permutation(count, rng);
        for (int i = 0; i < count; ++i) {
            const double inside = unitInterval(rng);
            points[static_cast<std::size_t>(i)][static_cast<std::size_t>(d)] =
                (strata[static_cast<std::size_t>(i)] + inside) / count;
        }
    }
    return points;
}

}  // namespace

std::optional<StartBox> startBoxFor(const Sounding& sounding) {
    double minRho = INFINITY, maxRho = 0.0, minAb2 = INFINITY, maxAb2 = 0.0;
    const int first = std::max(sounding.minGridIndex, 0);
    const int last = std::min(sounding.maxGridIndex, kGridPoints - 1);
    for (int k = first; k <= last; ++k) {
        if (!sounding.hasComposite(k) || !std::isfinite(sounding.composite(k))) continue;
        const double rho = sounding.composite(k);
        minRho = std::min(minRho, rho);
        maxRho = std::max(maxRho, rho);
        minAb2 = std::min(minAb2, abGridValue(k));
        maxAb2 = std::max(maxAb2, abGridValue(k));
    }
    if (!(maxRho > 0.0)) return std::nullopt;
    StartBox box;
    box.minLogResistivity = std::log10(std::max(minRho / kResistivityMargin, kMinModelResistivity));
    box.maxLogResistivity = std::log10(std::min(maxRho * kResistivityMargin, kMaxModelResistivity));
    box.minLogDepth = std::log10(std::max(minAb2 * kShallowestDepthFraction, kMinLayerThickness));
    // A curve of one spacing still needs a window of depths.
    box.maxLogDepth = std::max(std::log10(std::min(maxAb2, kMaxModelDepth)), box.minLogDepth + 1.0);
    return box;
}

std::vector<LayerModel> latinHypercubeStarts(const StartBox& box, int layers, int count, std::uint64_t seed) {
    std::vector<LayerModel> starts;
    if (layers < 1 || layers > kMaxLayers || count < 1) return starts;
    std::mt19937_64 rng(seed);
    const int interfaces = layers - 1;
    const auto points = latinHypercube(count, 2 * layers - 1, rng);
    starts.reserve(points.size());
    for (const std::vector<double>& u : points) {
        LayerModel model;
        model.interfaceCount = interfaces;
        for (int i = 0; i < layers; ++i) {
            const double logRho =
                box.minLogResistivity + u[static_cast<std::size_t>(i)] * (box.maxLogResistivity - box.minLogResistivity);
            model.resistivity[static_cast<std::size_t>(i)] = static_cast<float>(std::pow(10.0, logRho));
        }
        std::array<double, kMaxLayers> depth{};
        for (int i = 0; i < interfaces; ++i) {
            const double logDepth =
                box.minLogDepth + u[static_cast<std::size_t>(layers + i)] * (box.maxLogDepth - box.minLogDepth);
            depth[static_cast<std::size_t>(i)] = std::pow(10.0, logDepth);
        }
        std::sort(depth.begin(), depth.begin() + interfaces);
        double above = 0.0;
        for (int i = 0; i < interfaces; ++i) {
            // Two draws that nearly meet still leave a layer the fit can grow.
            const double d = std::max(depth[static_cast<std::size_t>(i)], above + kMinLayerThickness);
            model.depth[static_cast<std::size_t>(i)] = static_cast<float>(d);
            above = model.depth[static_cast<std::size_t>(i)];
        }
        model.depth[static_cast<std::size_t>(interfaces)] = kHalfSpaceDepth;
        starts.push_back(model);
    }
    return starts;
}

bool holdsAnyValue(const LayerModel& model) {
    for (int i = 0; i <= model.interfaceCount && i < kMaxLayers; ++i) {
        if (model.resistivityFixed[static_cast<std::size_t>(i)] != 0) return true;
        if (i < model.interfaceCount && (model.thicknessFixed[static_cast<std::size_t>(i)] != 0 ||
                                         model.depthFixed[static_cast<std::size_t>(i)] != 0))
            return true;
    }
    return false;
}

void imposeHeldValues(LayerModel& start, const LayerModel& held) {
    const int n = held.interfaceCount;
    if (start.interfaceCount != n || n < 0 || n >= kMaxLayers) return;
    start.resistivityFixed = held.resistivityFixed;
    start.thicknessFixed = held.thicknessFixed;
    start.depthFixed = held.depthFixed;
    for (int i = 0; i <= n; ++i)
        if (held.resistivityFixed[static_cast<std::size_t>(i)] != 0)
            start.resistivity[static_cast<std::size_t>(i)] = held.resistivity[static_cast<std::size_t>(i)];

    const auto depthHeld = [&](int i) { return held.depthFixed[static_cast<std::size_t>(i)] != 0; };
    const auto thicknessHeld = [&](int i) { return held.thicknessFixed[static_cast<std::size_t>(i)] != 0 && !depthHeld(i); };
    std::array<double, kMaxLayers> thickness{};
    for (int i = 0; i < n; ++i)
        thickness[static_cast<std::size_t>(i)] = thicknessHeld(i) ? held.thickness(i) : start.thickness(i);

    // Between two held depths the free layers share what the held ones leave.
    int groupStart = 0;
    double groupTop = 0.0;
    for (int i = 0; i < n; ++i) {
        if (!depthHeld(i)) continue;
        double heldSum = 0.0, freeSum = 0.0;
        for (int j = groupStart; j <= i; ++j)
            (thicknessHeld(j) ? heldSum : freeSum) += thickness[static_cast<std::size_t>(j)];
        const double room = std::max(static_cast<double>(held.depth[static_cast<std::size_t>(i)]) - groupTop - heldSum, 0.0);
        for (int j = groupStart; j <= i; ++j) {
            if (thicknessHeld(j)) continue;
            double& h = thickness[static_cast<std::size_t>(j)];
            h = freeSum > 0.0 ? h * room / freeSum : (j == i ? room : 0.0);
        }
        groupStart = i + 1;
        groupTop = held.depth[static_cast<std::size_t>(i)];
    }

    double depth = 0.0;
    for (int i = 0; i < n; ++i) {
        depth = depthHeld(i) ? static_cast<double>(held.depth[static_cast<std::size_t>(i)])
                             : depth + thickness[static_cast<std::size_t>(i)];
        start.depth[static_cast<std::size_t>(i)] = static_cast<float>(depth);
    }
    start.depth[static_cast<std::size_t>(n)] = kHalfSpaceDepth;
}

int freeValueCount(const LayerModel& model) {
    int count = 0;
    for (int i = 0; i <= model.interfaceCount && i < kMaxLayers; ++i) {
        if (model.resistivityFixed[static_cast<std::size_t>(i)] == 0) ++count;
        if (i < model.interfaceCount && model.thicknessFixed[static_cast<std::size_t>(i)] == 0 &&
            model.depthFixed[static_cast<std::size_t>(i)] == 0)
            ++count;
    }
    return count;
}

std::vector<LayerModel> hopStarts(const LayerModel& fitted, const LayerModel& held, double factor) {
    std::vector<LayerModel> hops;
    const int n = fitted.interfaceCount;
    LayerModel flags = fitted;
    if (held.interfaceCount == n) {
        flags.resistivityFixed = held.resistivityFixed;
        flags.thicknessFixed = held.thicknessFixed;
        flags.depthFixed = held.depthFixed;
    } else {
        flags.resistivityFixed = {};
        flags.thicknessFixed = {};
        flags.depthFixed = {};
    }
    const auto keep = [&](LayerModel hop) {
        imposeHeldValues(hop, held);
        hops.push_back(hop);
    };
    for (int i = 0; i <= n; ++i) {
        if (flags.resistivityFixed[static_cast<std::size_t>(i)] == 0) {
            for (double f : {factor, 1.0 / factor}) {
                LayerModel hop = fitted;
                hop.resistivity[static_cast<std::size_t>(i)] = static_cast<float>(
                    std::clamp(fitted.resistivity[static_cast<std::size_t>(i)] * f, kMinModelResistivity, kMaxModelResistivity));
                keep(hop);
            }
        }
        if (i == n || flags.thicknessFixed[static_cast<std::size_t>(i)] != 0 || flags.depthFixed[static_cast<std::size_t>(i)] != 0)
            continue;
        // The interfaces below move along down to the next held depth, whose
        // layer gives or takes the difference (as in the fit itself).
        int stop = i + 1;
        while (stop < n && flags.depthFixed[static_cast<std::size_t>(stop)] == 0) ++stop;
        for (double f : {factor, 1.0 / factor}) {
            LayerModel hop = fitted;
            double change = std::max(fitted.thickness(i) * f, kMinLayerThickness) - fitted.thickness(i);
            if (stop < n)
                change = std::min(change, static_cast<double>(fitted.depth[static_cast<std::size_t>(stop)]) -
                                              kMinLayerThickness - fitted.depth[static_cast<std::size_t>(stop - 1)]);
            for (int j = i; j < stop; ++j)
                hop.depth[static_cast<std::size_t>(j)] =
                    static_cast<float>(std::min(fitted.depth[static_cast<std::size_t>(j)] + change, kMaxModelDepth));
            keep(hop);
        }
    }
    return hops;
}

}  // namespace orma
