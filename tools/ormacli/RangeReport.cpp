#include "RangeReport.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "ModelArguments.h"

namespace orma::cli {

namespace {

const char* kindName(const ParameterRange& range) { return range.isThickness ? "thickness" : "resistivity"; }

nlohmann::json boundJson(bool unbounded, double value) {
    return unbounded ? nlohmann::json() : nlohmann::json(value);
}

/// The standard deviation as a factor, or nothing where it is not determined
/// (no spare data rows) or the data leave the value free (beyond the factor
/// the ranges search, a figure like 1e20 says nothing more).
std::optional<double> stdFactor(const ParameterRange& range) {
    const double factor = std::exp(range.logStdDev);
    if (!std::isfinite(factor) || factor > kRangeSearchLimit) return std::nullopt;
    return factor;
}

nlohmann::json modelValuesJson(const ModelValues& model) {
    nlohmann::json rho = nlohmann::json::array();
    nlohmann::json depth = nlohmann::json::array();
    for (int i = 0; i <= model.interfaceCount; ++i) rho.push_back(shortestDecimal(model.resistivity[i]));
    for (int i = 0; i < model.interfaceCount; ++i) depth.push_back(shortestDecimal(model.depth[i]));
    return {{"resistivity", std::move(rho)}, {"depth", std::move(depth)}, {"ssq", model.ssq}};
}

}  // namespace

nlohmann::json rangesJson(const RangeSummary& ranges) {
    nlohmann::json parameters = nlohmann::json::array();
    for (int c = 0; c < ranges.parameterCount; ++c) {
        const ParameterRange& range = ranges.ranges[c];
        const std::optional<double> factor = stdFactor(range);
        parameters.push_back({{"kind", kindName(range)},
                              {"layer", range.layer - 1},
                              {"value", range.value},
                              {"lower", boundJson(range.lowerUnbounded, range.lower)},
                              {"upper", boundJson(range.upperUnbounded, range.upper)},
                              {"stdFactor", factor ? nlohmann::json(*factor) : nlohmann::json()}});
    }
    return {{"factor", ranges.factor},
            {"ssq", ranges.bestSsq},
            {"threshold", ranges.threshold},
            {"refits", ranges.refits},
            {"model", modelValuesJson(ranges.best)},
            {"parameters", std::move(parameters)}};
}

void printRanges(const RangeSummary& ranges) {
    std::printf("ranges: SSQ within %g x %.6f = %.6f (%d refits)\n", ranges.factor, ranges.bestSsq,
                ranges.threshold, ranges.refits);
    std::printf("%-16s %14s %14s %14s %12s\n", "value", "fitted", "lower", "upper", "std. factor");
    for (int c = 0; c < ranges.parameterCount; ++c) {
        const ParameterRange& range = ranges.ranges[c];
        char name[32];
        std::snprintf(name, sizeof name, "%s %d", kindName(range), range.layer - 1);
        char lower[32] = "unbounded";
        char upper[32] = "unbounded";
        if (!range.lowerUnbounded) std::snprintf(lower, sizeof lower, "%.6g", range.lower);
        if (!range.upperUnbounded) std::snprintf(upper, sizeof upper, "%.6g", range.upper);
        char factor[32] = "-";
        if (const std::optional<double> f = stdFactor(range)) std::snprintf(factor, sizeof factor, "%.4g", *f);
        std::printf("%-16s %14.6g %14s %14s %12s\n", name, range.value, lower, upper, factor);
    }
}

}  // namespace orma::cli
