#include "core/AccurateForward.h"

#include <algorithm>
#include <cmath>

#include "core/LayeredTransform.h"

namespace orma {

namespace {

constexpr int kMaxSampleIndex = kMaxNodeIndex + kHankelJ1Centre + kInterpolationPoints;
constexpr double kNegligibleTail = 1e-10;
constexpr int kNodesBelow = kInterpolationPoints / 2 - 1;
constexpr int kNodesAbove = kInterpolationPoints / 2;

const std::array<double, 2 * kMaxSampleIndex + 1>& abscissaTable() {
    static const std::array<double, 2 * kMaxSampleIndex + 1> table = [] {
        std::array<double, 2 * kMaxSampleIndex + 1> lambda{};
        for (int q = -kMaxSampleIndex; q <= kMaxSampleIndex; ++q)
            lambda[q + kMaxSampleIndex] = std::exp(q * kHankelJ1Step);
        return lambda;
    }();
    return table;
}

bool inputsFinite(int layerCount, const double* resistivity, const double* thickness) {
    if (layerCount < 1 || layerCount > kMaxLayers) return false;
    for (int i = 0; i < layerCount; ++i)
        if (!(resistivity[i] > 0.0) || !std::isfinite(resistivity[i])) return false;
    for (int i = 0; i + 1 < layerCount; ++i)
        if (!(thickness[i] >= 0.0) || !std::isfinite(thickness[i])) return false;
    return true;
}

/// Node position of a spacing in units of the filter step.
double nodePosition(double ab2) { return std::log(ab2) / kHankelJ1Step; }

}  // namespace

double sampleAbscissa(int q) { return abscissaTable()[q + kMaxSampleIndex]; }

const std::array<double, kHankelJ1Taps>& schlumbergerTaps() {
    static const std::array<double, kHankelJ1Taps> taps = [] {
        std::array<double, kHankelJ1Taps> c{};
        for (int i = 0; i < kHankelJ1Taps; ++i)
            c[i] = kHankelJ1Weights[i] * std::exp((i - kHankelJ1Centre) * kHankelJ1Step);
        return c;
    }();
    return taps;
}

bool planLaggedGrid(const double* ab2, int count, LaggedGrid& grid) {
    if (count < 1) return false;
    int lowest = kMaxNodeIndex;
    int highest = -kMaxNodeIndex;
    for (int i = 0; i < count; ++i) {
        if (!(ab2[i] > 0.0) || !std::isfinite(ab2[i])) return false;
        const double p = nodePosition(ab2[i]);
        if (!(std::fabs(p) < kMaxNodeIndex)) return false;
        const int below = static_cast<int>(std::floor(p));
        if (below - kNodesBelow < lowest) lowest = below - kNodesBelow;
        if (below + kNodesAbove > highest) highest = below + kNodesAbove;
    }
    if (highest - lowest + 1 > kMaxLaggedNodes) return false;
    grid.firstNode = lowest;
    grid.nodeCount = highest - lowest + 1;
    return true;
}

NodeWeights interpolationWeights(double ab2) {
    // Lagrange weights on the nodes at offsets o_j = j - kNodesBelow:
    // w_j = prod_{m != j} (t - o_m) / prod_{m != j} (o_j - o_m), the numerator
    // from products before and after j, the denominator a constant.
    static const std::array<double, kInterpolationPoints> inverseDenominator = [] {
        std::array<double, kInterpolationPoints> inverse{};
        for (int j = 0; j < kInterpolationPoints; ++j) {
            double product = 1.0;
            for (int m = 0; m < kInterpolationPoints; ++m)
                if (m != j) product *= static_cast<double>(j - m);
            inverse[j] = 1.0 / product;
        }
        return inverse;
    }();
    const double p = nodePosition(ab2);
    const double below = std::floor(p);
    const double t = p - below;  // in [0, 1)
    std::array<double, kInterpolationPoints> before;
    double product = 1.0;
    for (int j = 0; j < kInterpolationPoints; ++j) {
        before[j] = product;
        product *= t - (j - kNodesBelow);
    }
    NodeWeights result;
    result.firstNode = static_cast<int>(below) - kNodesBelow;
    product = 1.0;
    for (int j = kInterpolationPoints - 1; j >= 0; --j) {
        result.weight[j] = before[j] * product * inverseDenominator[j];
        product *= t - (j - kNodesBelow);
    }
    return result;
}

LiveRange liveRange(const LaggedGrid& grid, int layerCount, const double* resistivity, const double* thickness) {
    // Taps whose summed weight, times the largest the kernel can be relative
    // to the smallest the curve can be, stays under 1e-10 are left out.
    static const std::array<double, kHankelJ1Taps + 1> weightBelow = [] {
        std::array<double, kHankelJ1Taps + 1> sum{};
        for (int i = 0; i < kHankelJ1Taps; ++i) sum[i + 1] = sum[i] + std::fabs(schlumbergerTaps()[i]);
        return sum;
    }();
    double lowest = resistivity[0];
    double highest = resistivity[0];
    for (int i = 1; i < layerCount; ++i) {
        lowest = std::min(lowest, resistivity[i]);
        highest = std::max(highest, resistivity[i]);
    }
    const double allowed = kNegligibleTail * lowest / highest;
    LiveRange live;
    while (live.firstTap + 1 < kHankelJ1Taps && weightBelow[live.firstTap + 1] <= allowed) ++live.firstTap;

    live.sampleEnd = grid.sampleCount();
    if (layerCount == 1) {
        live.sampleEnd = 0;  // a half-space: the kernel is zero everywhere
    } else if (thickness[0] > 0.0) {
        const double* lambda = &abscissaTable()[grid.firstSample() + kMaxSampleIndex];
        while (live.sampleEnd > 0 && 2.0 * thickness[0] * lambda[live.sampleEnd - 1] > kOpaqueLayer) --live.sampleEnd;
    }
    return live;
}

int computeAccurateCurve(int layerCount, const double* resistivity, const double* thickness, const double* ab2,
                         int count, double* rhoA) {
    LaggedGrid grid;
    if (!inputsFinite(layerCount, resistivity, thickness) || !planLaggedGrid(ab2, count, grid)) return kFailed;
    const LiveRange live = liveRange(grid, layerCount, resistivity, thickness);

    const double* lambda = &abscissaTable()[grid.firstSample() + kMaxSampleIndex];
    std::array<double, kMaxLaggedSamples> kernel;
    transformBelowTop(layerCount, resistivity, thickness, lambda, live.firstTap, live.sampleEnd, kernel.data());

    // reversed[m] belongs to node lastNode - m and reads tap i at sample i + m.
    // Taps outside, nodes inside: every node keeps its own sum, so the
    // additions of neighbouring nodes overlap instead of forming one chain.
    const std::array<double, kHankelJ1Taps>& taps = schlumbergerTaps();
    std::array<double, kMaxLaggedNodes> reversed;
    const int nodes = grid.nodeCount;
    for (int m = 0; m < nodes; ++m) reversed[m] = 0.0;
    for (int i = live.firstTap; i < kHankelJ1Taps; ++i) {
        const double c = taps[i];
        const double* samples = kernel.data() + i;
        const int liveNodes = std::min(nodes, live.sampleEnd - i);
        for (int m = 0; m < liveNodes; ++m) reversed[m] += c * samples[m];
    }
    std::array<double, kMaxLaggedNodes> node;
    for (int n = 0; n < nodes; ++n) node[n] = resistivity[0] + reversed[nodes - 1 - n];

    for (int i = 0; i < count; ++i) {
        const NodeWeights w = interpolationWeights(ab2[i]);
        double value = 0.0;
        for (int j = 0; j < kInterpolationPoints; ++j) value += w.weight[j] * node[w.firstNode + j - grid.firstNode];
        if (!std::isfinite(value)) return kFailed;
        rhoA[i] = value;
    }
    return kSuccess;
}

double accurateApparentResistivityAt(int layerCount, const double* resistivity, const double* thickness,
                                     double ab2) {
    if (!inputsFinite(layerCount, resistivity, thickness) || !(ab2 > 0.0)) return std::nan("");
    std::array<double, kHankelJ1Taps> lambda;
    for (int i = 0; i < kHankelJ1Taps; ++i) lambda[i] = std::exp((i - kHankelJ1Centre) * kHankelJ1Step) / ab2;
    std::array<double, kHankelJ1Taps> kernel;
    transformBelowTop(layerCount, resistivity, thickness, lambda.data(), 0, kHankelJ1Taps, kernel.data());
    const std::array<double, kHankelJ1Taps>& taps = schlumbergerTaps();
    double sum = 0.0;
    for (int i = 0; i < kHankelJ1Taps; ++i) sum += taps[i] * kernel[i];
    return resistivity[0] + sum;
}

}  // namespace orma
