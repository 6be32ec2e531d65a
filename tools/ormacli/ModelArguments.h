#pragma once
// Command-line pieces shared by `ormacli forward` and `ormacli fit`: number
// lists such as "200,20,500" and the layered model they describe.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Sounding.h"

namespace orma::cli {

/// "1.5,2,30" -> {1.5, 2, 30}; nullopt when an item is empty or not a finite number.
std::optional<std::vector<double>> parseNumberList(std::string_view text);

/// "0,2" -> {0, 2}; nullopt when an item is not a whole number.
std::optional<std::vector<int>> parseIndexList(std::string_view text);

/// Fills `model` (flags cleared) from N + 1 resistivities and N interface
/// depths. Returns an empty string on success, otherwise what is wrong:
/// at most 30 layers, exactly one depth fewer than resistivities,
/// resistivities within the limits of core/ModelLimits.h, depths increasing
/// and no deeper than the limit, and every layer, as stored, at least the
/// smallest thickness thick.
std::string buildModel(const std::vector<double>& rho, const std::vector<double>& depth, LayerModel& model);

/// Shortest decimal that reads back as the same float (1.3f prints as 1.3).
double shortestDecimal(float value);

}  // namespace orma::cli
