#include "core/LateralInversion.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

#include "core/AutomaticStart.h"
#include "core/Fit.h"
#include "core/FitLinearisation.h"
#include "core/FitWorkspace.h"
#include "core/LateralConstraints.h"
#include "core/LateralInversionPoint.h"
#include "core/LateralNormalEquations.h"
#include "core/StartSampling.h"

namespace orma {

namespace {

/// Damping levels tried per linearisation: the smallest times 10^0 .. 10^12.
constexpr int kLciDampingLevels = 13;

using Workspaces = std::vector<std::unique_ptr<FitWorkspace>>;

/// Runs work(index, workspace) for index 0..count-1 on the workspaces'
/// threads (the calling thread among them), each index once.
template <typename Work>
void forEachLciPoint(int count, Workspaces& workspaces, const Work& work) {
    const int threads = std::min(static_cast<int>(workspaces.size()), count);
    std::atomic<int> next{0};
    auto run = [&](FitWorkspace& ws) {
        for (int i = next++; i < count; i = next++) work(i, ws);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(run, std::ref(*workspaces[t]));
    run(*workspaces[0]);
    for (std::thread& thread : pool) thread.join();
}

/// Linearisations of both runs together at most, as the progress counts them.
int lciLinearisationsAtMost(const LateralInversionOptions& o) {
    return o.commonStart ? 2 * o.maxLinearisations : o.maxLinearisations;
}

bool lciCancelled(const std::atomic<bool>* cancel) { return cancel != nullptr && cancel->load(); }

Outcome checkLciOptions(int layers, const LateralInversionOptions& o) {
    const auto factorOk = [](double f) { return std::isfinite(f) && f > 1.0; };
    if (layers < 2 || layers > kMaxLayers)
        return Outcome::failure("A profile is fitted jointly with 2 to 30 layers.");
    if (!factorOk(o.resistivityFactor) || !factorOk(o.depthFactor))
        return Outcome::failure(
            "The lateral constraints need factors above 1 (e.g. 1.3 for 30 % per 100 m).");
    if (!(std::isfinite(o.depthBendFactor) && (o.depthBendFactor == 0.0 || o.depthBendFactor > 1.0)))
        return Outcome::failure("The bend of a boundary needs a factor above 1, or 0 for none.");
    if (!(std::isfinite(o.robustBeyond) && o.robustBeyond >= 0.0 && std::isfinite(o.bendRobustBeyond) &&
          o.bendRobustBeyond >= 0.0))
        return Outcome::failure("The robust limit of the lateral constraints must be 0 (none) or above.");
    if (!(std::isfinite(o.dataError) && o.dataError >= 0.0))
        return Outcome::failure("The data error of a joint fit must be 0 (estimated) or above.");
    if (!(std::isfinite(o.stopGain) && o.stopGain >= 0.0) || o.maxLinearisations < 1)
        return Outcome::failure(
            "The stop rule of a joint fit needs a gain of 0 or more and at least one linearisation.");
    return Outcome::success();
}

/// Why a sounding cannot take part; empty when it can (with or without a model).
std::string lciExclusionReason(const LciSounding& item, int layers) {
    const Sounding* s = item.sounding.get();
    if (s == nullptr || s->minGridIndex < 0 || s->maxGridIndex >= kGridPoints ||
        s->minGridIndex > s->maxGridIndex || !hasCompositeValue(*s))
        return "has no composite curve";
    const int count = s->model.layerCount();
    if (count < 1 || count > kMaxLayers) return "has no model that can be fitted";
    if (!s->model.exists()) return {};
    if (count != layers)
        return "has a model of " + std::to_string(count) + " layers, not " + std::to_string(layers);
    if (!isFittableModel(*s)) return "has a model that cannot be fitted";
    return {};
}

std::string lciLeftOutSentence(const LciSounding& item, const std::string& reason) {
    return "The VES point " + item.name + " " + reason + "; it is left out of the joint fit.";
}

double sumConstraintSquares(const std::vector<LciPointState>& points,
                            const std::vector<LateralConstraint>& rows, bool trial) {
    double sum = 0.0;
    for (const LateralConstraint& c : rows) {
        const LciPointState& l = points[c.left];
        const LciPointState& r = points[c.right];
        const LciPointState* m = c.middle >= 0 ? &points[c.middle] : nullptr;
        const double v = constraintResidual(c, trial ? l.trialTied : l.tied, trial ? r.trialTied : r.tied,
                                            m ? (trial ? &m->trialTied : &m->tied) : nullptr);
        sum += constraintPenalty(c, v);
    }
    return sum;
}

double sumPointSsq(const std::vector<LciPointState>& points, bool trial) {
    double sum = 0.0;
    for (const LciPointState& p : points) sum += trial ? p.trialSsq : p.ssq;
    return sum;
}

/// The joint iteration over points that all have a model of the layer count.
class LciJointFit {
public:
    LciJointFit(std::vector<LciPointState>& points, std::vector<LateralConstraint> constraints,
                const LateralInversionOptions& options, double dataError, Workspaces& workspaces)
        : points_(points),
          constraints_(std::move(constraints)),
          options_(options),
          workspaces_(workspaces),
          dataError_(dataError) {
        for (LciPointState& p : points_) {
            p.offset = parameters_;
            parameters_ += p.parameters;
        }
    }

    double dataError() const { return dataError_; }

    int parameters() const { return parameters_; }
    double constraintMisfit() const { return sumConstraintSquares(points_, constraints_, false); }

    double objective(bool trial) const {
        const double e = dataError_;
        return sumPointSsq(points_, trial) / (e * e) + sumConstraintSquares(points_, constraints_, trial);
    }

    void lineariseAll() {
        forEachLciPoint(static_cast<int>(points_.size()), workspaces_, [&](int i, FitWorkspace& ws) {
            lineariseLciPoint(points_[i], ws, options_.computation);
        });
    }

    /// Runs linearisations until a stop rule holds; the points are linearised
    /// at their accepted models on entry. False when cancelled.
    bool iterate(LateralInversionSummary& summary, const LciProgressCallback& progress,
                 const std::atomic<bool>* cancel, int reportedBefore = 0) {
        const double smallest = std::pow(kSingularValueCutoff / dataError_, 2);
        double current = objective(false);
        int level = 0;
        std::vector<double> step;
        while (true) {
            if (parameters_ == 0 || current <= 0.0) {
                summary.status = LciStatus::Converged;
                return true;
            }
            if (summary.linearisations >= options_.maxLinearisations) {
                summary.status = LciStatus::LinearisationLimit;
                return true;
            }
            if (summary.linearisations > 0) {
                lineariseAll();
                current = objective(false);
            }
            ++summary.linearisations;
            equations_.assemble(points_, constraints_, parameters_, dataError_);

            bool accepted = false;
            double gain = 0.0;
            for (int tried = std::max(level - 1, 0); tried < kLciDampingLevels && !accepted; ++tried) {
                if (lciCancelled(cancel)) return false;
                if (!equations_.solve(smallest * std::pow(10.0, tried), step)) continue;
                ++summary.trials;
                forEachLciPoint(static_cast<int>(points_.size()), workspaces_, [&](int i, FitWorkspace& ws) {
                    tryLciPoint(points_[i], step.data(), ws, options_.computation);
                });
                const double trial = objective(true);
                if (!(trial < current)) continue;
                for (LciPointState& p : points_) acceptLciTrial(p);
                ++summary.acceptedSteps;
                gain = (current - trial) / trial;
                current = trial;
                level = tried;
                accepted = true;
            }
            if (progress)
                progress({LciProgress::Phase::Linearisation, reportedBefore + summary.linearisations,
                          lciLinearisationsAtMost(options_), current});
            if (!accepted) {
                summary.status = LciStatus::NoImprovement;
                return true;
            }
            if (gain < options_.stopGain) {
                summary.status = LciStatus::Converged;
                return true;
            }
        }
    }

private:
    std::vector<LciPointState>& points_;
    std::vector<LateralConstraint> constraints_;
    const LateralInversionOptions& options_;
    Workspaces& workspaces_;
    double dataError_;
    LateralNormalEquations equations_;
    int parameters_ = 0;
};

/// The noise of the data as the soundings' own best fits leave it: every
/// point's start model fitted alone (until converged) on a copy, then
/// sqrt(sum of SSQ / (data rows - free values)). The misfit of the start
/// models themselves would not do: a rough start would inflate it and let the
/// constraints override the data.
double estimateDataError(const std::vector<LciPointState>& points, const ComputationOptions& computation,
                         Workspaces& workspaces) {
    std::vector<double> ssq(points.size(), 0.0);
    ComputationOptions converged = computation;
    converged.fitUntilConverged = true;
    forEachLciPoint(static_cast<int>(points.size()), workspaces, [&](int i, FitWorkspace& ws) {
        auto alone = std::make_unique<Sounding>(*points[i].sounding);
        const FitSummary fit = fitModel(*alone, ws, converged);
        ssq[i] = fit.refused() ? points[i].ssq : std::min(fit.ssq, points[i].ssq);
    });
    double sum = 0.0;
    int freedom = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        sum += ssq[i];
        freedom += std::max(points[i].rows - points[i].parameters, 0);
    }
    return std::max(std::sqrt(sum / std::max(freedom, 1)), kMinEstimatedDataError);
}

/// Automatic starts for the soundings in `indices` (no model yet); a start
/// that fails leaves its sounding out. False when cancelled.
bool runAutomaticStarts(std::vector<LciSounding>& soundings, const std::vector<int>& indices, int layers,
                        const LateralInversionOptions& options, Workspaces& workspaces,
                        LateralInversionSummary& summary, const LciProgressCallback& progress,
                        const std::atomic<bool>* cancel) {
    std::mutex report;
    int done = 0;
    const int total = static_cast<int>(indices.size());
    std::vector<std::string> failure(indices.size());
    forEachLciPoint(total, workspaces, [&](int i, FitWorkspace& ws) {
        if (lciCancelled(cancel)) return;
        Sounding& s = *soundings[indices[i]].sounding;
        const AutomaticFit fit = fitFromAutomaticStart(s, ws, layers, options.computation);
        if (fit.summary.refused())
            failure[i] = "got no automatic start (" + fit.summary.outcome.message + ")";
        const std::lock_guard<std::mutex> lock(report);
        ++done;
        if (progress) progress({LciProgress::Phase::AutomaticStart, done, total, 0.0});
    });
    if (lciCancelled(cancel)) return false;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (failure[i].empty()) continue;
        LciSounding& item = soundings[indices[i]];
        item.included = false;
        summary.leftOut.push_back(lciLeftOutSentence(item, failure[i]));
    }
    summary.automaticStarts = total;
    return true;
}


void finishAll(std::vector<LciPointState>& points, Workspaces& workspaces, const ComputationOptions& computation) {
    forEachLciPoint(static_cast<int>(points.size()), workspaces,
                    [&](int i, FitWorkspace& ws) { finishLciPoint(points[i], ws, computation); });
}

/// The median of every layer's log resistivity and of every interface's log
/// depth over the points' models: a model that sits inside the profile's
/// structure rather than on any one point's equivalent of it.
LayerModel medianModel(const std::vector<LciPointState>& points) {
    LayerModel median = points.front().sounding->model;
    const int layers = median.layerCount();
    std::vector<double> values(points.size());
    const auto middle = [&] {
        std::sort(values.begin(), values.end());
        const std::size_t n = values.size();
        return std::exp(n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]));
    };
    for (int k = 0; k < layers; ++k) {
        for (std::size_t p = 0; p < points.size(); ++p) values[p] = points[p].tied.logResistivity[k];
        median.resistivity[k] = static_cast<float>(middle());
        if (k + 1 == layers) break;
        for (std::size_t p = 0; p < points.size(); ++p) values[p] = points[p].tied.logDepth[k];
        median.depth[k] = static_cast<float>(middle());
    }
    return median;
}

/// Puts `model` into every point that holds no value (keeping its flags) and
/// takes it as the accepted one. False when a curve cannot be computed.
bool restartPoints(std::vector<LciPointState>& points, const std::vector<LayerModel>& models,
                   Workspaces& workspaces, const ComputationOptions& computation) {
    std::vector<char> computed(points.size(), 0);
    forEachLciPoint(static_cast<int>(points.size()), workspaces, [&](int i, FitWorkspace& ws) {
        points[i].sounding->model = models[i];
        startLciPoint(points[i], ws, computation);
        computed[i] = lineariseLciPoint(points[i], ws, computation) ? 1 : 0;
    });
    return std::all_of(computed.begin(), computed.end(), [](char c) { return c != 0; });
}

/// The joint fit once more, from the profile's median model at every point
/// that holds no value; its models are kept when they reach a lower objective
/// than `reached` (the fit from the points' own models, whose models the
/// records hold on entry and on return otherwise). Where neighbours' own
/// fits landed on different equivalent structures, the fit from their own
/// models can only pull them into a compromise; the common start lets the
/// profile agree on one. False when cancelled.
bool tryCommonStart(std::vector<LciPointState>& points, const std::vector<LateralConstraint>& constraints,
                    const LateralInversionOptions& options, double dataError, Workspaces& workspaces,
                    double reached, LateralInversionSummary& summary, const LciProgressCallback& progress,
                    const std::atomic<bool>* cancel) {
    std::vector<LayerModel> own;
    for (const LciPointState& p : points) own.push_back(p.sounding->model);
    const LayerModel median = medianModel(points);
    std::vector<LayerModel> common = own;
    for (LayerModel& model : common) {
        if (holdsAnyValue(model)) continue;
        model.resistivity = median.resistivity;
        model.depth = median.depth;
    }
    LateralInversionSummary second;
    bool better = false;
    if (restartPoints(points, common, workspaces, options.computation)) {
        LciJointFit fit(points, constraints, options, dataError, workspaces);
        if (!fit.iterate(second, progress, cancel, summary.linearisations)) return false;
        finishAll(points, workspaces, options.computation);
        better = fit.objective(false) < reached;
    }
    summary.linearisations += second.linearisations;
    summary.trials += second.trials;
    summary.acceptedSteps += second.acceptedSteps;
    if (better) {
        summary.status = second.status;
        summary.commonStartKept = true;
        return true;
    }
    restartPoints(points, own, workspaces, options.computation);
    finishAll(points, workspaces, options.computation);
    return true;
}
}  // namespace

Outcome runLateralInversion(std::vector<LciSounding>& soundings, int layers,
                            const LateralInversionOptions& options, LateralInversionSummary& summary,
                            const LciProgressCallback& progress, const std::atomic<bool>* cancel) {
    summary = LateralInversionSummary{};
    summary.startSsq.assign(soundings.size(), 0.0);
    summary.ssq.assign(soundings.size(), 0.0);
    if (Outcome checked = checkLciOptions(layers, options); !checked) return checked;

    std::vector<int> needStart;
    int candidates = 0;
    for (std::size_t i = 0; i < soundings.size(); ++i) {
        LciSounding& item = soundings[i];
        const std::string reason = lciExclusionReason(item, layers);
        item.included = reason.empty();
        if (!item.included) {
            summary.leftOut.push_back(lciLeftOutSentence(item, reason));
            continue;
        }
        ++candidates;
        if (!item.sounding->model.exists()) needStart.push_back(static_cast<int>(i));
    }
    if (candidates < 2) return Outcome::failure(kLciTooFewPoints);

    unsigned threads =
        options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = std::min(threads, static_cast<unsigned>(candidates));
    Workspaces workspaces;
    for (unsigned t = 0; t < threads; ++t) workspaces.push_back(std::make_unique<FitWorkspace>());

    if (!needStart.empty() &&
        !runAutomaticStarts(soundings, needStart, layers, options, workspaces, summary, progress, cancel))
        return Outcome::failure(kLciCancelled);

    // The start models; one whose curve cannot be computed is left out.
    std::vector<int> members;
    for (std::size_t i = 0; i < soundings.size(); ++i)
        if (soundings[i].included) members.push_back(static_cast<int>(i));
    std::vector<LciPointState> started(members.size());
    std::vector<char> computed(members.size(), 0);
    forEachLciPoint(static_cast<int>(members.size()), workspaces, [&](int p, FitWorkspace& ws) {
        started[p].sounding = soundings[members[p]].sounding.get();
        startLciPoint(started[p], ws, options.computation);
        computed[p] = lineariseLciPoint(started[p], ws, options.computation) ? 1 : 0;
    });
    std::vector<LciPointState> points;
    std::size_t kept = 0;
    for (std::size_t p = 0; p < members.size(); ++p) {
        if (computed[p] == 0) {
            soundings[members[p]].included = false;
            summary.leftOut.push_back(lciLeftOutSentence(soundings[members[p]],
                                                         "has a start model whose curve cannot be computed"));
            continue;
        }
        members[kept++] = members[p];
        points.push_back(std::move(started[p]));
    }
    members.resize(kept);
    if (points.size() < 2) return Outcome::failure(kLciTooFewPoints);

    std::vector<double> chainage;
    for (int i : members) chainage.push_back(soundings[i].chainage);
    const double dataError = options.dataError > 0.0
                                 ? options.dataError
                                 : estimateDataError(points, options.computation, workspaces);
    if (lciCancelled(cancel)) return Outcome::failure(kLciCancelled);
    const std::vector<LateralLink> links = lateralLinks(chainage);
    std::vector<LateralConstraint> constraints =
        lateralConstraints(links, layers, options.resistivityFactor, options.depthFactor, options.robustBeyond);
    const std::vector<LateralConstraint> bends =
        lateralBendConstraints(links, layers, options.depthBendFactor, options.bendRobustBeyond);
    constraints.insert(constraints.end(), bends.begin(), bends.end());
    LciJointFit fit(points, constraints, options, dataError, workspaces);
    summary.points = static_cast<int>(points.size());
    summary.parameters = fit.parameters();
    summary.dataError = fit.dataError();
    summary.constraintRows = static_cast<int>(constraints.size());
    summary.startDataSsq = sumPointSsq(points, false);
    summary.startConstraintMisfit = fit.constraintMisfit();
    summary.startObjective = fit.objective(false);
    for (std::size_t p = 0; p < points.size(); ++p) summary.startSsq[members[p]] = points[p].ssq;

    if (!fit.iterate(summary, progress, cancel)) return Outcome::failure(kLciCancelled);
    finishAll(points, workspaces, options.computation);
    if (options.commonStart &&
        !tryCommonStart(points, constraints, options, dataError, workspaces, fit.objective(false), summary,
                        progress, cancel))
        return Outcome::failure(kLciCancelled);

    summary.dataSsq = sumPointSsq(points, false);
    summary.constraintMisfit = fit.constraintMisfit();
    summary.objective = fit.objective(false);
    for (std::size_t p = 0; p < points.size(); ++p) summary.ssq[members[p]] = points[p].ssq;
    // The last report gives the models kept, whichever run made them.
    if (progress)
        progress({LciProgress::Phase::Linearisation, summary.linearisations, lciLinearisationsAtMost(options),
                  summary.objective});
    return Outcome::success();
}

}  // namespace orma
