#include "core/BranchShift.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orma {

namespace {

float geometricMean(float logSum, int count) {
    return std::pow(10.0f, logSum / static_cast<float>(count));
}

void resetBranchTables(BranchTables& tables) {
    for (int k = 0; k < kGridSlots; ++k) {
        tables.measuredAb2[k].fill(kMissing);
        tables.shiftedRho[k].fill(kMissing);
        tables.sMean[k].fill(kNoSMean);
        tables.branchRho[k].fill(0.0f);
    }
    tables.branchMn2.fill(kMissing);
}

bool usable(float value) { return std::isfinite(value) && value > 0.0f; }

/// "AB/2 = 10.3 m": the row of a grid table named for the user.
std::string rowName(const Sounding& sounding, int k) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, sounding.grid.value[k]);
    return "AB/2 = " + std::string(buffer, result.ptr) + " m";
}

/// Repeated readings of one branch at one grid row: last spacing, mean s value,
/// geometric mean of the resistivities. A mean that leaves the range of the
/// numbers (a reading close to the largest float) is left out and named.
void mergeRepeatedReadings(Sounding& sounding, std::vector<std::string>& lost) {
    const PointTable& points = sounding.points;
    BranchTables& tables = sounding.branches;
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        for (int j = 1; j <= tables.branchCount; ++j) {
            float sSum = 0.0f;
            float logRhoSum = 0.0f;
            int count = 0;
            for (int s = 0; s < points.pointCount; ++s) {
                if (points.branch[s] != j || points.gridIndex[s] != k) continue;
                tables.measuredAb2[k][j] = points.ab2[s];
                tables.branchMn2[j] = points.mn2[s];
                sSum += points.sValue[s];
                logRhoSum += std::log10(points.rhoA[s]);
                ++count;
            }
            if (count > 0) {
                tables.sMean[k][j] = sSum / static_cast<float>(count);
                const float mean = geometricMean(logRhoSum, count);
                if (usable(mean)) {
                    tables.branchRho[k][j] = mean;
                } else {
                    lost.push_back("branch " + std::to_string(j) + " at " + rowName(sounding, k));
                }
            }
        }
    }
}

void averageOverlapsAndFormComposite(Sounding& sounding) {
    GridTable& shifted = sounding.branches.shiftedRho;
    const int branchCount = sounding.branches.branchCount;
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        float logSum = 0.0f;
        int present = 0;
        for (int j = 1; j <= branchCount; ++j) {
            if (shifted[k][j] > 0.0f) {
                logSum += std::log10(shifted[k][j]);
                ++present;
            }
        }
        const float mean = present > 1 ? geometricMean(logSum, present) : 0.0f;
        // A mean next to the largest float may round beyond it; keep the values then.
        if (present > 1 && usable(mean)) {
            for (int j = 1; j <= branchCount; ++j) {
                if (shifted[k][j] > 0.0f) shifted[k][j] = mean;
            }
        }
    }
}

void formCompositeFromHighestBranch(Sounding& sounding) {
    GridTable& shifted = sounding.branches.shiftedRho;
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        for (int j = sounding.branches.branchCount; j >= 1; --j) {
            if (shifted[k][j] > 0.0f) {
                shifted[k][0] = shifted[k][j];
                break;
            }
        }
    }
}

}  // namespace

std::vector<std::string> shiftBranches(Sounding& sounding, int reference) {
    std::vector<std::string> messages;
    // Without a curve there is nothing to shift, and no composite is built.
    if (sounding.points.pointCount <= 0) return messages;
    BranchTables& tables = sounding.branches;
    resetBranchTables(tables);
    std::vector<std::string> lost;

    int branchCount = 0;
    for (int s = 0; s < sounding.points.pointCount; ++s) {
        branchCount = std::max(branchCount, sounding.points.branch[s]);
    }
    tables.branchCount = std::min(branchCount, kMaxBranches);
    const int lastBranch = tables.branchCount;

    mergeRepeatedReadings(sounding, lost);

    // Mean level difference of each pair of neighbouring branches over their common rows.
    std::array<float, kBranchColumns> offset{};
    for (int q = 1; q < lastBranch; ++q) {
        float sum = 0.0f;
        int common = 0;
        for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
            const float lower = tables.branchRho[k][q];
            const float upper = tables.branchRho[k][q + 1];
            if (lower > 0.0f && upper > 0.0f) {
                sum += std::log10(lower) - std::log10(upper);
                ++common;
            }
        }
        if (common == 0) {
            messages.push_back("Between branch " + std::to_string(q) + " and " + std::to_string(q + 1) +
                               " no overlay!, shift was proceeded with  dRz = 0 !!!");
        } else {
            offset[q] = sum / static_cast<float>(common);
        }
    }

    // Each branch moves by the chain of offsets between it and the reference; a
    // reference above the highest branch leaves the highest branch where it is.
    for (int j = 1; j <= lastBranch; ++j) {
        float shift = 0.0f;
        if (j < reference) {
            for (int q = j; q <= reference - 1 && q <= lastBranch - 1; ++q) shift -= offset[q];
        } else if (j > reference) {
            for (int q = reference; q <= j - 1; ++q) shift += offset[q];
        }
        for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
            const float rho = tables.branchRho[k][j];
            if (rho > 0.0f) {
                const float moved = j == reference ? rho : std::pow(10.0f, std::log10(rho) + shift);
                if (usable(moved)) {
                    tables.shiftedRho[k][j] = moved;
                } else {
                    lost.push_back("branch " + std::to_string(j) + " at " + rowName(sounding, k));
                }
            }
        }
    }

    // Without averaging the composite still takes the highest branch present at each
    // row, so that the plot and the fit have a curve to work on.
    if (sounding.averageOverlaps) averageOverlapsAndFormComposite(sounding);
    formCompositeFromHighestBranch(sounding);

    if (!lost.empty()) {
        std::string list;
        for (const std::string& item : lost) list += (list.empty() ? "" : ", ") + item;
        messages.push_back("Shifted values beyond the range of the numbers take no part in the curve: " + list + ".");
    }
    sounding.compositeBuilt = true;
    return messages;
}

bool driftComposite(Sounding& sounding, int direction) {
    if (!sounding.compositeBuilt) return false;
    GridTable& shifted = sounding.branches.shiftedRho;
    const float logStep = static_cast<float>(direction) * sounding.driftStep;
    const auto drifted = [logStep](float value) { return std::pow(10.0f, std::log10(value) + logStep); };
    // A step that would carry a value out of the range of the numbers moves nothing.
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        for (int j = 0; j <= sounding.branches.branchCount; ++j) {
            if (shifted[k][j] > 0.0f && !usable(drifted(shifted[k][j]))) return false;
        }
    }
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        for (int j = 0; j <= sounding.branches.branchCount; ++j) {
            if (shifted[k][j] > 0.0f) shifted[k][j] = drifted(shifted[k][j]);
        }
    }
    return true;
}

CurveEditToggle toggleCurveEdit(Sounding& sounding) {
    if (!sounding.compositeBuilt) return CurveEditToggle::NeedsComposite;
    if (!sounding.curveEditMode) {
        sounding.curveEditMode = true;
        return CurveEditToggle::Started;
    }
    sounding.curveEditMode = false;
    if (!sounding.mouseDrawnCurve) return CurveEditToggle::Ended;

    // A mouse-drawn curve has one point per grid row from minGridIndex on.
    GridTable& shifted = sounding.branches.shiftedRho;
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        const int m = k - sounding.minGridIndex;
        shifted[k][1] = shifted[k][0];
        // A gap has no resistivity to commit; the point keeps its reading.
        if (shifted[k][0] > 0.0f && m < kMaxPoints) sounding.points.rhoA[m] = shifted[k][0];
    }
    sounding.mouseDrawnCurve = false;
    return CurveEditToggle::EndedAndCommitted;
}

}  // namespace orma
