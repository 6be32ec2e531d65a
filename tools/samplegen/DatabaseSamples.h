#pragma once
// The sample profile database: the soundings of the sample profile and of two
// more profiles, each read with the program's own GEF reader, shifted, fitted
// with the program's own fit from an interpreter's first guess, and placed at
// its chainage along a surveyed terrain line.

#include <filesystem>
#include <vector>

#include "ProfileModels.h"

namespace orma::samplegen {

/// Writes OUTDIR/ves-ukazkova-data/ukazkova-ves-databaze.vdb. `profileGef`
/// are the GEF files of the sample profile, in the order of `profilePlans`.
/// Returns false on failure (after saying why on stderr).
bool writeSampleDatabase(const std::vector<std::filesystem::path>& profileGef,
                         const std::vector<SoundingPlan>& profilePlans, const std::filesystem::path& outDir);

}  // namespace orma::samplegen
