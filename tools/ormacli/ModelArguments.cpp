#include "ModelArguments.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/ModelLimits.h"

namespace orma::cli {

namespace {

std::vector<std::string_view> splitAtCommas(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

std::string formatLimit(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace

std::optional<std::vector<double>> parseNumberList(std::string_view text) {
    std::vector<double> values;
    for (std::string_view item : splitAtCommas(text)) {
        double value = 0.0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (item.empty() || error != std::errc() || end != item.data() + item.size() || !std::isfinite(value))
            return std::nullopt;
        values.push_back(value);
    }
    return values;
}

std::optional<std::vector<int>> parseIndexList(std::string_view text) {
    std::vector<int> values;
    for (std::string_view item : splitAtCommas(text)) {
        int value = 0;
        const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
        if (item.empty() || error != std::errc() || end != item.data() + item.size()) return std::nullopt;
        values.push_back(value);
    }
    return values;
}

std::string buildModel(const std::vector<double>& rho, const std::vector<double>& depth, LayerModel& model) {
    if (rho.empty()) return "--rho needs at least one resistivity";
    if (rho.size() > static_cast<std::size_t>(kMaxLayers)) return "a model has at most 30 layers";
    if (depth.size() + 1 != rho.size())
        return "--depth needs " + std::to_string(rho.size() - 1) + " interface depths for " +
               std::to_string(rho.size()) + " resistivities";
    for (double value : rho)
        if (!(value > 0.0)) return "resistivities must be positive";
    for (std::size_t i = 0; i < depth.size(); ++i)
        if (!(depth[i] > (i == 0 ? 0.0 : depth[i - 1]))) return "depths must be positive and increasing";
    // The model holds floats: what it stores must still be a model that the
    // forward computation can compute.
    for (double value : rho)
        if (value < kMinModelResistivity || value > kMaxModelResistivity)
            return "resistivities must lie between " + formatLimit(kMinModelResistivity) + " and " +
                   formatLimit(kMaxModelResistivity) + " ohm-m";
    for (double value : depth)
        if (value > kMaxModelDepth) return "depths must not exceed " + formatLimit(kMaxModelDepth) + " m";

    model = LayerModel{};
    model.interfaceCount = static_cast<int>(depth.size());
    for (std::size_t i = 0; i < rho.size(); ++i) model.resistivity[i] = static_cast<float>(rho[i]);
    for (std::size_t i = 0; i < depth.size(); ++i) model.depth[i] = static_cast<float>(depth[i]);
    model.depth[depth.size()] = kHalfSpaceDepth;
    for (std::size_t i = 0; i < depth.size(); ++i)
        if (!(model.thickness(static_cast<int>(i)) >= kMinLayerThickness))
            return "every layer above the half-space must be at least " + formatLimit(kMinLayerThickness) +
                   " m thick (layer " + std::to_string(i) + " is not)";
    return {};
}

double shortestDecimal(float value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double result = value;
    std::from_chars(buffer, written.ptr, result);
    return result;
}

}  // namespace orma::cli
