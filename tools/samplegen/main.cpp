// orma_samplegen OUTDIR: writes the bundled sample data (deterministic):
//   OUTDIR/profile1/VES<chainage>.GEF  one instrument file per sounding of the profile
//   OUTDIR/ves.rst                     the same soundings as RST result records
//   OUTDIR/ves-ukazkova-data/ukazkova-ves-databaze.vdb
//                                      the profile database the program opens at start
//   OUTDIR/ucm/P1.UCM, P1.UCM_b        its first profile as the UCM export writes it

#include <filesystem>
#include <fstream>
#include <iostream>

#include "DatabaseSamples.h"
#include "io/CLocaleFormat.h"
#include "FieldSurvey.h"
#include "RstSamples.h"
#include "UcmSamples.h"

int main(int argc, char** argv) {
    using namespace orma::samplegen;
    const orma::CLocaleScope cLocale;  // the samples hold decimal points in every locale
    if (argc != 2) {
        std::cerr << "usage: orma_samplegen OUTDIR\n";
        return 2;
    }
    const std::filesystem::path outDir = argv[1];
    const std::filesystem::path profileDir = outDir / "profile1";
    std::filesystem::create_directories(profileDir);

    std::vector<std::filesystem::path> gefFiles;
    const std::vector<SoundingPlan> plans = sampleProfile();
    int day = 0;
    for (const SoundingPlan& plan : plans) {
        const FieldSounding sounding = surveySounding(plan, day / 4, 20260511u + static_cast<unsigned>(plan.pointNumber));
        ++day;
        const std::filesystem::path path = profileDir / ("VES" + std::to_string(plan.pointNumber) + ".GEF");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << gefFileText(sounding);
        if (!out) {
            std::cerr << "orma_samplegen: cannot write " << path << "\n";
            return 1;
        }
        gefFiles.push_back(path);
    }
    if (!writeRstSamples(gefFiles, outDir / "ves.rst")) return 1;
    if (!writeSampleDatabase(gefFiles, plans, outDir)) return 1;
    return writeUcmSample(outDir) ? 0 : 1;
}
