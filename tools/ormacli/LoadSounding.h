#pragma once
// Loading one sounding from a file for the subcommands, the way the
// interpretation window loads it.

#include <memory>
#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma::cli {

/// Reads a .GEF or .RST file (extension case-insensitive; RST record `record`), resets the
/// record for the new curve and shifts onto `reference`. Window messages go to `messages`.
/// On failure writes one clear line to stderr and returns nullptr.
std::unique_ptr<Sounding> loadSounding(const std::string& path, int record, int reference,
                                       std::vector<std::string>& messages);

}  // namespace orma::cli
