#include "io/GefReader.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string_view>

#include "core/BranchShift.h"
#include "core/PointProcessing.h"
#include "io/CharClasses.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/ReadingsCommit.h"
#include "io/SafeFile.h"

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

/// Why the stream of readings ended before the end of the text, or nullopt at
/// a clean end. `rest` is the text from the reading that did not scan.
std::optional<std::string> whyReadingStopped(std::string_view text, std::string_view rest, const ScanResult& scanned,
                                             int readingsBefore) {
    std::size_t at = scanned.consumed;
    while (at < rest.size() && isScanfSpace(rest[at])) ++at;
    const std::string reading = "reading " + std::to_string(readingsBefore + 1);
    const std::string before = readingsBefore == 0   ? "; no reading before it was read."
                               : readingsBefore == 1 ? "; the 1 reading before it was read."
                                                     : "; the " + std::to_string(readingsBefore) +
                                                           " readings before it were read.";
    if (at >= rest.size()) {
        if (scanned.conversions == 0) return std::nullopt;
        return "The GEF file ends inside " + reading + " (" + std::to_string(scanned.conversions) +
               " of its 13 numbers), which was left out" + before;
    }
    std::size_t end = at;
    while (end < rest.size() && !isScanfSpace(rest[end])) ++end;
    const std::size_t offset = static_cast<std::size_t>(rest.data() - text.data()) + at;
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    const int column = scanned.conversions + 1;
    const std::string what = column == 12 ? "is not a branch number (a whole number within 32 bits)"
                                          : "is not a number";
    return "The GEF file cannot be read from line " + std::to_string(line) + " on: number " +
           std::to_string(column) + " of " + reading + ", '" + cutToCharacters(rest.substr(at, end - at), 20) +
           "', " + what + before;
}

}  // namespace

CurveFileOutcome readGefText(Sounding& sounding, std::string_view text, std::vector<std::string>& messages) {
    std::size_t pos = 0;
    std::string date = sounding.date;
    for (int line = 1; line <= kHeaderLines; ++line) {
        const std::string_view content = takeLine(text, pos);
        if (line == 2) {
            std::string word;
            std::string unusedSecondWord;
            if (scanPattern(withoutControlCharacters(content), "%s %s", {&word, &unusedSecondWord}).conversions >= 1) {
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
        if (scanned.conversions < 13) {
            if (auto why = whyReadingStopped(text, rest, scanned, fresh.pointCount)) messages.push_back(*why);
            break;
        }
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

    if (!commitReadings(sounding, fresh, CurveSource::Gef, messages)) return CurveFileOutcome::failed();
    sounding.date = date;
    return CurveFileOutcome::done();
}

FileDialogOptions gefOpenDialogOptions(const Sounding& sounding) {
    return FileDialogOptions{kGefFilter, kGefExtension, sounding.gefPath, kGefOpenTitle};
}

CurveFileOutcome readGefFile(Sounding& sounding, std::vector<std::string>& messages) {
    try {
        const ReadResult read = readRegularFile(sounding.gefPath);
        if (!read) {
            messages.emplace_back(kGefCannotOpen);
            // A missing file needs no more words; a directory, a device or a
            // huge file is named with the reason it was refused.
            if (read.problem != FileProblem::Missing) messages.push_back(read.describe(sounding.gefPath));
            return CurveFileOutcome::cannotOpen();
        }
        const std::string text = cp1250ToUtf8(read.bytes);
        return readGefText(sounding, text, messages);
    } catch (const std::exception& error) {
        // Nothing thrown below may end the program; the file is as unreadable as a missing one.
        messages.emplace_back(kGefCannotOpen);
        messages.emplace_back(error.what());
        return CurveFileOutcome::cannotOpen();
    }
}

CurveFileOutcome openGefCurve(Sounding& sounding, const std::string& path,
                              std::vector<std::string>& messages) {
    return openCurveFile(sounding, path, messages, readGefFile);
}

CurveFileOutcome openCurveFile(Sounding& sounding, const std::string& path,
                               std::vector<std::string>& messages, CurveFileReader read) {
    sounding.gefPath = path;
    const CurveFileOutcome result = read(sounding, messages);
    if (result) {
        resetForNewCurve(sounding);
    } else {
        messages.emplace_back(kReadingError);
    }
    for (std::string& text : shiftBranches(sounding, 2)) messages.push_back(std::move(text));
    return result;
}

std::string gefOpenedCaption(const Sounding& sounding) {
    return "ORMA - programme for VES interpretation - opened: " + sounding.gefPath;
}

}  // namespace orma
