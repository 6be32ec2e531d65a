#include "io/RstReader.h"

#include <string_view>

#include "core/BranchShift.h"
#include "core/PointProcessing.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/ReadingsCommit.h"

namespace orma {

namespace {

struct RstHeader {
    std::string operatorName;
    int pointNumber;
    int profileNumber;
    std::string locality;
    std::string date;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

/// A header text is everything after its key letter and the blanks behind it,
/// so names of several words survive a round trip; a key alone gives an empty
/// text, as the writer writes an empty field. A line with another key leaves
/// the field as it was.
void readHeaderText(std::string_view line, char key, std::size_t maxLength, std::string& field) {
    if (line.empty() || line.front() != key) return;
    std::size_t start = 1;
    while (start < line.size() && isBlank(line[start])) ++start;
    field = cutToCharacters(line.substr(start), maxLength);
}

void readHeaderNumber(std::string_view line, std::string_view pattern, int& field) {
    int value = 0;
    if (scanPattern(line, pattern, {&value}).conversions == 1) field = value;
}

int readRecordText(Sounding& sounding, std::string_view text, int record, std::vector<std::string>& messages) {
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
        return kEndOfFile;
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
        if (scanPattern(lines[i], "r%f s%i a%f m%f", {&r, &s, &a, &m}).conversions != 4) break;
        if (a < 1.0f || m < 0.1f) break;
        if (fresh.pointCount == kMaxPoints) {
            // Only 99 readings fit the branch and grid columns of a sounding.
            messages.emplace_back(kTooManyReadingsMessage);
            break;
        }
        const int n = fresh.pointCount++;
        fresh.ab2[n] = a;
        fresh.mn2[n] = m;
        fresh.rhoA[n] = r > 0.0f ? r : (r == 0.0f ? kMinResistivity : -r);
        fresh.sValue[n] = static_cast<float>(s);
        fresh.branch[n] = rstBranchForMn2(m);
    }

    if (commitReadings(sounding, fresh, CurveSource::Rst, messages) != kSuccess) return kFailed;
    sounding.operatorName = std::move(header.operatorName);
    sounding.pointNumber = header.pointNumber;
    sounding.profileNumber = header.profileNumber;
    sounding.locality = std::move(header.locality);
    sounding.date = std::move(header.date);
    return kSuccess;
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

int readRstRecordText(Sounding& sounding, std::string_view text, int record, std::vector<std::string>& messages) {
    const int result = readRecordText(sounding, text, record, messages);
    if (result != kSuccess) return result;
    sounding.rstRecordIndex += 1;
    return kSuccess;
}

int readRstRecord(Sounding& sounding, int record, std::vector<std::string>& messages) {
    if (sounding.reprocessOnly) {
        if (postProcessPoints(sounding, CurveSource::Rst, messages) != kSuccess) return kFailed;
        sounding.rstRecordIndex += 1;
        return kSuccess;
    }
    const std::optional<std::string> text = readCp1250File(sounding.rstPath);
    if (!text) {
        messages.emplace_back(kRstCannotOpen);
        return kCannotOpen;
    }
    return readRstRecordText(sounding, *text, record, messages);
}

int openRstCurve(Sounding& sounding, int record, std::vector<std::string>& messages) {
    sounding.reprocessOnly = false;
    int result = readRstRecord(sounding, record, messages);
    if (result != kSuccess) result = readRstRecord(sounding, 0, messages);
    if (result != kSuccess) {
        messages.emplace_back(kRstRecordNotRead);
    } else {
        resetForNewCurve(sounding);
    }
    sounding.reprocessOnly = false;
    for (std::string& text : shiftBranches(sounding, 2)) messages.push_back(std::move(text));
    return result;
}

int openRstFile(Sounding& sounding, const std::string& path, std::vector<std::string>& messages) {
    sounding.rstRecordIndex = 0;
    sounding.rstPath = path;
    return openRstCurve(sounding, 0, messages);
}

int openFollowingRstCurve(Sounding& sounding, std::vector<std::string>& messages) {
    return openRstCurve(sounding, sounding.rstRecordIndex, messages);
}

std::optional<int> openPrecedingRstCurve(Sounding& sounding, std::vector<std::string>& messages) {
    if (sounding.rstRecordIndex < 2) return std::nullopt;
    sounding.rstRecordIndex -= 2;
    return openRstCurve(sounding, sounding.rstRecordIndex, messages);
}

FileDialogOptions rstOpenDialogOptions(const Sounding& sounding) {
    return FileDialogOptions{kRstOpenFilter, kRstExtension, sounding.rstPath};
}

std::string rstOpenedCaption(const Sounding& sounding) {
    return "ORMA-opened: " + sounding.rstPath + " point: " + std::to_string(sounding.pointNumber) +
           " pf: " + std::to_string(sounding.profileNumber) + " loc: " + sounding.locality +
           " date: " + sounding.date;
}

}  // namespace orma
