#include "io/WindowSettingsFile.h"

#include "io/Cp1250Text.h"
#include "io/SafeFile.h"

#include <array>
#include <limits>

namespace orma {
namespace {

constexpr int kValueLines = 19;  // lines 2..20

/// Text of each value line before its number, in file order (UTF-8 here,
/// Windows-1250 in the file). Line 2 has no blank: the value is glued on.
constexpr std::array<const char*, kValueLines> kKeys{
    "zprůměrovat_převazy_(true=1_0=false)_",
    "implicitní_mód_vstupu_dat(0-RST_nebo_GEFatd,1-ruční) ",
    "bsplajnovat_všechny_zobrazované_křivky_VES_(bspline_krivkyVES=0_implicitně ",
    "stupeň_bsplajnu_(bsplinedegree=3_implicitně) ",
    "rozlišení-bsplajnu_(bsplineresolution=128_implicitně) ",
    "sila_cary_namerene_VES_(1_implicitně) ",
    "sila_cary_snesene_VES_(2_implicitně) ",
    "sila_cary_vypoctene_VES_(2_implicitně) ",
    "sila_cary_model_aktivni_(4_implicitně) ",
    "sila_cary_model_(2_implicitně) ",
    "barva_cary_snesene_VES_(Black_implicitně) ",
    "barva_cary_vypoctene_VES_(clAqua_implicitně) ",
    "barva_cary_model_fix_(clYellow_implicitně) ",
    "barva_cary_model_(clLime_implicitně) ",
    "barva_cary_vetve[1]_(clNavy_implicitně) ",
    "barva_cary_vetve[2]_(clGreen_implicitně) ",
    "barva_cary_vetve[3]_(clRed_implicitně) ",
    "barva_cary_vetve[4]_(clPurple_implicitně) ",
    "barva_cary_vetve[5]_(clYellow_implicitně) ",
};

constexpr const char* kTitleLine = "soubor nastavení a inicializačních parametrů programu ORMA";

constexpr long long kMaxColour = 0xFFFFFF;
/// The curve drawer holds at most 400 output points.
constexpr long long kMaxResolution = 400;

struct Range {
    long long lo;
    long long hi;
};

/// Values accepted from the file, line by line. A hand-edited value outside
/// these would crash or blank the plot, so it is treated as unparseable.
constexpr std::array<Range, kValueLines> kRanges{{
    {0, 1},                                   // averaging
    {0, 4},                                   // input mode
    {std::numeric_limits<int>::min(), std::numeric_limits<int>::max()},  // smoothing on (any, 0 = off)
    {1, 99},                                  // smoothing order
    {2, kMaxResolution},                      // smoothing resolution
    {1, 100}, {1, 100}, {1, 100}, {1, 100}, {1, 100},  // line widths
    {0, kMaxColour}, {0, kMaxColour}, {0, kMaxColour}, {0, kMaxColour},
    {0, kMaxColour}, {0, kMaxColour}, {0, kMaxColour}, {0, kMaxColour}, {0, kMaxColour},
}};

std::array<long long, kValueLines> toValues(const DisplaySettings& s) {
    return {s.averageOverlaps ? 1 : 0, s.inputMode, s.smoothingOn ? 1 : 0, s.smoothingOrder,
            s.smoothingResolution, s.measuredLineWidth, s.compositeLineWidth, s.computedLineWidth,
            s.activeModelLineWidth, s.modelLineWidth, s.compositeColour, s.computedColour,
            s.fixedValueColour, s.modelColour, s.branchColour[0], s.branchColour[1],
            s.branchColour[2], s.branchColour[3], s.branchColour[4]};
}

void storeValue(DisplaySettings& s, int line, long long v) {
    const int i = static_cast<int>(v);
    const auto c = static_cast<std::uint32_t>(v);
    switch (line) {
        case 0: s.averageOverlaps = v != 0; break;
        case 1: s.inputMode = i; break;
        case 2: s.smoothingOn = v != 0; break;
        case 3: s.smoothingOrder = i; break;
        case 4: s.smoothingResolution = i; break;
        case 5: s.measuredLineWidth = i; break;
        case 6: s.compositeLineWidth = i; break;
        case 7: s.computedLineWidth = i; break;
        case 8: s.activeModelLineWidth = i; break;
        case 9: s.modelLineWidth = i; break;
        case 10: s.compositeColour = c; break;
        case 11: s.computedColour = c; break;
        case 12: s.fixedValueColour = c; break;
        case 13: s.modelColour = c; break;
        default: s.branchColour[static_cast<std::size_t>(line - 14)] = c; break;
    }
}

/// "%s %i": a token without blanks, then a decimal integer (leading sign
/// allowed, trailing text ignored). The key text itself is not checked.
bool parseTokenAndInteger(const std::string& line, long long& value) {
    std::size_t p = 0;
    const auto isBlank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
    while (p < line.size() && isBlank(line[p])) ++p;
    if (p == line.size()) return false;
    while (p < line.size() && !isBlank(line[p])) ++p;
    while (p < line.size() && isBlank(line[p])) ++p;
    bool negative = false;
    if (p < line.size() && (line[p] == '+' || line[p] == '-')) {
        negative = line[p] == '-';
        ++p;
    }
    if (p == line.size() || line[p] < '0' || line[p] > '9') return false;
    long long v = 0;
    while (p < line.size() && line[p] >= '0' && line[p] <= '9') {
        v = v * 10 + (line[p] - '0');
        if (v > std::numeric_limits<int>::max() + 1LL) return false;
        ++p;
    }
    value = negative ? -v : v;
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

}  // namespace

std::filesystem::path windowSettingsPath(const std::filesystem::path& directory) {
    return directory / kWindowSettingsFileName;
}

void parseWindowSettings(std::string_view bytes, DisplaySettings& settings) {
    const std::vector<std::string> lines = splitLines(bytes);
    // Line 1 is the title; lines 2..20 hold the values.
    for (int i = 0; i < kValueLines && i + 1 < static_cast<int>(lines.size()); ++i) {
        long long v = 0;
        if (parseTokenAndInteger(lines[static_cast<std::size_t>(i) + 1], v) &&
            v >= kRanges[static_cast<std::size_t>(i)].lo && v <= kRanges[static_cast<std::size_t>(i)].hi) {
            storeValue(settings, i, v);
        }
    }
}

std::vector<std::string> readWindowSettings(const std::filesystem::path& path, DisplaySettings& settings) {
    const ReadResult read = readRegularFile(path);
    if (!read) {
        settings = DisplaySettings{};
        // The fixed text, then which file was looked for.
        if (read.problem == FileProblem::Missing) return {kSettingsMissingMessage + ("\n" + path.string())};
        return {read.describe(path.string()) + kSettingsUnreadableTail};
    }
    parseWindowSettings(read.bytes, settings);
    return {};
}

std::string formatWindowSettings(const DisplaySettings& settings) {
    const auto values = toValues(settings);
    std::string text = kTitleLine;
    text += "\r\n";
    for (int i = 0; i < kValueLines; ++i) {
        text += kKeys[static_cast<std::size_t>(i)];
        text += std::to_string(values[static_cast<std::size_t>(i)]);
        text += "\r\n";
    }
    return utf8ToCp1250(text);
}

Outcome writeWindowSettings(const std::filesystem::path& path, const DisplaySettings& settings) {
    // A file that could not be read (permissions, a pipe, a directory) is
    // never replaced: it may hold the user's settings.
    const FileResult written = writeWholeFile(path, formatWindowSettings(settings), ExistingFile::Replace);
    if (!written) return Outcome::failure(kSettingsNotWritableMessage, written.describe(path.string()));
    return Outcome::success();
}

}  // namespace orma
