#pragma once
// The global fit: the best model of a given layer count that many fits from
// many starts find, and every model met on the way that fits about as well
// (the equivalent models, core/EquivalentModels.h).
//
// The method:
//
//  1. Starts, in this order (the order breaks ties):
//     a. the sounding's own model, when it has the layer count asked for; its
//        hold flags say which values every other start holds as well;
//     b. the automatic start (core/AutomaticStart.h): the best fit of the
//        smooth model merged to the layer count and of the splits of fewer
//        layers;
//     c. the caller's extra starts (for instance the same-earth splits of the
//        best model of one layer fewer, so that more layers never fit worse);
//     d. `starts` models spread over the model space by a Latin hypercube in
//        log resistivity and log depth (core/StartSampling.h).
//     Every start but the first is given the held values (imposeHeldValues).
//  2. Each start is fitted by the program's damped SVD fit (core/Fit.h) until
//     converged: passes until one gains less than 0.1 %, with the forward
//     computation the options choose. The fit itself is not changed.
//  3. Hops (`hopRounds` rounds): from each of the `hopModels` best fits that
//     differ (by more than 10 % in some value), starts with one free value at
//     a time multiplied and divided by `hopFactor` (core/StartSampling.h),
//     fitted as in step 2. The fit moves only along what the data resolve, so
//     it does not follow a valley of equivalent models (a thin layer known by
//     its conductance alone) to its far end, nor leave a thin layer for a
//     thinner, more extreme one; a hop lands there and the fit takes over.
//  4. The fit with the smallest SSQ whose model stays within the model value
//     limits (core/ModelLimits.h) wins; of equal SSQ the earlier start. With
//     the standard 13-tap filter a model must also lie within the filter's
//     reach (core/FilterReach.h): a search this wide finds models whose
//     curve the short filter gets wrong, and fits that only look good.
//  5. Every model a fit accepts on its way, and its end, whose SSQ lies within
//     `equivalenceFactor` times the winner's (and, like the winner, within the
//     limits and the filter's reach) goes into the equivalent models.
//
// Threads: the starts of a round are shared among plain std::threads by an
// atomic index; each thread owns one fit workspace (about 0.6 MB, so one per
// thread, never one per start) and one copy of the sounding. Results are
// gathered by start index and the hops depend only on them, so one seed gives
// the same answer for any thread count. The caller's thread works as one of
// the threads.
//
// The defaults: 64 spread starts, one round of hops from the 8 best distinct
// fits by a factor of 30. For four layers that is the automatic start, 64
// spread starts and 112 hops; on a generated sounding of 30 points it takes
// about 40 ms of one core with the standard filter and 95 ms with the
// accurate one (bench/globalfit_bench.cpp). On the field soundings measured
// by bench/accuracy (3 to 5 layers, 5 to 19 points) the result lies within
// 2 % of the best SSQ of an independent search from 1000 starts in 43 of 45
// cases with the standard filter and 44 of 45 with the accurate one.
//
// No Qt, no I/O.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/ComputationOptions.h"
#include "core/EquivalentModels.h"
#include "core/Fit.h"
#include "core/Outcome.h"
#include "core/Sounding.h"

namespace orma {

inline constexpr int kDefaultGlobalStarts = 64;
inline constexpr std::uint64_t kDefaultGlobalSeed = 1;
inline constexpr int kMaxGlobalStarts = 100000;
inline constexpr int kDefaultHopRounds = 1;
inline constexpr int kDefaultHopModels = 8;
inline constexpr double kDefaultHopFactor = 30.0;

/// Told after each start (done of total), from whichever thread finished it,
/// one call at a time, with done counting up to total.
using GlobalFitProgress = std::function<void(int done, int total)>;

struct GlobalFitOptions {
    /// Layers of the model sought, 1..30; 0 takes the layer count of the
    /// sounding's model.
    int layers = 0;
    /// Starts spread over the model space (step 1d), 0..kMaxGlobalStarts.
    int starts = kDefaultGlobalStarts;
    /// The same seed gives the same starts and the same answer.
    std::uint64_t seed = kDefaultGlobalSeed;
    /// Threads fitting the starts; 0 = one per core.
    unsigned threads = 1;
    /// Step 1b; off, only the other starts are fitted.
    bool automaticStart = true;
    /// The forward computation; every fit runs until converged whatever
    /// fitUntilConverged says.
    ComputationOptions computation;
    double equivalenceFactor = kDefaultEquivalenceFactor;  ///< at least 1
    double duplicateTolerance = kDefaultDuplicateTolerance;
    std::vector<LayerModel> extraStarts;  ///< step 1c; models of another layer count are left out
    /// Step 3: rounds of hops, each from this many of the best fits that
    /// differ, every free value once multiplied and once divided by hopFactor.
    int hopRounds = kDefaultHopRounds;
    int hopModels = kDefaultHopModels;
    double hopFactor = kDefaultHopFactor;
    /// Told after every start; total counts the hops planned, and hops that
    /// cannot be made (fewer distinct fits than hopModels) count as done.
    GlobalFitProgress progress;
    /// Set (from any thread) to stop: no new start is taken, the starts under
    /// way end their fits, and the best so far is the answer.
    const std::atomic<bool>* cancel = nullptr;
};

enum class StartKind { Given, Automatic, Extra, Sampled, Hop };

struct GlobalFitSummary {
    Outcome outcome;         ///< not ok: refused, the sounding untouched (message says why)
    bool cancelled = false;  ///< stopped by the cancel flag; the answer is the best so far
    int startsTotal = 0;     ///< starts of all kinds
    int startsRun = 0;       ///< of them fitted before the end (all, unless cancelled)
    int startsFitted = 0;    ///< fits that ended within the value limits (and the filter's reach)
    int bestStart = -1;      ///< index of the winning start; -1 when none (only when cancelled early)
    StartKind bestKind = StartKind::Sampled;
    FitSummary best;         ///< the winning fit (startSsq: its start's SSQ)
    long long linearisations = 0;  ///< over all fits
    EquivalentModels equivalent;
};

/// Steps 1 to 5. Afterwards sounding.model is the winning model, with the
/// held model's flags, its computed curve and SSQ, as after fitModel. Refused
/// (sounding untouched) without a composite value, with a layer count outside
/// 1..30, with a sounding model that the fit refuses, with a factor below 1,
/// with hop options out of range, or when no fit ends within the value limits
/// (and the filter's reach).
GlobalFitSummary fitGlobally(Sounding& sounding, const GlobalFitOptions& options = {});

}  // namespace orma
