#include "UcmSamples.h"

#include <iostream>
#include <memory>
#include <string>

#include "core/SectionFrame.h"
#include "io/UcmWriter.h"
#include "io/VdbFile.h"

namespace orma::samplegen {

bool writeUcmSample(const std::filesystem::path& outDir) {
    const std::string database = (outDir / "ves-ukazkova-data" / "ukazkova-ves-databaze.vdb").string();
    auto db = std::make_unique<VesDatabase>();
    const Outcome read = readVdbFile(database, *db);
    if (!read || db->localities.empty() || db->localities[0].profiles.empty()) {
        std::cerr << "orma_samplegen: " << database << ": " << read.text() << "\n";
        return false;
    }
    const Locality& locality = db->localities[0];
    const Profile& profile = locality.profiles[0];
    UcmParameters parameters;
    const UcmScripts scripts =
        formatUcmScripts(locality.name, profile, exportFrame(profile, SectionLimits{}), parameters, SectionLabelSwitches{});
    const std::filesystem::path dir = outDir / "ucm";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "P1.UCM").string();
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::filesystem::remove(ucmSecondFileName(path), ec);
    if (const std::optional<std::string> problem = writeUcmFiles(path, scripts)) {
        std::cerr << "orma_samplegen: " << *problem << "\n";
        return false;
    }
    return true;
}

}  // namespace orma::samplegen
