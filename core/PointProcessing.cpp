#include "core/PointProcessing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "core/ExtraBranches.h"

namespace orma {

namespace {

/// Why a reading takes no part in the curve; one message per kind.
enum class Fault {
    AbNotFinite,
    AbNotPositive,
    OffGrid,
    RhoNotANumber,
    RhoInfinite,
    RhoNotPositive,
    OtherNotFinite,
    Count
};

constexpr std::array<const char*, static_cast<std::size_t>(Fault::Count)> kFaultText{
    "Readings whose AB/2 is not a finite number were left out: ",
    "Readings with an AB/2 of zero or below were left out: ",
    "Readings with an AB/2 beyond the 99 points of the AB/2 grid were left out: ",
    "Readings whose apparent resistivity is not a number were left out: ",
    "Readings with an infinite apparent resistivity (or one beyond the range of the numbers) were left out: ",
    "Readings with an apparent resistivity of zero or below were left out: ",
    "Readings whose MN/2 or s value is not a finite number were left out: ",
};

/// Shortest text that reads back as the same float; locale-free.
std::string number(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

/// Four significant digits, as the plot labels the grid (232.2, 48.97).
std::string shortNumber(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 4);
    return std::string(buffer, result.ptr);
}

/// "reading 4 (AB/2 = 10 m, MN/2 = 1 m)": the reading's number in the file
/// and the values that identify it there.
std::string describeReading(const PointTable& points, int s) {
    return "reading " + std::to_string(s + 1) + " (AB/2 = " + number(points.ab2[s]) +
           " m, MN/2 = " + number(points.mn2[s]) + " m";
}

std::optional<Fault> faultOf(const PointTable& points, int s, const SnappedAb2& snap) {
    const float ab2 = points.ab2[s];
    const float rho = points.rhoA[s];
    if (!std::isfinite(ab2)) return Fault::AbNotFinite;
    if (!(ab2 > 0.0f)) return Fault::AbNotPositive;
    if (snap.index < 0 || snap.index >= kGridPoints) return Fault::OffGrid;
    // Logarithms of the resistivity follow; such a reading has no place on the curve.
    if (std::isnan(rho)) return Fault::RhoNotANumber;
    if (std::isinf(rho)) return Fault::RhoInfinite;
    if (!(rho > 0.0f)) return Fault::RhoNotPositive;
    if (!std::isfinite(points.mn2[s]) || !std::isfinite(points.sValue[s])) return Fault::OtherNotFinite;
    return std::nullopt;
}

/// The part of a fault's entry after the reading's AB/2 and MN/2.
std::string faultDetail(const PointTable& points, int s, Fault fault) {
    switch (fault) {
        case Fault::RhoNotANumber:
        case Fault::RhoInfinite:
        case Fault::RhoNotPositive: return ", rhoA = " + number(points.rhoA[s]) + ")";
        case Fault::OtherNotFinite: return ", s = " + number(points.sValue[s]) + ")";
        default: return ")";
    }
}

/// Readings of one branch that snap to one grid row are averaged into it. Up
/// to this relative difference their spacings count as one field spacing
/// (10 and 10.3 m, 48 and 50 m); beyond it they were measured at different
/// spacings (80 and 90 m, 220 to 280 m), and the merge is named.
constexpr double kSameSpacingTolerance = 0.05;

/// One message naming every grid row of a branch into which readings of
/// clearly different spacings were merged; empty when there is none.
std::string mergedSpacingsMessage(const PointTable& kept, int keptCount, const PointTable& given,
                                  const std::array<int, kMaxPoints>& readingOf, const AbGrid& grid,
                                  int minGridIndex, int maxGridIndex) {
    // One pass for the spread of each branch's row; words only for the rows that need them.
    std::array<std::array<float, kGridPoints>, kMaxBranches + 1> smallest{}, largest{};
    for (int s = 0; s < keptCount; ++s) {
        const int branch = kept.branch[s], k = kept.gridIndex[s];
        if (branch < 1 || branch > kMaxBranches || k < minGridIndex || k > maxGridIndex) continue;
        float& low = smallest[branch][k];
        low = low > 0.0f ? std::min(low, kept.ab2[s]) : kept.ab2[s];
        largest[branch][k] = std::max(largest[branch][k], kept.ab2[s]);
    }
    std::string rows;
    for (int branch = 1; branch <= kMaxBranches; ++branch) {
        for (int k = minGridIndex; k <= maxGridIndex; ++k) {
            if (!(largest[branch][k] > smallest[branch][k] * (1.0 + kSameSpacingTolerance))) continue;
            std::string numbers, spacings;
            for (int s = 0; s < keptCount; ++s) {
                if (kept.branch[s] != branch || kept.gridIndex[s] != k) continue;
                numbers += (numbers.empty() ? "" : ", ") + std::to_string(readingOf[s] + 1);
                spacings += (spacings.empty() ? "" : ", ") + number(given.ab2[readingOf[s]]);
            }
            rows += (rows.empty() ? "" : "; ") + std::string("branch ") + std::to_string(branch) +
                    ", grid AB/2 " + shortNumber(grid.value[k]) + " m: readings " + numbers +
                    " at AB/2 = " + spacings + " m";
        }
    }
    if (rows.empty()) return {};
    return kMergedSpacingsIntro + rows +
           ". Such a row is plotted and computed at its grid AB/2; Model > Computation > "
           "Model at the measured AB/2 (ormacli --measured-spacings) computes it at the readings' mean AB/2 "
           "instead.";
}

void copyPoint(const PointTable& from, int s, PointTable& to, int t) {
    to.ab2[t] = from.ab2[s];
    to.mn2[t] = from.mn2[s];
    to.rhoA[t] = from.rhoA[s];
    to.sValue[t] = from.sValue[s];
    to.branch[t] = from.branch[s];
}

}  // namespace

int postProcessPoints(Sounding& sounding, CurveSource source, std::vector<std::string>& warnings) {
    const PointTable& given = sounding.points;
    const int count = std::clamp(given.pointCount, 0, kMaxPoints);

    // Work on a scratch table so that a failed pass leaves the caller's points untouched.
    PointTable kept = given;
    int keptCount = 0;
    std::array<int, kMaxPoints> readingOf{};  // the given index of each kept point
    std::array<std::string, static_cast<std::size_t>(Fault::Count)> left;
    std::string withoutBranch;
    for (int s = 0; s < count; ++s) {
        const SnappedAb2 snap = std::isfinite(given.ab2[s]) && given.ab2[s] > 0.0f ? snapAb2(given.ab2[s])
                                                                                  : SnappedAb2{-1, 0.0f};
        if (const std::optional<Fault> fault = faultOf(given, s, snap)) {
            std::string& list = left[static_cast<std::size_t>(*fault)];
            list += (list.empty() ? "" : ", ") + describeReading(given, s) + faultDetail(given, s, *fault);
            continue;
        }
        copyPoint(given, s, kept, keptCount);
        if (kept.branch[keptCount] <= 0) {
            // Stays in the table (it is a measured point) but belongs to no branch.
            withoutBranch += (withoutBranch.empty() ? "" : ", ") + describeReading(given, s) + ", branch " +
                             std::to_string(given.branch[s]) + ")";
            kept.branch[keptCount] = 0;
        }
        kept.gridIndex[keptCount] = snap.index;
        readingOf[keptCount] = s;
        ++keptCount;
    }
    // One message per kind of fault, each naming every reading it concerns.
    for (std::size_t f = 0; f < left.size(); ++f) {
        if (!left[f].empty()) warnings.push_back(kFaultText[f] + left[f] + ".");
    }
    if (!withoutBranch.empty()) {
        warnings.push_back("Readings without a branch number from 1 up belong to no branch and take no part in the "
                           "curve: " + withoutBranch + ".");
    }
    if (keptCount == 0) return kFailed;

    double smallest = 999999.0;
    double largest = 0.0;
    for (int s = 0; s < keptCount; ++s) {
        smallest = std::min<double>(smallest, kept.ab2[s]);
        largest = std::max<double>(largest, kept.ab2[s]);
    }
    // Spacings between 0.6 and 0.73 m snap to index 0 but the formula puts them below it.
    const int minGridIndex = std::clamp(abGridIndex(smallest), 0, kGridPoints - 1);
    const int maxGridIndex = std::clamp(abGridIndex(largest), 0, kGridPoints - 1);

    for (std::string& text : mergeExtraBranches(kept, keptCount, minGridIndex, maxGridIndex)) {
        warnings.push_back(std::move(text));
    }

    // The snapping table and the index formula disagree near some row bounds:
    // a largest AB/2 of 150 m snaps to row 20 while the range ends at row 19.
    // The rule stays; the reading is named.
    std::string outside;
    for (int s = 0; s < keptCount; ++s) {
        const int k = kept.gridIndex[s];
        sounding.grid.value[k] = snapAb2(kept.ab2[s]).nominal;
        kept.logAb2[s] = std::log10(static_cast<double>(kept.ab2[s]));
        kept.logRhoA[s] = std::log10(static_cast<double>(kept.rhoA[s]));
        if (k < minGridIndex || k > maxGridIndex) {
            outside += (outside.empty() ? "" : ", ") + describeReading(given, readingOf[s]) + ", grid point " +
                       std::to_string(k) + ")";
        }
    }
    if (!outside.empty()) {
        warnings.push_back("Readings that snap to a grid point outside the curve's AB/2 range (grid points " +
                           std::to_string(minGridIndex) + " to " + std::to_string(maxGridIndex) +
                           ") take no part in the curve: " + outside + ".");
    }
    std::string merged =
        mergedSpacingsMessage(kept, keptCount, given, readingOf, sounding.grid, minGridIndex, maxGridIndex);
    if (!merged.empty()) warnings.push_back(std::move(merged));
    kept.pointCount = keptCount;
    sounding.points = kept;
    sounding.minGridIndex = minGridIndex;
    sounding.maxGridIndex = maxGridIndex;
    sounding.source = source;
    return kSuccess;
}

void resetForNewCurve(Sounding& sounding) {
    sounding.curveLoaded = true;
    sounding.compositeBuilt = false;
    sounding.model.interfaceCount = 0;
    sounding.model.depthFixed.fill(0);
    sounding.model.resistivityFixed.fill(0);
    sounding.computedCurveShown = false;
    sounding.curveEditMode = false;
}

int reprocessReadings(Sounding& sounding, std::vector<std::string>& warnings) {
    return postProcessPoints(sounding, CurveSource::Gef, warnings);
}

}  // namespace orma
