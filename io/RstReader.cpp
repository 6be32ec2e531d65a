#include "io/RstReader.h"

#include <algorithm>
#include <exception>
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

struct RstHeader {
    std::string operatorName;
    int pointNumber;
    int profileNumber;
    std::string locality;
    std::string date;
};

/// A header text is everything after its key letter and the blanks behind it,
/// so names of several words survive a round trip; a key alone gives an empty
/// text, as the writer writes an empty field. A line with another key leaves
/// the field as it was.
void readHeaderText(std::string_view line, char key, std::size_t maxLength, std::string& field) {
    if (line.empty() || line.front() != key) return;
    // A stray control character (a lone CR) would break the caption and the written record.
    const std::string clean = withoutControlCharacters(line);
    std::size_t start = 1;
    while (start < clean.size() && isLineBlank(clean[start])) ++start;
    field = cutToCharacters(std::string_view(clean).substr(start), maxLength);
}

void readHeaderNumber(std::string_view line, std::string_view pattern, int& field) {
    int value = 0;
    if (scanPattern(line, pattern, {&value}).conversions == 1) field = value;
}

bool isBlankLine(std::string_view line) {
    for (char c : line) {
        if (!isLineBlank(c)) return false;
    }
    return true;
}

/// Why data line `i` ended the readings: empty at the clean end of a record
/// (the next record's "n" line, or only blank lines up to it or to the end
/// of the file), otherwise what is wrong with the line.
std::string whyLineDoesNotScan(const std::vector<std::string>& lines, std::size_t i, int scanned) {
    const auto nextRecordOrEnd = [&lines](std::size_t from) {
        for (std::size_t j = from; j < lines.size(); ++j) {
            if (!lines[j].empty() && lines[j].front() == 'n') return true;
            if (!isBlankLine(lines[j])) return false;
        }
        return true;
    };
    if (nextRecordOrEnd(i)) return {};
    if (lines[i].empty() || lines[i].front() != 'r') return "it is not a reading (\"r.. s.. a.. m..\")";
    static constexpr const char* kMissing[] = {"it has no resistivity r",
                                              "it has no s value (a whole number within 32 bits)",
                                              "it has no AB/2 a", "it has no MN/2 m"};
    return kMissing[std::clamp(scanned, 0, 3)];
}

std::string stoppedMessage(int record, std::size_t lineIndex, int readingsBefore, const std::string& why) {
    const std::string before = readingsBefore == 0   ? "no reading before it was read."
                               : readingsBefore == 1 ? "the 1 reading before it was read."
                                                     : "the " + std::to_string(readingsBefore) +
                                                           " readings before it were read.";
    return "RST record " + std::to_string(record + 1) + ": the readings stop at line " +
           std::to_string(lineIndex + 1) + " (reading " + std::to_string(readingsBefore + 1) + "), " + why +
           "; " + before;
}

CurveFileOutcome readRecordText(Sounding& sounding, std::string_view text, int record,
                                std::vector<std::string>& messages) {
    const std::vector<std::string> lines = splitLines(text);
    std::size_t next = 0;
    int recordsSeen = 0;
    std::size_t recordLine = 0;
    for (; next < lines.size(); ++next) {
        if (!lines[next].empty() && lines[next].front() == 'n' && recordsSeen++ == record) {
            recordLine = next++;
            break;
        }
    }
    if (recordsSeen <= record || record < 0) {
        messages.emplace_back(kRstEndOfFile);
        sounding.rstRecordIndex = 0;
        return CurveFileOutcome::endOfFile();
    }

    RstHeader header{sounding.operatorName, sounding.pointNumber, sounding.profileNumber, sounding.locality,
                     sounding.date};
    readHeaderText(lines[recordLine], 'n', kMaxNameLength, header.operatorName);
    const auto headerLine = [&](int offset) -> std::string_view {
        const std::size_t index = recordLine + static_cast<std::size_t>(offset);
        return index < lines.size() ? std::string_view(lines[index]) : std::string_view();
    };
    readHeaderNumber(headerLine(1), "b %i", header.pointNumber);
    readHeaderNumber(headerLine(2), "p %i", header.profileNumber);
    readHeaderText(headerLine(3), 'l', kMaxNameLength, header.locality);
    readHeaderText(headerLine(4), 'd', kMaxDateLength, header.date);

    PointTable fresh;
    for (std::size_t i = recordLine + 5; i < lines.size(); ++i) {
        float r = 0.0f;
        int s = 0;
        float a = 0.0f;
        float m = 0.0f;
        const int scanned = scanPattern(lines[i], "r%f s%i a%f m%f", {&r, &s, &a, &m}).conversions;
        std::optional<std::string> stop;
        if (scanned != 4) {
            stop = whyLineDoesNotScan(lines, i, scanned);
        } else if (a < 1.0f) {
            stop = "its AB/2 of " + formatFixed(a) + " m is below 1 m";
        } else if (m < 0.1f) {
            stop = "its MN/2 of " + formatFixed(m) + " m is below 0.1 m";
        }
        if (stop) {
            if (!stop->empty()) messages.push_back(stoppedMessage(record, i, fresh.pointCount, *stop));
            break;
        }
        if (fresh.pointCount == kMaxPoints) {
            // Only 99 readings fit the branch and grid columns of a sounding.
            messages.emplace_back(kTooManyReadingsMessage);
            break;
        }
        const int n = fresh.pointCount++;
        fresh.ab2[n] = a;
        fresh.mn2[n] = m;
        // A resistivity of zero is left for post-processing to name and leave
        // out, as the GEF reader's are; a negative one is the instrument's sign.
        fresh.rhoA[n] = r < 0.0f ? -r : r;
        fresh.sValue[n] = static_cast<float>(s);
        fresh.branch[n] = rstBranchForMn2(m);
    }

    if (!commitReadings(sounding, fresh, CurveSource::Rst, messages)) return CurveFileOutcome::failed();
    sounding.operatorName = std::move(header.operatorName);
    sounding.pointNumber = header.pointNumber;
    sounding.profileNumber = header.profileNumber;
    sounding.locality = std::move(header.locality);
    sounding.date = std::move(header.date);
    return CurveFileOutcome::done();
}

}  // namespace

int rstBranchForMn2(float mn2) {
    if (mn2 < 1.0f) return 1;
    if (mn2 < 5.0f) return 2;
    if (mn2 < 20.0f) return 3;
    if (mn2 < 100.0f) return 4;
    if (mn2 < 300.0f) return 5;
    return 6;
}

CurveFileOutcome readRstRecordText(Sounding& sounding, std::string_view text, int record,
                                   std::vector<std::string>& messages) {
    const CurveFileOutcome result = readRecordText(sounding, text, record, messages);
    if (!result) return result;
    sounding.rstRecordIndex += 1;
    return CurveFileOutcome::done();
}

CurveFileOutcome readRstRecord(Sounding& sounding, int record, std::vector<std::string>& messages) {
    try {
        const ReadResult read = readRegularFile(sounding.rstPath);
        if (!read) {
            messages.emplace_back(kRstCannotOpen);
            // A missing file needs no more words; a directory, a device or a
            // huge file is named with the reason it was refused.
            if (read.problem != FileProblem::Missing) messages.push_back(read.describe(sounding.rstPath));
            return CurveFileOutcome::cannotOpen();
        }
        const std::string text = cp1250ToUtf8(read.bytes);
        return readRstRecordText(sounding, text, record, messages);
    } catch (const std::exception& error) {
        // Nothing thrown below may end the program; the file is as unreadable as a missing one.
        messages.emplace_back(kRstCannotOpen);
        messages.emplace_back(error.what());
        return CurveFileOutcome::cannotOpen();
    }
}

CurveFileOutcome openRstCurve(Sounding& sounding, int record, std::vector<std::string>& messages) {
    CurveFileOutcome result = readRstRecord(sounding, record, messages);
    if (!result) result = readRstRecord(sounding, 0, messages);
    if (!result) {
        messages.emplace_back(kRstRecordNotRead);
    } else {
        resetForNewCurve(sounding);
    }
    for (std::string& text : shiftBranches(sounding, 2)) messages.push_back(std::move(text));
    return result;
}

CurveFileOutcome openRstFile(Sounding& sounding, const std::string& path,
                             std::vector<std::string>& messages) {
    sounding.rstRecordIndex = 0;
    sounding.rstPath = path;
    return openRstCurve(sounding, 0, messages);
}

CurveFileOutcome openFollowingRstCurve(Sounding& sounding, std::vector<std::string>& messages) {
    return openRstCurve(sounding, sounding.rstRecordIndex, messages);
}

std::optional<CurveFileOutcome> openPrecedingRstCurve(Sounding& sounding,
                                                      std::vector<std::string>& messages) {
    if (sounding.rstRecordIndex < 2) return std::nullopt;
    sounding.rstRecordIndex -= 2;
    return openRstCurve(sounding, sounding.rstRecordIndex, messages);
}

FileDialogOptions rstOpenDialogOptions(const Sounding& sounding) {
    return FileDialogOptions{kRstOpenFilter, kRstExtension, sounding.rstPath, kRstOpenTitle};
}

std::string rstOpenedCaption(const Sounding& sounding) {
    return "ORMA-opened: " + sounding.rstPath + " point: " + std::to_string(sounding.pointNumber) +
           " pf: " + std::to_string(sounding.profileNumber) + " loc: " + sounding.locality +
           " date: " + sounding.date;
}

}  // namespace orma
