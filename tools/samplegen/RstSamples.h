#pragma once
#include <filesystem>
#include <vector>

namespace orma::samplegen {

/// Reads each GEF file with the program's own reader, shifts it and appends it
/// to `rstPath` with the program's own RST writer. Returns false on failure.
bool writeRstSamples(const std::vector<std::filesystem::path>& gefFiles, const std::filesystem::path& rstPath);

}  // namespace orma::samplegen
