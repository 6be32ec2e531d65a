// Speed of the profile's road in and out: a directory of 200 GEF files
// imported as points in one go, and a 200-point profile exported as the UCM
// script pair (formatted and written as two new files).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/SectionFrame.h"
#include "io/DirectoryListing.h"
#include "io/QuickImport.h"
#include "io/UcmWriter.h"
#include "tests/support/VesDatabaseBuilders.h"

namespace orma {
namespace {

std::filesystem::path scratchDir(const char* name) {
    const auto dir = std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

/// A GEF file of 30 readings in three overlapping branches.
std::string gefFile(int n) {
    std::ostringstream out;
    out << "TAMIR3 export\r\n0" << 1 + n % 28 << ".05.2024 x\r\nheader 3\r\nheader 4\r\n";
    for (int i = 0; i < 30; ++i) {
        const int branch = i < 12 ? 1 : i < 22 ? 2 : 3;
        const int k = i - (branch - 1) * 2;  // two repeated spacings per branch change
        out << "1 2 " << 50.0 + 10.0 * std::sin(0.3 * k + n) << " 4 5 0 7 " << std::pow(10.0, (k + 2) / 8.876)
            << " 9 " << (branch == 1 ? 0.5 : branch == 2 ? 2.0 : 10.0) << " 11 " << branch << " 13\r\n";
    }
    return out.str();
}

void BM_QuickImport200GefFiles(benchmark::State& state) {
    const auto dir = scratchDir("orma_import_bench_");
    for (int n = 0; n < 200; ++n) {
        std::ofstream(dir / ("VES" + std::to_string(5 * n) + ".GEF"), std::ios::binary) << gefFile(n);
    }
    int imported = 0;
    for (auto _ : state) {
        Profile profile;
        const auto files = listDirectoryFiles(dir, ListedFiles::Gef);
        imported = quickImportFiles(profile, files).imported;
    }
    if (imported != 200) state.SkipWithError("not every file was imported");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_QuickImport200GefFiles)->Unit(benchmark::kMillisecond);

void BM_UcmExport200Points(benchmark::State& state) {
    const VesDatabase db = test::makeDatabase(1, 1, 200, 12, 10);
    const Profile& profile = db.localities[0].profiles[0];
    const auto dir = scratchDir("orma_ucm_bench_");
    const std::string path = (dir / "pf.UCM").string();
    for (auto _ : state) {
        std::filesystem::remove(path);
        std::filesystem::remove(ucmSecondFileName(path));
        UcmParameters parameters;
        const UcmScripts scripts = formatUcmScripts("L", profile, exportFrame(profile, SectionLimits{}), parameters, {});
        if (writeUcmFiles(path, scripts)) state.SkipWithError("export failed");
    }
    state.counters["KB"] = static_cast<double>(std::filesystem::file_size(ucmSecondFileName(path))) / 1e3;
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_UcmExport200Points)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orma
