// Speed of the database file: a large profile database written as a new
// file and read back, as the save and open commands do.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "io/VdbFile.h"
#include "tests/support/VesDatabaseBuilders.h"

namespace orma {
namespace {

/// One locality of 20 profiles of 200 points, each with 150 samples and 10 layers.
const VesDatabase& largeDatabase() {
    static const VesDatabase db = test::makeDatabase(1, 20, 200, 150, 10);
    return db;
}

std::string scratchFile() {
    return (std::filesystem::temp_directory_path() / ("orma_vdb_bench_" + std::to_string(::getpid()) + ".vdb")).string();
}

void BM_VdbWriteAndRead(benchmark::State& state) {
    const VesDatabase& db = largeDatabase();
    const std::string path = scratchFile();
    auto back = std::make_unique<VesDatabase>();
    for (auto _ : state) {
        std::filesystem::remove(path);
        if (!writeVdbFile(db, path) || !readVdbFile(path, *back)) state.SkipWithError("write or read failed");
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_VdbWriteAndRead)->Unit(benchmark::kMillisecond);

void BM_VdbFormat(benchmark::State& state) {
    const VesDatabase& db = largeDatabase();
    for (auto _ : state) benchmark::DoNotOptimize(formatVdb(db, "bench.vdb"));
}
BENCHMARK(BM_VdbFormat)->Unit(benchmark::kMillisecond);

void BM_VdbParse(benchmark::State& state) {
    const std::string bytes = formatVdb(largeDatabase(), "bench.vdb");
    auto back = std::make_unique<VesDatabase>();
    for (auto _ : state) {
        if (!parseVdb(bytes, *back).ok) state.SkipWithError("parse failed");
    }
}
BENCHMARK(BM_VdbParse)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orma
