#include "core/AutomaticStart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "core/Forward.h"
#include "core/ModelLimits.h"

namespace orma {

namespace {

constexpr double kDepthFractions[] = {0.35, 0.5, 0.7};
constexpr int kZohdyPasses = 6;
constexpr int kMaxSmoothLayers = kMaxLayers - 1;  ///< layers with a bottom; the half-space comes on top
constexpr double kTopLayerWeight = kGridStep;     ///< log10 thickness given to the top layer
constexpr double kHalfSpaceWeight = 2 * kGridStep;
constexpr double kMinResistivity = 1e-3;
constexpr double kMaxResistivity = 1e7;
constexpr int kMaxSplitLayers = 8;  ///< up to this many layers, splits of the best fit with one layer fewer

struct CurvePoint {
    int k;
    double ab2;     ///< exact grid value
    double rho;     ///< composite
};

std::vector<CurvePoint> compositePoints(const Sounding& s) {
    std::vector<CurvePoint> points;
    const int first = std::max(s.minGridIndex, 0);
    const int last = std::min(s.maxGridIndex, kGridPoints - 1);
    for (int k = first; k <= last; ++k) {
        if (s.hasComposite(k) && std::isfinite(s.composite(k))) points.push_back({k, abGridValue(k), s.composite(k)});
    }
    return points;
}

/// A layered model as the fit-mode forward computation takes it.
struct Layers {
    std::vector<double> rho;        ///< n + 1 values, the last the half-space
    std::vector<double> thickness;  ///< n values

    int count() const { return static_cast<int>(rho.size()); }
};

LayerModel toLayerModel(const Layers& layers) {
    LayerModel model;
    model.interfaceCount = layers.count() - 1;
    double depth = 0.0;
    for (int i = 0; i < layers.count(); ++i) {
        model.resistivity[static_cast<std::size_t>(i)] = static_cast<float>(layers.rho[static_cast<std::size_t>(i)]);
        if (i < model.interfaceCount) {
            depth += layers.thickness[static_cast<std::size_t>(i)];
            model.depth[static_cast<std::size_t>(i)] = static_cast<float>(depth);
        }
    }
    model.depth[static_cast<std::size_t>(model.interfaceCount)] = kHalfSpaceDepth;
    return model;
}

/// Computes `layers` on the scratch sounding (its curve and SSQ); false when
/// the computation fails.
bool computeLayers(Sounding& scratch, const Layers& layers, const ComputationOptions& options) {
    scratch.model = toLayerModel(layers);
    return computeForward(scratch, options) == kSuccess;
}

/// The SSQ of `layers` against the composite (infinite when it cannot be computed).
double curveSsq(Sounding& scratch, const Layers& layers, const ComputationOptions& options) {
    return computeLayers(scratch, layers, options) ? scratch.ssq : std::numeric_limits<double>::infinity();
}

/// Step 1 for one depth fraction: layer bottoms at fraction * AB/2 of the
/// chosen points, resistivities corrected pass by pass.
Layers smoothModel(Sounding& scratch, const std::vector<CurvePoint>& points, double fraction,
                   const ComputationOptions& options) {
    const int n = static_cast<int>(points.size());
    const int stride = (n + kMaxSmoothLayers - 1) / kMaxSmoothLayers;
    std::vector<int> chosen;
    for (int i = 0; i < n; i += stride) chosen.push_back(i);
    if (chosen.back() != n - 1 && static_cast<int>(chosen.size()) < kMaxSmoothLayers) chosen.push_back(n - 1);

    Layers layers;
    double top = 0.0;
    for (int i : chosen) {
        const double bottom = fraction * points[static_cast<std::size_t>(i)].ab2;
        layers.thickness.push_back(bottom - top);
        layers.rho.push_back(points[static_cast<std::size_t>(i)].rho);
        top = bottom;
    }
    layers.rho.push_back(points.back().rho);  // the half-space

    for (int pass = 0; pass < kZohdyPasses; ++pass) {
        if (!computeLayers(scratch, layers, options)) break;
        for (std::size_t l = 0; l < chosen.size(); ++l) {
            const CurvePoint& p = points[static_cast<std::size_t>(chosen[l])];
            const double computed = scratch.computedRho[p.k];
            if (!(computed > 0.0) || !std::isfinite(computed)) continue;
            const double ratio = p.rho / computed;
            layers.rho[l] = std::clamp(layers.rho[l] * ratio, kMinResistivity, kMaxResistivity);
            if (l + 1 == chosen.size()) {
                layers.rho[l + 1] = std::clamp(layers.rho[l + 1] * ratio, kMinResistivity, kMaxResistivity);
            }
        }
    }
    return layers;
}

/// Step 2: the best split of the smooth model into `runs` runs of
/// neighbouring layers (weighted least squares of log10 resistivity).
/// More layers than the smooth model has (a curve of very few points): the
/// thickest layers on a log-depth scale are halved there until the count is
/// reached, the half-space split three times below its top.
Layers subdivided(Layers layers, int count) {
    while (layers.count() < count) {
        std::size_t thickest = layers.thickness.size();  // the half-space
        double widest = std::log10(3.0);
        double top = 0.0;
        for (std::size_t l = 0; l < layers.thickness.size(); ++l) {
            const double bottom = top + layers.thickness[l];
            const double width = top > 0.0 ? std::log10(bottom / top) : std::log10(4.0);
            if (width > widest) {
                widest = width;
                thickest = l;
            }
            top = bottom;
        }
        if (thickest == layers.thickness.size()) {
            layers.thickness.push_back(top > 0.0 ? 2.0 * top : 1.0);
        } else {
            double layerTop = 0.0;
            for (std::size_t l = 0; l < thickest; ++l) layerTop += layers.thickness[l];
            const double bottom = layerTop + layers.thickness[thickest];
            const double split = layerTop > 0.0 ? std::sqrt(layerTop * bottom) : bottom / 2.0;
            layers.thickness[thickest] = bottom - split;
            layers.thickness.insert(layers.thickness.begin() + static_cast<std::ptrdiff_t>(thickest), split - layerTop);
        }
        layers.rho.insert(layers.rho.begin() + static_cast<std::ptrdiff_t>(thickest), layers.rho[thickest]);
    }
    return layers;
}

Layers mergeLayers(const Layers& smooth, int runs) {
    const int n = smooth.count();
    if (runs > n) return subdivided(smooth, runs);
    runs = std::max(runs, 1);
    std::vector<double> x(static_cast<std::size_t>(n)), w(static_cast<std::size_t>(n)), depth(static_cast<std::size_t>(n));
    double bottom = 0.0;
    for (int l = 0; l < n; ++l) {
        const auto i = static_cast<std::size_t>(l);
        x[i] = std::log10(smooth.rho[i]);
        if (l < n - 1) {
            const double top = bottom;
            bottom += smooth.thickness[i];
            depth[i] = bottom;
            w[i] = l == 0 ? kTopLayerWeight : std::max(std::log10(bottom / top), 1e-6);
        } else {
            depth[i] = std::numeric_limits<double>::infinity();
            w[i] = kHalfSpaceWeight;
        }
    }
    // Prefix sums for the weighted variance of any run i..j.
    std::vector<double> sw(static_cast<std::size_t>(n) + 1), swx(sw.size()), swxx(sw.size());
    for (int l = 0; l < n; ++l) {
        const auto i = static_cast<std::size_t>(l);
        sw[i + 1] = sw[i] + w[i];
        swx[i + 1] = swx[i] + w[i] * x[i];
        swxx[i + 1] = swxx[i] + w[i] * x[i] * x[i];
    }
    const auto cost = [&](int i, int j) {  // run of layers i..j inclusive
        const double W = sw[j + 1] - sw[i];
        const double S = swx[j + 1] - swx[i];
        return (swxx[j + 1] - swxx[i]) - S * S / W;
    };
    const auto mean = [&](int i, int j) { return (swx[j + 1] - swx[i]) / (sw[j + 1] - sw[i]); };

    constexpr double kInf = std::numeric_limits<double>::infinity();
    // best[m][j]: layers 0..j in m + 1 runs; from[m][j]: first layer of the last run.
    std::vector<std::vector<double>> best(static_cast<std::size_t>(runs), std::vector<double>(static_cast<std::size_t>(n), kInf));
    std::vector<std::vector<int>> from(static_cast<std::size_t>(runs), std::vector<int>(static_cast<std::size_t>(n), 0));
    for (int j = 0; j < n; ++j) best[0][static_cast<std::size_t>(j)] = cost(0, j);
    for (int m = 1; m < runs; ++m) {
        for (int j = m; j < n; ++j) {
            for (int i = m; i <= j; ++i) {
                const double c = best[static_cast<std::size_t>(m - 1)][static_cast<std::size_t>(i - 1)] + cost(i, j);
                if (c < best[static_cast<std::size_t>(m)][static_cast<std::size_t>(j)]) {
                    best[static_cast<std::size_t>(m)][static_cast<std::size_t>(j)] = c;
                    from[static_cast<std::size_t>(m)][static_cast<std::size_t>(j)] = i;
                }
            }
        }
    }
    std::vector<int> starts(static_cast<std::size_t>(runs));
    int end = n - 1;
    for (int m = runs - 1; m >= 0; --m) {
        starts[static_cast<std::size_t>(m)] = m == 0 ? 0 : from[static_cast<std::size_t>(m)][static_cast<std::size_t>(end)];
        end = starts[static_cast<std::size_t>(m)] - 1;
    }
    Layers merged;
    double top = 0.0;
    for (int m = 0; m < runs; ++m) {
        const int i = starts[static_cast<std::size_t>(m)];
        const int j = m + 1 < runs ? starts[static_cast<std::size_t>(m + 1)] - 1 : n - 1;
        merged.rho.push_back(std::pow(10.0, mean(i, j)));
        if (m + 1 < runs) {
            merged.thickness.push_back(depth[static_cast<std::size_t>(j)] - top);
            top = depth[static_cast<std::size_t>(j)];
        }
    }
    return merged;
}

/// The smooth many-layer models of step 1, best first by their own SSQ.
std::vector<Layers> smoothModels(Sounding& scratch, const std::vector<CurvePoint>& points,
                                 const ComputationOptions& options) {
    std::vector<std::pair<double, Layers>> ranked;
    for (double fraction : kDepthFractions) {
        Layers smooth = smoothModel(scratch, points, fraction, options);
        ranked.emplace_back(curveSsq(scratch, smooth, options), std::move(smooth));
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Layers> models;
    for (auto& entry : ranked) models.push_back(std::move(entry.second));
    return models;
}

/// The smooth model's resistivity at `depth`.
double smoothRhoAt(const Layers& smooth, double depth) {
    double bottom = 0.0;
    for (std::size_t l = 0; l < smooth.thickness.size(); ++l) {
        bottom += smooth.thickness[l];
        if (depth < bottom) return smooth.rho[l];
    }
    return smooth.rho.back();
}

/// Where layer i of a fitted model is split in step 3: at its middle on a
/// log-depth scale (the half-space three times below its top, a lone
/// half-space at a sixth of the deepest spacing), and the middles of the two
/// halves.
struct SplitPoint {
    double split = 0.0;
    double upperMiddle = 0.0;
    double lowerMiddle = 0.0;
};

SplitPoint splitPoint(const LayerModel& fitted, int i, double deepestSpacing) {
    const int n = fitted.layerCount();
    const double top = i == 0 ? 0.0 : fitted.depth[static_cast<std::size_t>(i - 1)];
    SplitPoint p;
    if (i < n - 1) {
        const double bottom = fitted.depth[static_cast<std::size_t>(i)];
        p.split = top > 0.0 ? std::sqrt(top * bottom) : bottom / 2.0;
        p.lowerMiddle = std::sqrt(p.split * bottom);
    } else {
        p.split = top > 0.0 ? 3.0 * top : deepestSpacing / 6.0;
        p.lowerMiddle = 2.0 * p.split;
    }
    p.upperMiddle = top > 0.0 ? std::sqrt(top * p.split) : p.split / 2.0;
    return p;
}

/// The fitted model with layer i split in two at `split`, the halves taking
/// the resistivities `upper` and `lower`.
LayerModel splitLayer(const LayerModel& fitted, int i, double split, double upper, double lower) {
    const int n = fitted.layerCount();
    Layers layers;
    double previous = 0.0;
    for (int j = 0; j < n; ++j) {
        const double rho = fitted.resistivity[static_cast<std::size_t>(j)];
        const double bottom = j < n - 1 ? static_cast<double>(fitted.depth[static_cast<std::size_t>(j)]) : 0.0;
        if (j != i) {
            layers.rho.push_back(rho);
            if (j < n - 1) layers.thickness.push_back(bottom - previous);
        } else {
            layers.rho.push_back(upper);
            layers.thickness.push_back(split - previous);
            layers.rho.push_back(lower);
            if (j < n - 1) layers.thickness.push_back(bottom - split);
        }
        if (j < n - 1) previous = bottom;
    }
    return toLayerModel(layers);
}

/// Step 3: the fitted model of one layer fewer with one of its layers split,
/// each half taking the smooth model's resistivity at its own middle. One
/// model per layer.
std::vector<LayerModel> smoothSplits(const LayerModel& fitted, const Layers& smooth, double deepestSpacing) {
    std::vector<LayerModel> models;
    if (fitted.layerCount() >= kMaxLayers) return models;
    for (int i = 0; i < fitted.layerCount(); ++i) {
        const SplitPoint p = splitPoint(fitted, i, deepestSpacing);
        models.push_back(splitLayer(fitted, i, p.split, smoothRhoAt(smooth, p.upperMiddle),
                                    smoothRhoAt(smooth, p.lowerMiddle)));
    }
    return models;
}

struct BestFit {
    bool found = false;
    FitSummary summary;
    LayerModel start;
    std::unique_ptr<Sounding> fitted;  ///< the sounding with the fitted model and its curve
};

/// Fits every start model on a copy of the sounding; keeps the best.
void fitCandidates(const Sounding& sounding, const std::vector<LayerModel>& starts, FitWorkspace& workspace,
                   const ComputationOptions& options, BestFit& best, int& fitsRun) {
    auto trial = std::make_unique<Sounding>(sounding);
    for (const LayerModel& start : starts) {
        trial->model = start;
        const FitSummary summary = fitModel(*trial, workspace, options);
        ++fitsRun;
        if (summary.refused() || !std::isfinite(summary.ssq) || !withinModelLimits(trial->model)) continue;
        if (best.found && !(summary.ssq < best.summary.ssq)) continue;
        best.found = true;
        best.summary = summary;
        best.start = start;
        if (!best.fitted) best.fitted = std::make_unique<Sounding>(*trial);
        else *best.fitted = *trial;
    }
}

}  // namespace

std::vector<LayerModel> sameEarthSplits(const LayerModel& fitted, double deepestSpacing) {
    std::vector<LayerModel> models;
    if (fitted.layerCount() >= kMaxLayers) return models;
    for (int i = 0; i < fitted.layerCount(); ++i) {
        const SplitPoint p = splitPoint(fitted, i, deepestSpacing);
        const double rho = fitted.resistivity[static_cast<std::size_t>(i)];
        models.push_back(splitLayer(fitted, i, p.split, rho, rho));
    }
    return models;
}

AutomaticFit fitFromAutomaticStart(Sounding& sounding, FitWorkspace& workspace, int layers,
                                   const ComputationOptions& options) {
    AutomaticFit result;
    if (layers < 1 || layers > kMaxLayers) {
        result.summary.status = FitStatus::InvalidModel;
        result.summary.outcome = Outcome::failure("The number of layers must be 1 to 30.");
        return result;
    }
    const std::vector<CurvePoint> points = compositePoints(sounding);
    if (points.empty()) {
        result.summary.status = FitStatus::NoComposite;
        result.summary.outcome = Outcome::failure("The curve has no composite value to fit.");
        return result;
    }
    auto scratch = std::make_unique<Sounding>(sounding);
    const std::vector<Layers> smooth = smoothModels(*scratch, points, options);

    // Models of few layers are built up layer by layer; beyond that the
    // number of fits would grow with the square of the layer count.
    const int firstLevel = layers <= kMaxSplitLayers ? 1 : layers;
    BestFit previous;
    for (int level = firstLevel; level <= layers; ++level) {
        std::vector<LayerModel> starts;
        for (const Layers& model : smooth) {
            starts.push_back(toLayerModel(mergeLayers(model, level)));
            if (level == 1) break;  // one layer: the merges differ only in the mean
        }
        if (previous.found) {
            const LayerModel& fewer = previous.fitted->model;
            for (LayerModel& split : smoothSplits(fewer, smooth.front(), points.back().ab2))
                starts.push_back(split);
            // The same earth with one layer more: its fit can only improve
            // on the fewer layers, so more layers never fit worse.
            for (LayerModel& split : sameEarthSplits(fewer, points.back().ab2)) starts.push_back(split);
        }
        BestFit best;
        fitCandidates(sounding, starts, workspace, options, best, result.fitsRun);
        if (!best.found) break;
        previous = std::move(best);
    }
    if (!previous.found || previous.fitted->model.layerCount() != layers) {
        result.summary.status = FitStatus::ForwardFailed;
        result.summary.outcome = Outcome::failure(kNoFitWithinLimits);
        return result;
    }
    result.summary = previous.summary;
    result.start = previous.start;
    sounding.model = previous.fitted->model;
    sounding.computedRho = previous.fitted->computedRho;
    sounding.computedPacked = previous.fitted->computedPacked;
    sounding.grid = previous.fitted->grid;
    sounding.ssq = previous.fitted->ssq;
    return result;
}

}  // namespace orma
