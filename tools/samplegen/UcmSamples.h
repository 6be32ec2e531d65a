#pragma once
// The UCM export of the sample database's first profile, as the section
// window writes it with its default options: a fixture the tests compare
// the window's and ormacli's exports with.

#include <filesystem>

namespace orma::samplegen {

/// Reads OUTDIR/ves-ukazkova-data/ukazkova-ves-databaze.vdb and writes
/// OUTDIR/ucm/P1.UCM and OUTDIR/ucm/P1.UCM_b. False after a message.
bool writeUcmSample(const std::filesystem::path& outDir);

}  // namespace orma::samplegen
