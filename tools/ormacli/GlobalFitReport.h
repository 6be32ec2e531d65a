#pragma once
// How `ormacli fit --global` reports the search: as JSON, as a table, and the
// equivalent models as CSV (--equivalent). Layers are numbered from 0, as in
// the --fix options.

#include <nlohmann/json.hpp>
#include <string>

#include "core/GlobalFit.h"

namespace orma::cli {

/// {"starts", "startsFitted", "seed", "bestStart", "bestStartKind",
/// "linearisations", "equivalent": {"factor", "threshold", "tolerance",
/// "count", "candidates", "values": [{"kind", "layer", "min", "max"}]}};
/// kinds are resistivity, thickness and depth.
nlohmann::json globalFitJson(const GlobalFitSummary& summary, std::uint64_t seed);

/// The same as a few lines and a table on stdout.
void printGlobalFit(const GlobalFitSummary& summary, std::uint64_t seed);

/// Writes the equivalent models to `target` ("-": standard output), never
/// over an existing file; returns the exit status.
int writeEquivalentModels(const std::string& target, const EquivalentModels& models, const std::string& soundingName);

}  // namespace orma::cli
