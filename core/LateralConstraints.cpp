#include "core/LateralConstraints.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/ModelLimits.h"

namespace orma {

double lateralDeviation(double factor, double distance) {
    const double d = std::max(distance, kLateralMinimumDistance);
    return std::log(factor) * d / kLateralReferenceDistance;
}

std::vector<LateralLink> lateralLinks(const std::vector<double>& chainage) {
    std::vector<int> order(chainage.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return chainage[a] < chainage[b]; });
    std::vector<LateralLink> links;
    for (std::size_t i = 1; i < order.size(); ++i) {
        const int left = order[i - 1];
        const int right = order[i];
        links.push_back({left, right, std::max(chainage[right] - chainage[left], kLateralMinimumDistance)});
    }
    return links;
}

std::vector<LateralConstraint> lateralConstraints(const std::vector<LateralLink>& links, int layers,
                                                  double resistivityFactor, double depthFactor,
                                                  double robustBeyond) {
    std::vector<LateralConstraint> rows;
    rows.reserve(links.size() * static_cast<std::size_t>(std::max(2 * layers - 1, 0)));
    for (const LateralLink& link : links) {
        const double rhoDeviation = lateralDeviation(resistivityFactor, link.distance);
        const double depthDeviation = lateralDeviation(depthFactor, link.distance);
        for (int k = 0; k < layers; ++k) {
            rows.push_back({link.left, link.right, TiedValue::Resistivity, k, rhoDeviation, robustBeyond});
            if (k + 1 < layers)
                rows.push_back({link.left, link.right, TiedValue::Depth, k, depthDeviation, robustBeyond});
        }
    }
    return rows;
}

TiedLogValues tiedLogValues(int layers, const double* resistivity, const double* thickness) {
    TiedLogValues values;
    double depth = 0.0;
    for (int k = 0; k < layers; ++k) {
        values.logResistivity[k] = std::log(resistivity[k]);
        if (k + 1 < layers) {
            depth += thickness[k];
            values.depth[k] = std::max(depth, kMinLayerThickness);
            values.logDepth[k] = std::log(values.depth[k]);
        }
    }
    return values;
}

namespace {

double tiedValue(const LateralConstraint& c, const TiedLogValues& values) {
    return c.value == TiedValue::Resistivity ? values.logResistivity[c.index] : values.logDepth[c.index];
}

}  // namespace

double constraintResidual(const LateralConstraint& c, const TiedLogValues& left, const TiedLogValues& right,
                          const TiedLogValues* middle) {
    double sum = c.leftCoefficient * tiedValue(c, left) + c.rightCoefficient * tiedValue(c, right);
    if (middle) sum += c.middleCoefficient * tiedValue(c, *middle);
    return sum / c.deviation;
}

std::vector<LateralConstraint> lateralBendConstraints(const std::vector<LateralLink>& links, int layers,
                                                      double depthFactor, double robustBeyond) {
    std::vector<LateralConstraint> rows;
    if (!(depthFactor > 1.0)) return rows;
    for (std::size_t i = 1; i < links.size(); ++i) {
        const LateralLink& a = links[i - 1];
        const LateralLink& b = links[i];
        const double mean = 0.5 * (a.distance + b.distance);
        for (int k = 0; k + 1 < layers; ++k) {
            LateralConstraint c{a.left, b.right, TiedValue::Depth, k, lateralDeviation(depthFactor, mean),
                                robustBeyond};
            c.middle = a.right;
            c.leftCoefficient = mean / a.distance;
            c.rightCoefficient = mean / b.distance;
            c.middleCoefficient = -(c.leftCoefficient + c.rightCoefficient);
            rows.push_back(c);
        }
    }
    return rows;
}

double constraintPenalty(const LateralConstraint& c, double v) {
    const double k = c.robustBeyond;
    const double size = std::fabs(v);
    return k <= 0.0 || size <= k ? v * v : 2.0 * k * size - k * k;
}

double constraintWeight(const LateralConstraint& c, double v) {
    const double k = c.robustBeyond;
    const double size = std::fabs(v);
    return k <= 0.0 || size <= k ? 1.0 : k / size;
}

double tiedDerivative(TiedValue value, int index, const FitColumn& column, const double* thickness,
                      const TiedLogValues& values) {
    if (value == TiedValue::Resistivity) return !column.isThickness && column.layer == index + 1 ? 1.0 : 0.0;
    if (!column.isThickness) return 0.0;
    // A depth at its floor does not move with the layers above it.
    double depth = 0.0;
    for (int k = 0; k <= index; ++k) depth += thickness[k];
    if (depth < kMinLayerThickness) return 0.0;
    const int interface = index + 1;  // 1-based, as the columns count layers
    const bool above = column.layer <= interface;
    const bool heldBetween = column.compensator > 0 && column.compensator <= interface;
    if (!above || heldBetween) return 0.0;
    return thickness[column.layer - 1] / values.depth[index];
}

}  // namespace orma
