#pragma once
// The equivalent models of a global fit: the models the search met whose SSQ
// lies within `factor` times the best (interpreters use 1.05, as the
// parameter ranges do) and whose values lie within core/ModelLimits.h, each
// kept once. They tell the interpreter how differently the data can be
// explained equally well.
//
// Duplicates: the candidates are taken best first (smallest SSQ; of equal
// SSQ the one met first), and a candidate is dropped when a model already
// kept has every resistivity and every thickness within `tolerance` of it in
// natural-log units (by default 0.01, about 1 %): the same model reached from
// another start or by another step. Thicknesses below a millimetre count as a
// millimetre. At most kMaxEquivalentModels models are kept (the best ones).
//
// Spans: the smallest and largest value of each resistivity, thickness and
// interface depth over the kept models.

#include <array>
#include <functional>
#include <vector>

#include "core/ModelValues.h"
#include "core/Sounding.h"

namespace orma {

inline constexpr double kDefaultEquivalenceFactor = 1.05;
inline constexpr double kDefaultDuplicateTolerance = 0.01;
inline constexpr int kMaxEquivalentModels = 10000;

struct ValueSpan {
    double min = 0.0;
    double max = 0.0;
};

struct EquivalentModels {
    double factor = kDefaultEquivalenceFactor;
    double tolerance = kDefaultDuplicateTolerance;
    double bestSsq = 0.0;
    double threshold = 0.0;  ///< factor * bestSsq
    int candidates = 0;      ///< models met within the threshold, duplicates included
    std::vector<ModelValues> models;  ///< best first; empty when there is no best
    int interfaceCount = 0;
    std::array<ValueSpan, kMaxLayers> resistivity{};  ///< layer i, i = 0..interfaceCount
    std::array<ValueSpan, kMaxLayers> thickness{};    ///< layer i, i < interfaceCount
    std::array<ValueSpan, kMaxLayers> depth{};        ///< interface i, i < interfaceCount
};

/// True when every resistivity and thickness of a and b (same layer count)
/// lies within `tolerance` of the other in natural-log units.
bool sameModelWithin(const ModelValues& a, const ModelValues& b, double tolerance);

/// Whether a model may stand among the equivalent ones beyond the limits and
/// the factor (asked only of models that are no duplicates, best first).
using AdmissibleModel = std::function<bool(const ModelValues&)>;

/// The equivalent models among `candidates` (in the order the search met
/// them; models of another layer count than the first, outside the limits,
/// above factor * bestSsq, or not admissible are left out) and their spans.
EquivalentModels selectEquivalentModels(std::vector<ModelValues> candidates, double bestSsq,
                                        double factor = kDefaultEquivalenceFactor,
                                        double tolerance = kDefaultDuplicateTolerance,
                                        const AdmissibleModel& admissible = {});

}  // namespace orma
