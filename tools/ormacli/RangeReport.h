#pragma once
// How `ormacli fit --ranges` reports the parameter ranges: as JSON and as a
// table. Layers are numbered from 0, as in the --fix options.

#include <nlohmann/json.hpp>

#include "core/ParameterRanges.h"

namespace orma::cli {

/// {"factor", "ssq", "threshold", "refits", "model", "parameters": [{"kind",
/// "layer", "value", "lower", "upper", "stdFactor"}]}; an unbounded side is
/// null, and so is a standard deviation that is undetermined or wider than a
/// factor of 1000.
nlohmann::json rangesJson(const RangeSummary& ranges);

/// The same as a table on stdout.
void printRanges(const RangeSummary& ranges);

}  // namespace orma::cli
