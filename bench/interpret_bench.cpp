// Speed of the unattended interpretation of a profile: 200 GEF files of
// four-layer earths (30 grid points in three branches, 2 % noise) read,
// started automatically, fitted on all cores, and put into a database and a
// summary, as `ormacli interpret DIR --layers 4 --vdb ... --csv ...` does
// (without starting the process).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "io/DirectoryListing.h"
#include "io/ProfileInterpretation.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"
#include "tests/support/SyntheticSoundings.h"

namespace orma {
namespace {

/// The generated profile, removed when the benchmark program ends.
struct GeneratedProfile {
    std::filesystem::path path;
    ~GeneratedProfile() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

std::filesystem::path profileDirectory() {
    static const GeneratedProfile profile{[] {
        const auto path = std::filesystem::temp_directory_path() / ("orma_interpret_bench_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        std::mt19937 rng(2024);
        for (int i = 0; i < 200; ++i) {
            const LayerModel earth = test::randomEarth(4, rng);
            const std::string name = "VES" + std::to_string(10 * i) + ".GEF";
            writeWholeFile(path / name, test::syntheticGefText(earth, rng), ExistingFile::Replace);
        }
        return path;
    }()};
    return profile.path;
}

void BM_InterpretProfileOf200Soundings(benchmark::State& state) {
    const std::filesystem::path dir = profileDirectory();
    ProfileInterpretationOptions options;
    options.layers = 4;
    options.threads = static_cast<unsigned>(state.range(0));
    std::size_t interpreted = 0;
    for (auto _ : state) {
        std::vector<std::string> files;
        for (const std::filesystem::path& file : listDirectoryFiles(dir, ListedFiles::GefAndSheets))
            files.push_back(file.string());
        std::vector<InterpretedSounding> results = interpretSoundingFiles(files, options);
        const VesDatabase db = profileDatabase(results, "bench");
        benchmark::DoNotOptimize(formatVdb(db, "bench.vdb"));
        benchmark::DoNotOptimize(interpretationSummaryCsv(results, options.layers));
        interpreted = db.localities[0].profiles[0].points.size();
    }
    state.counters["interpreted"] = static_cast<double>(interpreted);
}
// 0 threads: one per core, as the command runs.
BENCHMARK(BM_InterpretProfileOf200Soundings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

/// `ormacli interpret DIR --layers 4 --global` (the default starts, layer by
/// layer from one layer up) of the first `state.range(1)` soundings on
/// `state.range(0)` threads; "per sounding" is the time of one on one core.
void BM_InterpretGlobally(benchmark::State& state) {
    const std::filesystem::path dir = profileDirectory();
    ProfileInterpretationOptions options;
    options.layers = 4;
    options.threads = static_cast<unsigned>(state.range(0));
    options.globalStarts = kDefaultInterpretGlobalStarts;
    std::vector<std::string> files;
    for (const std::filesystem::path& file : listDirectoryFiles(dir, ListedFiles::GefAndSheets)) {
        if (static_cast<long>(files.size()) == state.range(1)) break;
        files.push_back(file.string());
    }
    std::size_t interpreted = 0;
    for (auto _ : state) {
        std::vector<InterpretedSounding> results = interpretSoundingFiles(files, options);
        const VesDatabase db = profileDatabase(results, "bench");
        benchmark::DoNotOptimize(formatVdb(db, "bench.vdb"));
        benchmark::DoNotOptimize(interpretationSummaryCsv(results, options.layers, {true, false}));
        interpreted = db.localities[0].profiles[0].points.size();
    }
    state.counters["interpreted"] = static_cast<double>(interpreted);
    state.counters["per sounding"] = benchmark::Counter(static_cast<double>(files.size()),
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}
// 200 soundings on every core (target: under 10 s on 2 cores), and 20 on one
// thread for the time of one sounding (target: about 50 ms).
BENCHMARK(BM_InterpretGlobally)->Args({0, 200})->Args({1, 20})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace orma
