// Speed of the optional numerics: the accurate forward computation (compare
// with BM_Forward* of engine_bench.cpp, the 13-tap filter on the same models)
// and a whole parameter-ranges computation.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "bench/LayeredSoundings.h"
#include "core/Fit.h"
#include "core/Forward.h"
#include "core/ParameterRanges.h"

namespace orma {
namespace {

/// The layered models of engine_bench.cpp.
using orma::bench::layeredSounding;

void accurateForward(benchmark::State& state, int layers, int points) {
    auto s = layeredSounding(layers, 0, points - 1);
    ComputationOptions options;
    options.accurateForward = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeForward(*s, options));
        benchmark::ClobberMemory();
    }
}

void BM_AccurateForward3Layers28Points(benchmark::State& state) { accurateForward(state, 3, 28); }
BENCHMARK(BM_AccurateForward3Layers28Points);

void BM_AccurateForward30Layers99Points(benchmark::State& state) { accurateForward(state, 30, 99); }
BENCHMARK(BM_AccurateForward30Layers99Points);

/// The 4-layer sounding of BM_Fit4Layers30Points with +-2 % of noise, so that
/// the ranges have a width; the whole computation from the start model.
void parameterRanges(benchmark::State& state, bool accurate) {
    auto s = layeredSounding(4, 0, 29);
    const float rho[] = {50, 400, 30, 1000};
    const float depth[] = {2, 10, 60};
    for (int i = 0; i < 4; ++i) s->model.resistivity[i] = rho[i];
    for (int i = 0; i < 3; ++i) s->model.depth[i] = depth[i];
    computeForward(*s);
    for (int k = 0; k <= 29; ++k)
        s->branches.shiftedRho[k][0] = s->computedRho[k] * static_cast<float>(1.0 + 0.02 * std::sin(2.7 * k));
    const float startRho[] = {75, 250, 45, 600};
    const float startDepth[] = {1.2f, 14, 40};
    for (int i = 0; i < 4; ++i) s->model.resistivity[i] = startRho[i];
    for (int i = 0; i < 3; ++i) s->model.depth[i] = startDepth[i];
    auto ws = std::make_unique<FitWorkspace>();
    ComputationOptions options;
    options.accurateForward = accurate;
    RangeSummary summary;
    for (auto _ : state) summary = computeParameterRanges(*s, *ws, options);
    state.counters["refits"] = summary.refits;
}

void BM_Ranges4Layers30Points(benchmark::State& state) { parameterRanges(state, false); }
BENCHMARK(BM_Ranges4Layers30Points)->Unit(benchmark::kMillisecond);

void BM_Ranges4Layers30PointsAccurate(benchmark::State& state) { parameterRanges(state, true); }
BENCHMARK(BM_Ranges4Layers30PointsAccurate)->Unit(benchmark::kMillisecond);

void BM_FitConverged4Layers30PointsAccurate(benchmark::State& state) {
    auto truth = layeredSounding(4, 0, 29);
    const float rho[] = {50, 400, 30, 1000};
    const float depth[] = {2, 10, 60};
    for (int i = 0; i < 4; ++i) truth->model.resistivity[i] = rho[i];
    for (int i = 0; i < 3; ++i) truth->model.depth[i] = depth[i];
    computeForward(*truth);
    for (int k = 0; k <= 29; ++k) truth->branches.shiftedRho[k][0] = truth->computedRho[k];
    auto s = std::make_unique<Sounding>(*truth);
    auto ws = std::make_unique<FitWorkspace>();
    ComputationOptions options;
    options.accurateForward = true;
    options.fitUntilConverged = true;
    FitSummary summary;
    for (auto _ : state) {
        const float startRho[] = {75, 250, 45, 600};
        const float startDepth[] = {1.2f, 14, 40};
        for (int i = 0; i < 4; ++i) s->model.resistivity[i] = startRho[i];
        for (int i = 0; i < 3; ++i) s->model.depth[i] = startDepth[i];
        summary = fitModel(*s, *ws, options);
    }
    state.counters["passes"] = summary.passes;
    state.counters["linearisations"] = summary.linearisations;
}
BENCHMARK(BM_FitConverged4Layers30PointsAccurate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orma
