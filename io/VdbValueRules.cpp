#include "io/VdbValueRules.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "core/ModelLimits.h"
#include "io/CsvCells.h"

namespace orma::vdb {

std::string finiteProblem(const std::string& key, float value) {
    if (std::isfinite(value)) return {};
    return key + " is " + shortestNumberText(value) + ", not a finite number";
}

std::string branchProblem(int branch, const std::string& which) {
    if (branch >= 0 && branch <= kMaxBranches) return {};
    return "iMN" + which + " is " + std::to_string(branch) + "; a branch number lies between 1 and 5 (0: a reading in no branch)";
}

std::string layerProblem(float resistivity, float depth, int layer, int interfaces) {
    const std::string which = " of layer " + std::to_string(layer + 1);
    if (std::string problem = finiteProblem("Rmodelu" + which, resistivity); !problem.empty()) return problem;
    if (std::string problem = finiteProblem("Dmodeluminusjefix" + which, depth); !problem.empty()) return problem;
    if (interfaces == 0) return {};
    // The limits as the floats the file holds: a typed 1e-6 is stored just below the double 1e-6.
    const float rho = std::fabs(resistivity);
    if (!(rho >= static_cast<float>(kMinModelResistivity) && rho <= static_cast<float>(kMaxModelResistivity))) {
        return "Rmodelu" + which + " is " + shortestNumberText(resistivity) + "; a resistivity of a model lies between " +
               shortestNumberText(kMinModelResistivity) + " and " + shortestNumberText(kMaxModelResistivity) +
               " ohm-m (a held one is written negative)";
    }
    const float bottom = std::fabs(depth);
    if (layer < interfaces && !(bottom > 0.0f && bottom <= static_cast<float>(kMaxModelDepth))) {
        return "Dmodeluminusjefix" + which + " is " + shortestNumberText(depth) +
               "; the bottom of a layer lies deeper than 0 and at most " + shortestNumberText(kMaxModelDepth) +
               " m (a held one is written negative)";
    }
    return {};
}

std::string depthRangeProblem(const DepthRange& range, int interfaceIndex) {
    const std::string which = " of interface " + std::to_string(interfaceIndex + 1);
    if (std::string problem = finiteProblem("the least depth" + which, range.min); !problem.empty()) return problem;
    if (std::string problem = finiteProblem("the greatest depth" + which, range.max); !problem.empty()) return problem;
    const auto deepest = static_cast<float>(kMaxModelDepth);
    if (range.min > 0.0f && range.min <= range.max && range.max <= deepest) return {};
    return "the depth range" + which + " is " + shortestNumberText(range.min) + " to " + shortestNumberText(range.max) +
           "; a range lies deeper than 0, its least depth not below its greatest, at most " +
           shortestNumberText(kMaxModelDepth) + " m";
}

std::string scaleProblem(const char* key, float scale) {
    if (std::string problem = finiteProblem(key, scale); !problem.empty()) return problem;
    if (scale > 0.0f) return {};
    return std::string(key) + " is " + shortestNumberText(scale) + "; a scale is a number above 0 (1/N of 1:N)";
}

std::string pointProblem(const VesPoint& point) {
    const std::tuple<const char*, int, int> counts[] = {{"ABmx", point.ABmx, kGridPoints - 1},
                                                        {"MNmx", point.MNmx, kMaxBranches},
                                                        {"MDLmx", point.MDLmx, kMaxPointLayers - 1},
                                                        {"Mermx", point.Mermx, kMaxPointSamples},
                                                        {"nABmn", point.nABmn, kGridPoints - 1}};
    for (const auto& [key, value, last] : counts) {
        if (value < 0 || value > last) {
            return std::string(key) + " is " + std::to_string(value) + "; it must lie between 0 and " +
                   std::to_string(last);
        }
    }
    const std::pair<const char*, float> single[] = {
        {"metráž_dle_terénu", point.terrainChainage}, {"X", point.x}, {"Y", point.y}, {"Z", point.z},
        {"metráž_bodu_na_pf", point.profileChainage}, {"chyba_SSQ_bodu_VES", point.ssq}};
    for (const auto& [key, value] : single) {
        if (std::string problem = finiteProblem(key, value); !problem.empty()) return problem;
    }
    const int samples = std::clamp(point.Mermx, 0, kMaxPointSamples);
    for (int l = 0; l < samples; ++l) {
        const std::string which = " of sample " + std::to_string(l + 1);
        for (const auto& [key, value] : {std::pair<const char*, float>{"AO", point.ab2[l]}, {"MO", point.mn2[l]},
                                         {"Rmer", point.rhoA[l]}}) {
            if (std::string problem = finiteProblem(key + which, value); !problem.empty()) return problem;
        }
        if (std::string problem = branchProblem(point.branch[l], which); !problem.empty()) return problem;
        const int k = point.nABmn + l;
        if (l <= point.ABmx && k >= 0 && k < kMaxPointSamples) {
            if (std::string problem = finiteProblem("Rsnesená" + which, point.composite[k]); !problem.empty()) {
                return problem;
            }
        }
    }
    const int interfaces = std::clamp(point.MDLmx, 0, kMaxPointLayers - 1);
    for (int i = 0; i <= interfaces; ++i) {
        if (std::string problem = layerProblem(point.resistivity[i], point.depth[i], i, interfaces); !problem.empty()) {
            return problem;
        }
        const DepthRange& range = point.depthRange[static_cast<std::size_t>(i)];
        if (i < interfaces && range.known()) {
            if (std::string problem = depthRangeProblem(range, i); !problem.empty()) return problem;
        }
    }
    return {};
}

}  // namespace orma::vdb
