// Speed of the interpretation engine: the forward computation runs on every
// mouse move while the user drags the model, the fit blocks the window.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "bench/LayeredSoundings.h"
#include "core/Fit.h"
#include "core/FitParameters.h"
#include "core/Forward.h"
#include "core/Sensitivities.h"
#include "core/Svd.h"

namespace orma {
namespace {

using orma::bench::layeredSounding;

void BM_Forward3Layers28Points(benchmark::State& state) {
    auto s = layeredSounding(3, 0, 27);
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeForward(*s));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Forward3Layers28Points);

void BM_Forward30Layers99Points(benchmark::State& state) {
    auto s = layeredSounding(30, 0, 98);
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeForward(*s));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Forward30Layers99Points);

void BM_Sensitivities4Layers30Points(benchmark::State& state) {
    auto s = layeredSounding(4, 0, 29);
    auto ws = std::make_unique<FitWorkspace>();
    for (auto _ : state) {
        computeSensitivities(*s, *ws);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sensitivities4Layers30Points);

void BM_Sensitivities30Layers99Points(benchmark::State& state) {
    auto s = layeredSounding(30, 0, 98);
    auto ws = std::make_unique<FitWorkspace>();
    for (auto _ : state) {
        computeSensitivities(*s, *ws);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sensitivities30Layers99Points);

/// The SVD of a real weighted Jacobian of `layers` layers on `rows` grid rows.
void svdOfJacobian(benchmark::State& state, int layers, int rows) {
    auto s = layeredSounding(layers, 0, rows - 1);
    auto ws = std::make_unique<FitWorkspace>();
    computeForward(*s);
    computeSensitivities(*s, *ws);
    for (int i = 0; i < layers - 1; ++i) ws->layerThickness[i] = s->model.thickness(i);
    for (int r = 0; r < rows; ++r) ws->rowGridOffset[r] = r;
    const int parameters = layoutFitColumns(s->model, *ws);
    for (auto _ : state) {
        fillJacobian(*s, *ws, rows, parameters);
        benchmark::DoNotOptimize(decomposeSvd(*ws, rows, parameters));
        benchmark::ClobberMemory();
    }
}

void BM_Svd4Layers30Points(benchmark::State& state) { svdOfJacobian(state, 4, 30); }
BENCHMARK(BM_Svd4Layers30Points);

void BM_Svd30Layers99Points(benchmark::State& state) { svdOfJacobian(state, 30, 99); }
BENCHMARK(BM_Svd30Layers99Points);

void BM_Fit4Layers30Points(benchmark::State& state) {
    // True model 50, 400, 30, 1000 ohm-m, interfaces at 2, 10 and 60 m,
    // started within 50 % of every value.
    auto truth = layeredSounding(4, 0, 29);
    const float rho[] = {50, 400, 30, 1000};
    const float depth[] = {2, 10, 60};
    const float startRho[] = {75, 250, 45, 600};
    const float startDepth[] = {1.2f, 14, 40};
    for (int i = 0; i < 4; ++i) truth->model.resistivity[i] = rho[i];
    for (int i = 0; i < 3; ++i) truth->model.depth[i] = depth[i];
    computeForward(*truth);
    for (int k = 0; k <= 29; ++k) truth->branches.shiftedRho[k][0] = truth->computedRho[k];
    auto s = std::make_unique<Sounding>(*truth);
    auto ws = std::make_unique<FitWorkspace>();
    FitSummary summary;
    for (auto _ : state) {
        for (int i = 0; i < 4; ++i) s->model.resistivity[i] = startRho[i];
        for (int i = 0; i < 3; ++i) s->model.depth[i] = startDepth[i];
        summary = fitModel(*s, *ws);
    }
    state.counters["linearisations"] = summary.linearisations;
    state.counters["trials"] = summary.trials;
    state.counters["ssqDrop"] = summary.startSsq / summary.ssq;
}
BENCHMARK(BM_Fit4Layers30Points)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orma
