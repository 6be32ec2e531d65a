#include "io/SheetReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <optional>

#include "core/BranchShift.h"
#include "core/PointProcessing.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"
#include "io/ReadingsCommit.h"
#include "io/SafeFile.h"
#include "io/SheetText.h"

namespace orma {

namespace {

enum Role { kAb2, kMn2, kRho, kBranch, kRoleCount };

constexpr std::array<const char*, kRoleCount> kRoleName{"AB/2", "MN/2", "apparent resistivity", "branch"};

/// Header names, compared after normalisedHeader(): lower case, units in
/// brackets dropped, blanks and the characters _ - . / \ : dropped, ρ as "rho".
/// AO, MO, Rmer and iMN are the column names of the profile database file.
const std::array<std::vector<std::string_view>, kRoleCount> kSheetColumnNames{{
    {"ab2", "ab2m", "ao", "oa", "halfab", "abhalf"},
    {"mn2", "mn2m", "mo", "om", "halfmn", "mnhalf"},
    {"rhoa", "rho", "ra", "rhoapp", "rhoapparent", "apparentrho", "appres", "apparentresistivity", "resistivity",
     "res", "rhoameasured", "measuredrhoa", "rhomeasured", "rhoaohmm", "rhoohmm", "rmer"},
    {"branch", "br", "branchno", "branchnumber", "segment", "vetev", "větev", "imn"},
}};

constexpr std::size_t kMaxNamedLines = 20;
constexpr int kMaxHeaderlessBranch = 5;

struct Line {
    int number = 0;  ///< 1-based line of the file
    std::string_view text;
};

std::string normalisedHeader(std::string_view cell) {
    std::string out;
    int depth = 0;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c == '(' || c == '[' || c == '{') ++depth;
        if (depth > 0) {
            if (c == ')' || c == ']' || c == '}') --depth;
            continue;
        }
        if (cell.substr(i).starts_with("\xCF\x81")) {  // ρ
            out += "rho";
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '_' || c == '-' || c == '.' || c == '/' || c == '\\' || c == ':') continue;
        out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return out;
}

std::optional<Role> roleOfHeader(std::string_view cell) {
    const std::string name = normalisedHeader(cell);
    for (int role = 0; role < kRoleCount; ++role) {
        const auto& names = kSheetColumnNames[static_cast<std::size_t>(role)];
        if (std::find(names.begin(), names.end(), name) != names.end()) return static_cast<Role>(role);
    }
    return std::nullopt;
}

struct Columns {
    std::array<int, kRoleCount> index{-1, -1, -1, -1};  ///< 0-based cell index per role, -1 = absent
};

struct BadCell {
    int line = 0;
    int column = 0;  ///< 1-based
    Role role = kAb2;
    std::string text;
    std::string why;
};

struct RawReading {
    int line = 0;
    double ab2 = 0.0;
    std::optional<double> mn2;  ///< empty cell
    double rho = 0.0;
    std::string branchText;     ///< checked once the branch column is settled
    bool hasBranchCell = false;
    int mn2Column = 0;
};

/// The header's columns, or the reason the sheet cannot be read.
std::optional<std::string> mapHeader(const Line& line, const std::vector<SheetCell>& cells, Columns& columns) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::optional<Role> role = roleOfHeader(cells[c].text);
        if (!role) continue;
        int& slot = columns.index[*role];
        if (slot >= 0) {
            return "The sheet cannot be read: the header in line " + std::to_string(line.number) + " names two " +
                   kRoleName[*role] + " columns (columns " + std::to_string(slot + 1) + " and " +
                   std::to_string(c + 1) + ").";
        }
        slot = static_cast<int>(c);
    }
    for (Role role : {kAb2, kRho}) {
        if (columns.index[role] >= 0) continue;
        std::string accepted;
        for (std::string_view name : kSheetColumnNames[role]) accepted += (accepted.empty() ? "" : ", ") + std::string(name);
        return "The sheet cannot be read: the header in line " + std::to_string(line.number) + " names no " +
               kRoleName[role] + " column (names taken, ignoring case, blanks, _ - . / and units in brackets: " +
               accepted + ").";
    }
    return std::nullopt;
}

bool isHeaderLine(const std::vector<SheetCell>& cells, SheetSeparator separator) {
    return std::any_of(cells.begin(), cells.end(), [&](const SheetCell& cell) {
        return !cell.text.empty() && !parseSheetNumber(cell.text, separator != SheetSeparator::Comma || cell.quoted);
    });
}

std::string quotedCell(std::string_view text) { return "'" + cutToCharacters(text, 20) + "'"; }

std::string describeBadCells(const std::vector<BadCell>& bad) {
    std::string text = "Lines of the sheet that were left out: ";
    for (std::size_t i = 0; i < bad.size() && i < kMaxNamedLines; ++i) {
        const BadCell& b = bad[i];
        text += (i == 0 ? "" : "; ") + std::string("line ") + std::to_string(b.line) + ", column " +
                std::to_string(b.column) + " (" + kRoleName[b.role] + ")" +
                (b.text.empty() ? std::string(" ") : " " + quotedCell(b.text) + " ") + b.why;
    }
    if (bad.size() > kMaxNamedLines) text += "; and " + std::to_string(bad.size() - kMaxNamedLines) + " more lines";
    return text + ".";
}

/// A whole number within the branch numbers a reading can carry.
std::optional<int> wholeBranchNumber(const std::string& text, bool decimalComma) {
    const std::optional<double> value = parseSheetNumber(text, decimalComma);
    if (!value || *value != std::floor(*value) || std::fabs(*value) > 1e6) return std::nullopt;
    return static_cast<int>(*value);
}

/// Branch numbers by MN/2: one per distinct value, ascending.
void branchesFromMn2(PointTable& table) {
    std::vector<float> distinct(table.mn2.begin(), table.mn2.begin() + table.pointCount);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (int s = 0; s < table.pointCount; ++s) {
        const auto at = std::lower_bound(distinct.begin(), distinct.end(), table.mn2[s]);
        table.branch[s] = static_cast<int>(at - distinct.begin()) + 1;
    }
}

struct ParsedSheet {
    PointTable table;
    std::vector<std::string> messages;
    bool refused = false;  ///< the layout itself is unusable; messages say why
};

ParsedSheet parseSheet(std::string_view text) {
    ParsedSheet out;
    std::vector<Line> content;
    {
        int number = 0;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            ++number;
            start = end + 1;
            const std::size_t first = line.find_first_not_of(" \t");
            if (first == std::string_view::npos || line[first] == '#') continue;
            content.push_back({number, line});
        }
    }
    std::vector<std::string_view> contentTexts;
    for (const Line& line : content) contentTexts.push_back(line.text);
    const SheetSeparator separator = detectSheetSeparator(contentTexts);
    const auto decimalCommaIn = [&](const SheetCell& cell) { return separator != SheetSeparator::Comma || cell.quoted; };

    Columns columns;
    std::size_t firstData = 0;
    bool headerless = false;
    if (!content.empty()) {
        const std::vector<SheetCell> cells = splitSheetLine(content.front().text, separator);
        if (isHeaderLine(cells, separator)) {
            if (auto problem = mapHeader(content.front(), cells, columns)) {
                out.messages.push_back(*problem);
                out.refused = true;
                return out;
            }
            firstData = 1;
        } else {
            headerless = true;
            if (cells.size() < 3) {
                out.messages.push_back("The sheet cannot be read: line " + std::to_string(content.front().number) +
                                       " has fewer than three columns; without a header line the columns are AB/2, "
                                       "MN/2 and apparent resistivity.");
                out.refused = true;
                return out;
            }
            columns.index = {0, 1, 2, 3};
        }
    }

    std::vector<BadCell> bad;
    std::vector<RawReading> readings;
    bool tooMany = false;
    for (std::size_t i = firstData; i < content.size(); ++i) {
        const Line& line = content[i];
        const std::vector<SheetCell> cells = splitSheetLine(line.text, separator);
        if (std::all_of(cells.begin(), cells.end(), [](const SheetCell& c) { return c.text.empty(); })) continue;
        RawReading reading;
        reading.line = line.number;
        std::optional<BadCell> fault;
        for (Role role : {kAb2, kMn2, kRho}) {
            const int c = columns.index[role];
            if (c < 0) continue;
            const bool present = c < static_cast<int>(cells.size()) && !cells[static_cast<std::size_t>(c)].text.empty();
            if (!present) {
                if (role == kMn2) continue;  // settled below: an MN/2 column left empty throughout is no MN/2
                fault = BadCell{line.number, c + 1, role, {}, c < static_cast<int>(cells.size()) ? "is empty" : "is missing"};
                break;
            }
            const SheetCell& cell = cells[static_cast<std::size_t>(c)];
            const std::optional<double> value = parseSheetNumber(cell.text, decimalCommaIn(cell));
            if (!value) {
                fault = BadCell{line.number, c + 1, role, cell.text, "is not a number"};
                break;
            }
            if (role == kAb2) reading.ab2 = *value;
            if (role == kMn2) reading.mn2 = *value;
            if (role == kRho) reading.rho = *value;
        }
        if (fault) {
            bad.push_back(*fault);
            continue;
        }
        reading.mn2Column = columns.index[kMn2] + 1;
        const int b = columns.index[kBranch];
        if (b >= 0 && b < static_cast<int>(cells.size())) {
            reading.branchText = cells[static_cast<std::size_t>(b)].text;
            reading.hasBranchCell = !reading.branchText.empty();
        }
        if (readings.size() == static_cast<std::size_t>(kMaxPoints)) {
            tooMany = true;
            break;
        }
        readings.push_back(std::move(reading));
    }

    // Without a header a fourth column is a branch number only when every
    // reading has one from 1 to 5; anything else there is some other quantity.
    if (headerless) {
        const bool branchColumn =
            !readings.empty() && std::all_of(readings.begin(), readings.end(), [](const RawReading& r) {
                const std::optional<int> n = r.hasBranchCell ? wholeBranchNumber(r.branchText, true) : std::nullopt;
                return n && *n >= 1 && *n <= kMaxHeaderlessBranch;
            });
        if (!branchColumn) columns.index[kBranch] = -1;
    }
    const bool mn2Given = columns.index[kMn2] >= 0 &&
                          std::any_of(readings.begin(), readings.end(), [](const RawReading& r) { return r.mn2.has_value(); });

    PointTable& table = out.table;
    for (const RawReading& r : readings) {
        if (mn2Given && !r.mn2) {
            bad.push_back({r.line, r.mn2Column, kMn2, {}, "is empty"});
            continue;
        }
        int branch = 1;
        if (columns.index[kBranch] >= 0) {
            const int column = columns.index[kBranch] + 1;
            if (!r.hasBranchCell) {
                bad.push_back({r.line, column, kBranch, {}, "is empty"});
                continue;
            }
            const std::optional<int> n = wholeBranchNumber(r.branchText, true);
            if (!n) {
                bad.push_back({r.line, column, kBranch, r.branchText, "is not a whole branch number"});
                continue;
            }
            branch = *n;
        }
        const int s = table.pointCount++;
        table.ab2[s] = static_cast<float>(r.ab2);
        table.mn2[s] = mn2Given ? static_cast<float>(*r.mn2) : 0.0f;
        table.rhoA[s] = static_cast<float>(r.rho);
        table.sValue[s] = 0.0f;
        table.branch[s] = branch;
    }
    if (mn2Given && columns.index[kBranch] < 0) branchesFromMn2(table);

    std::sort(bad.begin(), bad.end(), [](const BadCell& a, const BadCell& b) { return a.line < b.line; });
    if (!bad.empty()) out.messages.push_back(describeBadCells(bad));
    if (tooMany) out.messages.emplace_back(kTooManyReadingsMessage);
    if (content.size() <= firstData) out.messages.emplace_back("The sheet holds no readings.");
    return out;
}

}  // namespace

FileDialogOptions sheetOpenDialogOptions(const Sounding& sounding) {
    return FileDialogOptions{kSheetFilter, kSheetExtension, sounding.gefPath};
}

int readSheetBytes(Sounding& sounding, std::string_view bytes, std::vector<std::string>& messages) {
    ParsedSheet sheet = parseSheet(sheetTextToUtf8(bytes));
    for (std::string& text : sheet.messages) messages.push_back(std::move(text));
    if (sheet.refused) return kFailed;
    if (commitReadings(sounding, sheet.table, CurveSource::Gef, messages) != kSuccess) return kFailed;
    sounding.date.clear();
    return kSuccess;
}

int readSheetFile(Sounding& sounding, std::vector<std::string>& messages) {
    try {
        if (sounding.reprocessOnly) {
            return postProcessPoints(sounding, CurveSource::Gef, messages) == kSuccess ? kSuccess : kFailed;
        }
        const ReadResult read = readRegularFile(sounding.gefPath);
        if (!read) {
            messages.emplace_back(kSheetCannotOpen);
            if (read.problem != FileProblem::Missing) messages.push_back(read.describe(sounding.gefPath));
            return kCannotOpen;
        }
        return readSheetBytes(sounding, read.bytes, messages);
    } catch (const std::exception& error) {
        messages.emplace_back(kSheetCannotOpen);
        messages.emplace_back(error.what());
        return kCannotOpen;
    }
}

int openSheetCurve(Sounding& sounding, const std::string& path, std::vector<std::string>& messages) {
    return openCurveFile(sounding, path, messages, readSheetFile);
}

bool isSheetFileName(std::string_view path) {
    if (path.size() < 4) return false;
    std::string extension(path.substr(path.size() - 4));
    for (char& c : extension) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return extension == ".csv" || extension == ".txt";
}

}  // namespace orma
