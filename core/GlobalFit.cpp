#include "core/GlobalFit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

#include "core/AutomaticStart.h"
#include "core/FilterReach.h"
#include "core/FitLinearisation.h"
#include "core/Forward.h"
#include "core/ModelLimits.h"
#include "core/StartSampling.h"

namespace orma {

namespace {

struct StartJob {
    StartKind kind = StartKind::Sampled;
    LayerModel model;  ///< the start (the automatic start makes its own)
};

/// What one start led to.
struct StartResult {
    bool run = false;
    bool fitted = false;  ///< ended within the limits
    FitSummary summary;
    LayerModel model;
    std::vector<ModelValues> met;  ///< accepted models that may be equivalent, in the order met
};

/// The smallest SSQ any thread has reached so far: a model far above it can
/// never be equivalent to the final best, which is lower still.
class RunningBest {
public:
    double get() const { return value_.load(std::memory_order_relaxed); }
    void offer(double ssq) {
        double current = get();
        while (ssq < current && !value_.compare_exchange_weak(current, ssq, std::memory_order_relaxed)) {
        }
    }

private:
    std::atomic<double> value_{std::numeric_limits<double>::infinity()};
};

ModelValues valuesOfTrial(const double* resistivity, const double* thickness, int layerCount, double ssq) {
    ModelValues values;
    values.interfaceCount = layerCount - 1;
    double depth = 0.0;
    for (int i = 0; i < layerCount; ++i) {
        values.resistivity[static_cast<std::size_t>(i)] = static_cast<float>(resistivity[i]);
        if (i + 1 < layerCount) {
            depth += thickness[i];
            values.depth[static_cast<std::size_t>(i)] = static_cast<float>(depth);
        }
    }
    values.depth[static_cast<std::size_t>(layerCount - 1)] = kHalfSpaceDepth;
    values.ssq = ssq;
    return values;
}

/// Fits closer than this in every log value end in one valley: hops start
/// from different ones.
constexpr double kDistinctTolerance = 0.1;

/// Fits the starts, round by round; in each round the threads share the
/// round's jobs.
class StartFitter {
public:
    StartFitter(const Sounding& sounding, const GlobalFitOptions& options, const LayerModel& held, int layers,
                int plannedJobs)
        : sounding_(sounding), options_(options), held_(held), layers_(layers), planned_(plannedJobs) {
        converged_ = options.computation;
        converged_.fitUntilConverged = true;
    }

    /// Fits `jobs` on `threads` threads (the caller's one of them); their
    /// results follow those of the earlier rounds.
    void runRound(std::vector<StartJob> jobs, unsigned threads) {
        next_ = jobs_.size();
        for (StartJob& job : jobs) jobs_.push_back(std::move(job));
        results_.resize(jobs_.size());
        std::vector<std::thread> helpers;
        for (unsigned t = 1; t < threadCount(threads, jobs_.size() - next_); ++t) helpers.emplace_back([this] { work(); });
        work();
        for (std::thread& helper : helpers) helper.join();
    }

    /// A round planned but not run (too few models to hop from) counts as done.
    void skipPlanned(int count) {
        if (count <= 0 || !options_.progress) return;
        const std::lock_guard<std::mutex> lock(progressMutex_);
        done_ += count;
        options_.progress(done_, planned_);
    }

    const std::vector<StartJob>& jobs() const { return jobs_; }

    /// Fits job `index` on the caller's own sounding copy and workspace.
    void fitJob(std::size_t index, Sounding& trial, FitWorkspace& ws) {
        const StartJob& job = jobs_[index];
        StartResult& result = results_[index];
        result.run = true;
        if (job.kind == StartKind::Automatic) {
            trial.model = LayerModel{};
            const AutomaticFit automatic = fitFromAutomaticStart(trial, ws, layers_, options_.computation);
            if (automatic.summary.refused()) return;
            imposeHeldValues(trial.model, held_);
        } else {
            trial.model = job.model;
        }
        const FitStepObserver observe = [&](const double* rho, const double* h, int count, double ssq) {
            if (ssq <= options_.equivalenceFactor * running_.get())
                result.met.push_back(valuesOfTrial(rho, h, count, ssq));
        };
        result.summary = fitModel(trial, ws, converged_, observe);
        if (result.summary.refused()) {
            result.met.clear();
            return;
        }
        result.model = trial.model;
        if (std::isfinite(result.summary.ssq) && withinModelLimits(result.model) &&
            withinFilterReach(trial, result.model, options_.computation)) {
            result.fitted = true;
            running_.offer(result.summary.ssq);
            // A fit never rises, so a model on its way fits no better than its
            // end; the two differ only by the rounding of the stored floats.
            for (ModelValues& m : result.met) m.ssq = std::max(m.ssq, result.summary.ssq);
            // The end as stored comes first: of equal SSQ it is the one kept,
            // so that the best model is the first of the set.
            result.met.insert(result.met.begin(), modelValuesOf(result.model, result.summary.ssq));
        }
        // Whatever lies above the factor of a model some fit has reached
        // can never be equivalent to the best, which lies lower still.
        const double keep = options_.equivalenceFactor * running_.get();
        std::erase_if(result.met, [&](const ModelValues& m) { return !(m.ssq <= keep); });
    }

    /// Takes jobs until none is left or the caller cancels.
    void work() {
        auto trial = std::make_unique<Sounding>(sounding_);
        auto ws = std::make_unique<FitWorkspace>();
        while (true) {
            if (options_.cancel != nullptr && options_.cancel->load()) {
                cancelled_ = true;
                return;
            }
            const std::size_t index = next_.fetch_add(1);
            if (index >= jobs_.size()) return;
            fitJob(index, *trial, *ws);
            tell();
        }
    }

    std::vector<StartResult>& results() { return results_; }
    bool cancelled() const { return cancelled_.load(); }

    static unsigned threadCount(unsigned asked, std::size_t jobs) {
        const unsigned threads = asked == 0 ? std::max(1u, std::thread::hardware_concurrency()) : asked;
        return static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(jobs, 1)));
    }

private:
    void tell() {
        if (!options_.progress) return;
        const std::lock_guard<std::mutex> lock(progressMutex_);
        options_.progress(++done_, planned_);
    }

    const Sounding& sounding_;
    const GlobalFitOptions& options_;
    const LayerModel& held_;
    int layers_;
    int planned_;
    ComputationOptions converged_;
    std::vector<StartJob> jobs_;
    std::vector<StartResult> results_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> cancelled_{false};
    RunningBest running_;
    std::mutex progressMutex_;
    int done_ = 0;
};

GlobalFitSummary refusedSearch(const std::string& message) {
    GlobalFitSummary summary;
    summary.outcome = Outcome::failure(message);
    return summary;
}

std::vector<StartJob> startJobs(const Sounding& sounding, const GlobalFitOptions& options, const LayerModel& held,
                                bool givenModel, int layers) {
    std::vector<StartJob> jobs;
    if (givenModel) jobs.push_back({StartKind::Given, sounding.model});
    if (options.automaticStart) jobs.push_back({StartKind::Automatic, {}});
    for (const LayerModel& extra : options.extraStarts) {
        if (extra.layerCount() != layers) continue;
        StartJob job{StartKind::Extra, extra};
        imposeHeldValues(job.model, held);
        jobs.push_back(job);
    }
    const std::optional<StartBox> box = startBoxFor(sounding);
    if (box) {
        for (LayerModel& start : latinHypercubeStarts(*box, layers, options.starts, options.seed)) {
            imposeHeldValues(start, held);
            jobs.push_back({StartKind::Sampled, start});
        }
    }
    return jobs;
}

/// The best few fits that differ from each other (every fit's order: SSQ,
/// then start index), to hop from.
std::vector<std::size_t> distinctBest(const std::vector<StartResult>& results, int count) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i].fitted) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return results[a].summary.ssq < results[b].summary.ssq; });
    std::vector<std::size_t> chosen;
    for (std::size_t i : order) {
        if (static_cast<int>(chosen.size()) >= count) break;
        const ModelValues candidate = modelValuesOf(results[i].model, 0.0);
        const bool near = std::any_of(chosen.begin(), chosen.end(), [&](std::size_t c) {
            return sameModelWithin(modelValuesOf(results[c].model, 0.0), candidate, kDistinctTolerance);
        });
        if (!near) chosen.push_back(i);
    }
    return chosen;
}

/// Hops per model and round: each free value once up, once down.
int hopsPerModel(const LayerModel& held, int layers) {
    LayerModel model;
    model.interfaceCount = layers - 1;
    if (held.interfaceCount == layers - 1) {
        model.resistivityFixed = held.resistivityFixed;
        model.thicknessFixed = held.thicknessFixed;
        model.depthFixed = held.depthFixed;
    }
    return 2 * freeValueCount(model);
}

}  // namespace

GlobalFitSummary fitGlobally(Sounding& sounding, const GlobalFitOptions& options) {
    const bool modelGiven = sounding.model.exists();
    const int layers = options.layers > 0 ? options.layers : (modelGiven ? sounding.model.layerCount() : 0);
    if (layers < 1 || layers > kMaxLayers) return refusedSearch("The number of layers must be 1 to 30.");
    if (!(options.equivalenceFactor >= 1.0) || !std::isfinite(options.equivalenceFactor))
        return refusedSearch("The equivalence factor must be 1 or more.");
    if (options.starts < 0 || options.starts > kMaxGlobalStarts)
        return refusedSearch("The number of starts must be 0 to 100000.");
    if (options.hopRounds < 0 || options.hopModels < 0 || !(options.hopFactor > 1.0) || !std::isfinite(options.hopFactor))
        return refusedSearch("The hops must be 0 or more, by a factor above 1.");
    if (!hasCompositeValue(sounding)) return refusedSearch("There is no composite curve to fit the model to.");

    const bool givenModel = modelGiven && sounding.model.layerCount() == layers;
    LayerModel held;
    held.interfaceCount = -1;  // holds nothing: imposeHeldValues leaves starts alone
    if (givenModel) held = sounding.model;

    std::vector<StartJob> first = startJobs(sounding, options, held, givenModel, layers);
    const int hopsPerRound = options.hopModels * hopsPerModel(held, layers);
    StartFitter fitter(sounding, options, held, layers,
                       static_cast<int>(first.size()) + options.hopRounds * hopsPerRound);
    fitter.runRound(std::move(first), options.threads);
    for (int round = 0; round < options.hopRounds && !fitter.cancelled(); ++round) {
        std::vector<StartJob> hops;
        for (std::size_t from : distinctBest(fitter.results(), options.hopModels)) {
            for (LayerModel& start : hopStarts(fitter.results()[from].model, held, options.hopFactor))
                hops.push_back({StartKind::Hop, start});
        }
        fitter.skipPlanned(hopsPerRound - static_cast<int>(hops.size()));
        if (!hops.empty()) fitter.runRound(std::move(hops), options.threads);
    }
    const std::vector<StartJob>& jobs = fitter.jobs();

    GlobalFitSummary summary;
    summary.cancelled = fitter.cancelled();
    summary.startsTotal = static_cast<int>(jobs.size());
    std::vector<StartResult>& results = fitter.results();
    // The fit refuses a model it cannot fit; so does the search.
    if (givenModel && results[0].run && results[0].summary.refused())
        return refusedSearch(results[0].summary.outcome.message);
    for (std::size_t i = 0; i < results.size(); ++i) {
        const StartResult& r = results[i];
        if (!r.run) continue;
        ++summary.startsRun;
        summary.linearisations += r.summary.linearisations;
        if (!r.fitted) continue;
        ++summary.startsFitted;
        if (summary.bestStart < 0 || r.summary.ssq < summary.best.ssq) {
            summary.bestStart = static_cast<int>(i);
            summary.best = r.summary;
        }
    }
    if (summary.bestStart < 0) {
        if (summary.cancelled) return summary;
        return refusedSearch(kNoFitWithinLimits);
    }
    const StartResult& winner = results[static_cast<std::size_t>(summary.bestStart)];
    summary.bestKind = jobs[static_cast<std::size_t>(summary.bestStart)].kind;

    std::vector<ModelValues> met;
    for (StartResult& r : results) {
        met.insert(met.end(), std::make_move_iterator(r.met.begin()), std::make_move_iterator(r.met.end()));
        r.met.clear();
    }
    auto scratch = std::make_unique<Sounding>(sounding);
    const AdmissibleModel computable = [&](const ModelValues& m) {
        LayerModel model = winner.model;
        model.resistivity = m.resistivity;
        model.depth = m.depth;
        return withinFilterReach(*scratch, model, options.computation);
    };
    summary.equivalent = selectEquivalentModels(std::move(met), summary.best.ssq, options.equivalenceFactor,
                                                options.duplicateTolerance, computable);

    sounding.model = winner.model;
    computeForward(sounding, options.computation);
    return summary;
}

}  // namespace orma
