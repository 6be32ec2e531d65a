// Speed of the global fit (core/GlobalFit.h) on one core: a generated
// four-layer sounding (30 grid points, 2 % noise) with the default number of
// starts, by the standard and by the accurate filter. Target: under 100 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "core/GlobalFit.h"
#include "tests/support/SyntheticSoundings.h"

namespace orma {
namespace {

void globalFit4Layers(benchmark::State& state, bool accurate) {
    std::mt19937 rng(2024);
    const auto sounding = test::noisySounding(test::randomEarth(4, rng), rng);
    GlobalFitOptions options;
    options.layers = 4;
    options.threads = 1;
    options.computation.accurateForward = accurate;
    GlobalFitSummary summary;
    for (auto _ : state) {
        auto trial = std::make_unique<Sounding>(*sounding);
        summary = fitGlobally(*trial, options);
        benchmark::DoNotOptimize(trial->ssq);
    }
    state.counters["starts"] = summary.startsTotal;
    state.counters["linearisations"] = static_cast<double>(summary.linearisations);
    state.counters["equivalent"] = static_cast<double>(summary.equivalent.models.size());
}

void BM_GlobalFit4Layers30Points(benchmark::State& state) { globalFit4Layers(state, false); }
void BM_GlobalFit4Layers30PointsAccurate(benchmark::State& state) { globalFit4Layers(state, true); }
BENCHMARK(BM_GlobalFit4Layers30Points)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlobalFit4Layers30PointsAccurate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orma
