// Cost of the recovery copy written after every change of the database: the
// whole database formatted and put on the disk (synced) under its recovery
// name, as the section window does after a transfer or a write-back.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "io/RecoveryCopy.h"
#include "tests/support/VesDatabaseBuilders.h"

namespace orma {
namespace {

void BM_RecoveryCopyWrite(benchmark::State& state) {
    // One profile of 200 points (30 readings, 10 layers), or the largest
    // database: 20 such profiles of 150 readings.
    const bool large = state.range(0) != 0;
    VesDatabase db = large ? test::makeDatabase(1, 20, 200, 150, 10) : test::makeDatabase(1, 1, 200, 30, 10);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orma_recovery_bench_" + std::to_string(::getpid()));
    db.fileName = (folder / "profil.vdb").string();
    RecoveryCopy copy(folder);
    for (auto _ : state) {
        if (!copy.write(db)) state.SkipWithError("the recovery copy was not written");
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(copy.path())) / 1e6;
    copy.remove();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_RecoveryCopyWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orma
