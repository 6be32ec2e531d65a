#include "core/PointProcessing.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

namespace orma {

namespace {

std::string formatNumber(double value) {
    // Enough digits to recognise the reading; the core does no locale-dependent I/O.
    std::string text = std::to_string(value);
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
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

    // A spacing of zero or below makes the whole curve unusable, as it always did.
    double smallest = 999999.0;
    double largest = 0.0;
    for (int s = 0; s < count; ++s) {
        smallest = std::min<double>(smallest, given.ab2[s]);
        largest = std::max<double>(largest, given.ab2[s]);
    }
    if (count == 0 || !(smallest > 0.0) || !(largest > 0.0)) return kFailed;

    // Work on a scratch table so that a failed pass leaves the caller's points untouched.
    PointTable kept = given;
    int keptCount = 0;
    std::set<int> mergedBranches;
    std::vector<std::string> offGrid;
    std::vector<std::string> notPositive;
    int withoutSpacing = 0;
    std::array<SnappedAb2, kMaxPoints> snapped{};
    for (int s = 0; s < count; ++s) {
        const float ab2 = given.ab2[s];
        const float rho = given.rhoA[s];
        if (!std::isfinite(ab2)) {
            ++withoutSpacing;
            continue;
        }
        const SnappedAb2 snap = snapAb2(ab2);
        if (snap.index < 0 || snap.index >= kGridPoints) {
            offGrid.push_back(formatNumber(ab2));
            continue;
        }
        // Logarithms of the resistivity follow; a reading of zero or below has no place on the curve.
        if (!(rho > 0.0f) || !std::isfinite(rho)) {
            notPositive.push_back(formatNumber(ab2));
            continue;
        }
        copyPoint(given, s, kept, keptCount);
        int& branch = kept.branch[keptCount];
        if (branch > kMaxBranches) {
            mergedBranches.insert(branch);
            branch = kMaxBranches;
        } else if (branch < 0) {
            branch = 0;  // belongs to no branch, as a branch number of 0 always did
        }
        snapped[keptCount] = snap;
        ++keptCount;
    }
    // One message per kind of fault, so that a bad file does not bury the user in boxes.
    if (withoutSpacing > 0) {
        warnings.push_back(std::to_string(withoutSpacing) + " reading(s) without a valid AB/2 were left out.");
    }
    if (!offGrid.empty()) {
        warnings.push_back("Readings outside the AB/2 grid were left out (AB/2 = " + joined(offGrid) + " m).");
    }
    if (!notPositive.empty()) {
        warnings.push_back("Readings with an apparent resistivity of zero or below were left out (AB/2 = " +
                           joined(notPositive) + " m).");
    }
    if (!mergedBranches.empty()) {
        std::vector<std::string> numbers;
        for (int branch : mergedBranches) numbers.push_back(std::to_string(branch));
        warnings.push_back("Branches above 5 have no column of their own: the readings of branch " +
                           joined(numbers) + " were merged into branch 5.");
    }
    if (keptCount == 0) return kFailed;

    smallest = 999999.0;
    largest = 0.0;
    for (int s = 0; s < keptCount; ++s) {
        kept.gridIndex[s] = snapped[s].index;
        sounding.grid.value[snapped[s].index] = snapped[s].nominal;
        smallest = std::min<double>(smallest, kept.ab2[s]);
        largest = std::max<double>(largest, kept.ab2[s]);
        kept.logAb2[s] = std::log10(static_cast<double>(kept.ab2[s]));
        kept.logRhoA[s] = std::log10(static_cast<double>(kept.rhoA[s]));
    }
    kept.pointCount = keptCount;
    sounding.points = kept;
    // Spacings between 0.6 and 0.73 m snap to index 0 but the formula puts them below it.
    sounding.minGridIndex = std::clamp(abGridIndex(smallest), 0, kGridPoints - 1);
    sounding.maxGridIndex = std::clamp(abGridIndex(largest), 0, kGridPoints - 1);
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

}  // namespace orma
