#include "core/LateralInversionProfile.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/AbGrid.h"

namespace orma {

namespace {

/// The AB/2 of the stored readings at their grid rows, as the branch shift
/// records them (the last reading of a branch at a row wins).
void restoreMeasuredSpacings(const VesPoint& point, Sounding& sounding) {
    const int count = std::clamp(point.Mermx, 0, kMaxPointSamples);
    for (int s = 0; s < count; ++s) {
        const int branch = point.branch[s];
        const float ab2 = point.ab2[s];
        if (branch < 1 || branch > kMaxBranches || !(ab2 > 0.0f) || !std::isfinite(ab2)) continue;
        const int k = snapAb2(ab2).index;
        if (k >= sounding.minGridIndex && k <= sounding.maxGridIndex)
            sounding.branches.measuredAb2[k][branch] = ab2;
    }
}

}  // namespace

int commonLayerCount(const Profile& profile) {
    std::array<int, kMaxPointLayers + 1> count{};
    for (const VesPoint& point : profile.points)
        if (point.MDLmx >= 1 && point.MDLmx < kMaxPointLayers) ++count[point.MDLmx + 1];
    int best = 0;
    for (int layers = 2; layers <= kMaxPointLayers; ++layers)
        if (count[layers] > count[best]) best = layers;
    return best;
}

ProfileInversion profileInversion(const Profile& profile, const ComputationOptions& options) {
    ProfileInversion problem;
    problem.soundings.reserve(profile.points.size());
    for (const VesPoint& point : profile.points) {
        LciSounding item;
        item.name = point.name;
        item.chainage = point.profileChainage;
        if (!point.hasNoCurve()) {
            item.sounding = std::make_unique<Sounding>();
            std::vector<std::string> messages = loadPointIntoSounding(point, *item.sounding);
            // The curve is the stored composite; readings beyond a sounding's
            // 99 matter only for the spacings and are not named again.
            if (!messages.empty() && point.Mermx > kMaxPoints) messages.erase(messages.begin());
            for (std::string& message : messages) problem.messages.push_back(std::move(message));
            if (options.measuredSpacings) restoreMeasuredSpacings(point, *item.sounding);
        }
        problem.soundings.push_back(std::move(item));
    }
    return problem;
}

void applyProfileInversion(const ProfileInversion& problem, Profile& profile) {
    const std::size_t count = std::min(problem.soundings.size(), profile.points.size());
    for (std::size_t i = 0; i < count; ++i) {
        const LciSounding& item = problem.soundings[i];
        if (!item.included || item.sounding == nullptr) continue;
        const LayerModel& model = item.sounding->model;
        VesPoint& point = profile.points[i];
        const VesPoint before = point;
        point.MDLmx = std::clamp(model.interfaceCount, 0, kMaxPointLayers - 1);
        point.resistivity.fill(0.0f);
        point.depth.fill(0.0f);
        for (int k = 0; k <= point.MDLmx; ++k) {
            point.resistivity[k] =
                model.resistivityFixed[k] == 1 ? -model.resistivity[k] : model.resistivity[k];
            point.depth[k] = model.depthFixed[k] == 1 ? -model.depth[k] : model.depth[k];
        }
        point.ssq = static_cast<float>(item.sounding->ssq);
        // The depth ranges of an independent global fit do not belong to the joint model.
        if (!point.sameModelValuesAs(before)) point.depthRange.fill(DepthRange{});
    }
}

}  // namespace orma
