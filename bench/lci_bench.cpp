// Speed of the laterally constrained inversion: a profile of 200 soundings
// (four layers, 30 grid points each, 3 % noise) fitted jointly from the
// models of their independent fits, on one and on two threads; and the same
// profile with no models at all, so that every point first gets its
// automatic start inside the run.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/LateralInversion.h"
#include "tests/support/SyntheticProfiles.h"

namespace orma {
namespace {

test::ProfileScenario benchProfile() {
    test::ProfileScenario sc;
    sc.points = 200;
    sc.spacing = 20.0;
    sc.gridPoints = 30;
    sc.resistivity = {100.0, 20.0, 300.0, 60.0};
    sc.deeperInterfaces = {120.0};
    sc.seed = 2024;
    return sc;
}

/// The profile's soundings with the models of their independent fits (made once).
const std::vector<LciSounding>& fittedProfile() {
    static const std::vector<LciSounding> soundings = [] {
        std::vector<LciSounding> s = test::scenarioSoundings(benchProfile());
        test::fitIndependently(s, 4);
        return s;
    }();
    return soundings;
}

void runJointFit(benchmark::State& state, const std::vector<LciSounding>& start) {
    LateralInversionOptions options;
    options.threads = static_cast<unsigned>(state.range(0));
    LateralInversionSummary summary;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<LciSounding> soundings = test::copySoundings(start);
        state.ResumeTiming();
        const Outcome run = runLateralInversion(soundings, 4, options, summary);
        if (!run) state.SkipWithError(run.text().c_str());
    }
    state.counters["points"] = summary.points;
    state.counters["linearisations"] = summary.linearisations;
    state.counters["ssqRatio"] = summary.dataSsq / summary.startDataSsq;
}

void BM_LciOf200PointProfile(benchmark::State& state) { runJointFit(state, fittedProfile()); }
BENCHMARK(BM_LciOf200PointProfile)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LciOf200PointProfileFromAutomaticStarts(benchmark::State& state) {
    static const std::vector<LciSounding> bare = test::scenarioSoundings(benchProfile());
    runJointFit(state, bare);
}
BENCHMARK(BM_LciOf200PointProfileFromAutomaticStarts)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace orma
