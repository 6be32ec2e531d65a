#include "core/ExtraBranches.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <set>

namespace orma {

namespace {

std::string fourDigits(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 4);
    return std::string(buffer, result.ptr);
}

/// log10 of the geometric mean of the branch's readings at each grid row (sums
/// in float, as the shift does); NaN where the branch has no reading.
std::array<float, kGridSlots> rowLevels(const PointTable& points, int count, int branch) {
    std::array<float, kGridSlots> logSum{};
    std::array<int, kGridSlots> readings{};
    for (int s = 0; s < count; ++s) {
        const int k = points.gridIndex[s];
        if (points.branch[s] != branch || k < 0 || k >= kGridSlots) continue;
        logSum[k] += std::log10(points.rhoA[s]);
        ++readings[k];
    }
    std::array<float, kGridSlots> level{};
    for (int k = 0; k < kGridSlots; ++k) {
        level[k] = readings[k] > 0 ? logSum[k] / static_cast<float>(readings[k]) : std::nanf("");
    }
    return level;
}

}  // namespace

std::vector<std::string> mergeExtraBranches(PointTable& points, int count, int minGridIndex, int maxGridIndex) {
    std::set<int> extra;
    bool branch5Present = false;
    for (int s = 0; s < count; ++s) {
        if (points.branch[s] > kMaxBranches) extra.insert(points.branch[s]);
        if (points.branch[s] == kMaxBranches) branch5Present = true;
    }

    std::vector<std::string> messages;
    for (const int branch : extra) {
        const std::string name = "Branch " + std::to_string(branch) + " has no column of its own: ";
        if (!branch5Present) {
            messages.push_back(name + "its readings were taken as branch 5, which was empty.");
        } else {
            const std::array<float, kGridSlots> joined = rowLevels(points, count, kMaxBranches);
            const std::array<float, kGridSlots> own = rowLevels(points, count, branch);
            float sum = 0.0f;
            int common = 0;
            for (int k = std::max(minGridIndex, 0); k <= std::min(maxGridIndex, kGridSlots - 1); ++k) {
                if (std::isnan(joined[k]) || std::isnan(own[k])) continue;
                sum += joined[k] - own[k];
                ++common;
            }
            if (common == 0) {
                messages.push_back(name + "it has no grid point in common with branch 5, so its readings were "
                                          "merged into branch 5 without levelling.");
            } else {
                const float offset = sum / static_cast<float>(common);
                bool levelled = true;
                for (int s = 0; s < count && levelled; ++s) {
                    if (points.branch[s] != branch) continue;
                    const float moved = std::pow(10.0f, std::log10(points.rhoA[s]) + offset);
                    levelled = std::isfinite(moved) && moved > 0.0f;
                }
                if (levelled) {
                    for (int s = 0; s < count; ++s) {
                        if (points.branch[s] == branch) {
                            points.rhoA[s] = std::pow(10.0f, std::log10(points.rhoA[s]) + offset);
                        }
                    }
                    messages.push_back(name + "its readings were levelled onto branch 5 (by a factor of " +
                                       fourDigits(std::pow(10.0, static_cast<double>(offset))) + ", from " +
                                       std::to_string(common) + " common grid point" + (common == 1 ? "" : "s") +
                                       ") and merged into it.");
                } else {
                    messages.push_back(name + "levelling it onto branch 5 would leave the range of the numbers, "
                                              "so its readings were merged into branch 5 without levelling.");
                }
            }
        }
        for (int s = 0; s < count; ++s) {
            if (points.branch[s] == branch) points.branch[s] = kMaxBranches;
        }
        branch5Present = true;
    }
    return messages;
}

}  // namespace orma
