#include "io/RstRecordText.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "core/AbGrid.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"

namespace orma {

namespace {

/// The MN/2 the reader accepts and keeps in a branch of its own (branch 6
/// would be merged into branch 5).
constexpr float kSmallestMn2 = 0.1f;
constexpr float kMn2OfSixthBranch = 300.0f;

/// A header text must stay on its line and within its field.
std::string headerText(std::string_view text, std::size_t maxLength) {
    return cutToCharacters(withoutControlCharacters(text), maxLength);
}

/// What the reader gets back from a number written with "%f".
float asReadBack(float value) {
    float back = 0.0f;
    if (scanPattern(formatFixed(value), "%f", {&back}).conversions != 1) return std::nanf("");
    return back;
}

std::string shortest(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

/// The MN/2 written for output branch e: that of measured branch e, or, when
/// that branch is empty, of the nearest measured one, so that every written
/// line passes the reader's MN/2 check.
float outputMn2(const Sounding& sounding, int e) {
    const auto& mn2 = sounding.branches.branchMn2;
    const int b = std::clamp(sounding.branches.branchCount, 1, kMaxBranches);
    if (mn2[e] > 0.0f) return mn2[e];
    for (int d = 1; d < kBranchColumns; ++d) {
        if (e - d >= 1 && mn2[e - d] > 0.0f) return mn2[e - d];
        if (e + d <= b && mn2[e + d] > 0.0f) return mn2[e + d];
    }
    return mn2[e];
}

int truncatedS(float sMean) {
    if (!std::isfinite(sMean)) return 0;
    const double t = std::trunc(static_cast<double>(sMean));
    return static_cast<int>(std::clamp(t, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

/// The AB/2 written for row k: one that the reader snaps back onto row k.
float writtenAb2(const Sounding& sounding, int k) {
    const float entry = sounding.grid.value[k];
    const float back = asReadBack(entry);
    if (back >= 1.0f && snapAb2(back).index == k) return entry;
    return static_cast<float>(abGridValue(k));
}

}  // namespace

int rstOutputBranchCount(const Sounding& sounding) {
    const int b = std::clamp(sounding.branches.branchCount, 0, kMaxBranches);
    if (b == 0) return 0;
    int count = 0;
    const int first = std::max({sounding.minGridIndex, 6 * (b - 1), 0});
    const int last = std::min(sounding.maxGridIndex, kGridPoints - 1);
    for (int k = first; k <= last; ++k) {
        if (sounding.branches.shiftedRho[k][b] > 0.0f) ++count;
    }
    return count < 3 ? std::max(b - 1, 1) : b;
}

bool inRstOutputBranch(int k, int e, int outputBranches) {
    return k >= 6 * e - 6 && (e == outputBranches || k < 6 * e + 2);
}

std::vector<RstDataLine> rstDataLines(const Sounding& sounding) {
    const BranchTables& tables = sounding.branches;
    const int measured = std::clamp(tables.branchCount, 0, kMaxBranches);
    const int outputBranches = rstOutputBranchCount(sounding);
    const int first = std::clamp(sounding.minGridIndex, 0, kGridPoints - 1);
    const int last = std::clamp(sounding.maxGridIndex, 0, kGridPoints - 1);
    std::vector<RstDataLine> lines;
    for (int e = 1; e <= outputBranches; ++e) {
        const float mn2 = outputMn2(sounding, e);
        for (int k = first; k <= last; ++k) {
            if (!inRstOutputBranch(k, e, outputBranches)) continue;
            for (int l = 1; l <= measured; ++l) {
                const float rho = tables.shiftedRho[k][l];
                if (!(rho > 0.0f)) continue;
                lines.push_back({k, e, rho, truncatedS(tables.sMean[k][l]), writtenAb2(sounding, k), mn2});
                break;
            }
        }
    }
    return lines;
}

std::optional<std::string> rstRecordProblem(const Sounding& sounding) {
    const std::vector<RstDataLine> lines = rstDataLines(sounding);
    if (lines.empty()) return "The shifted curve has no values, so there is no RST record to write.";
    if (static_cast<int>(lines.size()) > kMaxPoints) {
        return "The record would hold " + std::to_string(lines.size()) +
               " readings, more than the 99 that a sounding holds when it is read back; it is not written.";
    }
    for (const RstDataLine& line : lines) {
        const float m = asReadBack(line.m);
        if (!(m >= kSmallestMn2 && m < kMn2OfSixthBranch)) {
            return "Output branch " + std::to_string(line.outputBranch) + " has MN/2 = " + shortest(line.m) +
                   " m: an RST file keeps MN/2 from 0.1 m up to below 300 m in branches of their own, "
                   "so the record is not written.";
        }
        const float r = asReadBack(line.r);
        if (!(r > 0.0f) || !std::isfinite(r)) {
            return "The shifted value at AB/2 = " + shortest(line.a) + " m is " + shortest(line.r) +
                   " ohm.m, which an RST file cannot hold (\"%f\" writes it as " + formatFixed(line.r) +
                   "), so the record is not written.";
        }
    }
    return std::nullopt;
}

std::vector<std::string> rstRecordLines(const Sounding& sounding) {
    std::vector<std::string> lines{
        formatPattern("n %s", {headerText(sounding.operatorName, kMaxNameLength)}),
        formatPattern("b %i", {sounding.pointNumber}),
        formatPattern("p %i", {sounding.profileNumber}),
        formatPattern("l %s", {headerText(sounding.locality, kMaxNameLength)}),
        formatPattern("d %s", {headerText(sounding.date, kMaxDateLength)}),
    };
    for (const RstDataLine& line : rstDataLines(sounding)) {
        lines.push_back(formatPattern("r %f s%i a%f m%f", {line.r, line.s, line.a, line.m}));
    }
    return lines;
}

}  // namespace orma
