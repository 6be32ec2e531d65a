#include "io/GefReader.h"

#include <string_view>

#include "core/BranchShift.h"
#include "core/PointProcessing.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/ReadingsCommit.h"

namespace orma {

namespace {

constexpr std::string_view kReadingPattern = "%f %f %f %f %f %f %f %f %f %f %f %i %f";
constexpr int kHeaderLines = 4;

/// Returns the line starting at `pos` (without its CR LF) and moves `pos` past it.
std::string_view takeLine(std::string_view text, std::size_t& pos) {
    if (pos >= text.size()) return {};
    std::size_t end = text.find('\n', pos);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos = next;
    return line;
}

}  // namespace

int readGefText(Sounding& sounding, std::string_view text, std::vector<std::string>& messages) {
    std::size_t pos = 0;
    std::string date = sounding.date;
    for (int line = 1; line <= kHeaderLines; ++line) {
        const std::string_view content = takeLine(text, pos);
        if (line == 2) {
            std::string word;
            std::string unusedSecondWord;
            if (scanPattern(content, "%s %s", {&word, &unusedSecondWord}).conversions >= 1) {
                date = cutToCharacters(word, kMaxDateLength);
            }
        }
    }

    PointTable fresh;
    std::string_view rest = text.substr(pos);
    while (true) {
        float c1, c2, rho, c4, c5, s, c7, ab2, c9, mn2, c11, c13;
        int branch = 0;
        const ScanResult scanned = scanPattern(
            rest, kReadingPattern, {&c1, &c2, &rho, &c4, &c5, &s, &c7, &ab2, &c9, &mn2, &c11, &branch, &c13});
        if (scanned.conversions < 13) break;
        rest.remove_prefix(scanned.consumed);
        if (fresh.pointCount == kMaxPoints) {
            // Only 99 readings fit the branch and grid columns of a sounding.
            messages.emplace_back(kTooManyReadingsMessage);
            break;
        }
        const int n = fresh.pointCount++;
        fresh.ab2[n] = ab2;
        fresh.mn2[n] = mn2;
        fresh.rhoA[n] = rho;
        fresh.sValue[n] = s;
        fresh.branch[n] = branch;
    }

    if (commitReadings(sounding, fresh, CurveSource::Gef, messages) != kSuccess) return kFailed;
    sounding.date = date;
    return kSuccess;
}

FileDialogOptions gefOpenDialogOptions(const Sounding& sounding) {
    return FileDialogOptions{kGefFilter, kGefExtension, sounding.gefPath};
}

int readGefFile(Sounding& sounding, std::vector<std::string>& messages) {
    if (sounding.reprocessOnly) {
        return postProcessPoints(sounding, CurveSource::Gef, messages) == kSuccess ? kSuccess : kFailed;
    }
    const std::optional<std::string> text = readCp1250File(sounding.gefPath);
    if (!text) {
        messages.emplace_back(kGefCannotOpen);
        return kCannotOpen;
    }
    return readGefText(sounding, *text, messages);
}

int openGefCurve(Sounding& sounding, const std::string& path, std::vector<std::string>& messages) {
    sounding.reprocessOnly = false;
    sounding.gefPath = path;
    const int result = readGefFile(sounding, messages);
    if (result == kSuccess) {
        resetForNewCurve(sounding);
    } else {
        messages.emplace_back(kReadingError);
    }
    sounding.reprocessOnly = false;
    for (std::string& text : shiftBranches(sounding, 2)) messages.push_back(std::move(text));
    return result;
}

std::string gefOpenedCaption(const Sounding& sounding) {
    return "ORMA - programme for VES interpretation - opened: " + sounding.gefPath;
}

}  // namespace orma
