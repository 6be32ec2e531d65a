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
    std::string text;  ///< cut to what a message shows
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
std::optional<std::string> mapHeader(const Line& line, SheetSeparator separator, Columns& columns) {
    std::optional<std::string> problem;
    forEachSheetCell(line.text, separator, [&](std::size_t c, SheetCell& cell) {
        const std::optional<Role> role = roleOfHeader(cell.text);
        if (!role) return true;
        int& slot = columns.index[*role];
        if (slot >= 0) {
            problem = "The sheet cannot be read: the header in line " + std::to_string(line.number) + " names two " +
                      kRoleName[*role] + " columns (columns " + std::to_string(slot + 1) + " and " +
                      std::to_string(c + 1) + ").";
            return false;
        }
        slot = static_cast<int>(c);
        return true;
    });
    if (problem) return problem;
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

/// A cell that is neither empty nor a number makes the line a header.
bool isHeaderLine(std::string_view line, SheetSeparator separator) {
    bool header = false;
    forEachSheetCell(line, separator, [&](std::size_t, SheetCell& cell) {
        header = !cell.text.empty() && !parseSheetNumber(cell.text, separator != SheetSeparator::Comma || cell.quoted);
        return !header;
    });
    return header;
}

std::string quotedCell(std::string_view text) { return "'" + cutToCharacters(text, 20) + "'"; }

/// The cells left out, of which only the first lines are named: a sheet of
/// millions of bad lines is counted, not kept.
class BadCells {
public:
    void add(BadCell cell) {
        ++total_;
        named_.push_back(std::move(cell));
        if (named_.size() >= 4 * kMaxNamedLines) keepFirstLines();
    }
    bool empty() const { return total_ == 0; }

    std::string describe() {
        keepFirstLines();
        std::string text = "Lines of the sheet that were left out: ";
        for (std::size_t i = 0; i < named_.size(); ++i) {
            const BadCell& b = named_[i];
            text += (i == 0 ? "" : "; ") + std::string("line ") + std::to_string(b.line) + ", column " +
                    std::to_string(b.column) + " (" + kRoleName[b.role] + ")" +
                    (b.text.empty() ? std::string(" ") : " " + quotedCell(b.text) + " ") + b.why;
        }
        if (total_ > named_.size()) text += "; and " + std::to_string(total_ - named_.size()) + " more lines";
        return text + ".";
    }

private:
    void keepFirstLines() {
        std::stable_sort(named_.begin(), named_.end(), [](const BadCell& a, const BadCell& b) { return a.line < b.line; });
        if (named_.size() > kMaxNamedLines) named_.resize(kMaxNamedLines);
    }

    std::vector<BadCell> named_;
    std::size_t total_ = 0;
};

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

/// The lines of a sheet that hold something: neither empty, blank nor a
/// comment. They are walked, never collected, so a sheet of millions of
/// lines takes no more memory than its text.
class ContentLines {
public:
    explicit ContentLines(std::string_view text) : text_(text) {}
    bool next(Line& line) {
        while (start_ < text_.size()) {
            std::size_t end = text_.find('\n', start_);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view content = text_.substr(start_, end - start_);
            if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
            ++number_;
            start_ = end + 1;
            const std::size_t first = content.find_first_not_of(" \t");
            if (first == std::string_view::npos || content[first] == '#') continue;
            line = Line{number_, content};
            return true;
        }
        return false;
    }

private:
    std::string_view text_;
    std::size_t start_ = 0;
    int number_ = 0;
};

/// The cells of a data line in the columns that are read (at most four);
/// the walk stops after the last of them.
struct DataCells {
    std::array<std::optional<SheetCell>, kRoleCount> cell;
    std::size_t cellsSeen = 0;
};

DataCells dataCells(std::string_view line, SheetSeparator separator, const Columns& columns) {
    DataCells out;
    const int last = *std::max_element(columns.index.begin(), columns.index.end());
    out.cellsSeen = forEachSheetCell(line, separator, [&](std::size_t c, SheetCell& cell) {
        for (int role = 0; role < kRoleCount; ++role) {
            if (columns.index[static_cast<std::size_t>(role)] == static_cast<int>(c)) out.cell[static_cast<std::size_t>(role)] = cell;
        }
        return static_cast<int>(c) < last;
    });
    return out;
}

ParsedSheet parseSheet(std::string_view text) {
    ParsedSheet out;
    ContentLines lines(text);
    std::vector<std::string_view> firstLines;
    Line first;
    bool hasContent = lines.next(first);
    if (hasContent) {
        firstLines.push_back(first.text);
        ContentLines look = lines;
        for (Line more; firstLines.size() < 5 && look.next(more);) firstLines.push_back(more.text);
    }
    const SheetSeparator separator = detectSheetSeparator(firstLines);
    const auto decimalCommaIn = [&](const SheetCell& cell) { return separator != SheetSeparator::Comma || cell.quoted; };

    Columns columns;
    bool headerless = false;
    bool firstIsData = false;
    if (hasContent) {
        if (isHeaderLine(first.text, separator)) {
            if (auto problem = mapHeader(first, separator, columns)) {
                out.messages.push_back(*problem);
                out.refused = true;
                return out;
            }
        } else {
            headerless = true;
            firstIsData = true;
            const std::size_t cells = forEachSheetCell(first.text, separator, [](std::size_t c, SheetCell&) { return c < 2; });
            if (cells < 3) {
                out.messages.push_back("The sheet cannot be read: line " + std::to_string(first.number) +
                                       " has fewer than three columns; without a header line the columns are AB/2, "
                                       "MN/2 and apparent resistivity.");
                out.refused = true;
                return out;
            }
            columns.index = {0, 1, 2, 3};
        }
    }

    BadCells bad;
    std::vector<RawReading> readings;
    bool tooMany = false;
    bool anyData = false;
    Line line = first;
    for (bool more = hasContent && (firstIsData || lines.next(line)); more; more = lines.next(line)) {
        anyData = true;
        const DataCells cells = dataCells(line.text, separator, columns);
        RawReading reading;
        reading.line = line.number;
        std::optional<BadCell> fault;
        for (Role role : {kAb2, kMn2, kRho}) {
            const int c = columns.index[role];
            if (c < 0) continue;
            const std::optional<SheetCell>& cell = cells.cell[role];
            if (!cell || cell->text.empty()) {
                if (role == kMn2) continue;  // settled below: an MN/2 column left empty throughout is no MN/2
                fault = BadCell{line.number, c + 1, role, {}, cell ? "is empty" : "is missing"};
                break;
            }
            const std::optional<double> value = parseSheetNumber(cell->text, decimalCommaIn(*cell));
            if (!value) {
                fault = BadCell{line.number, c + 1, role, cutToCharacters(cell->text, 21), "is not a number"};
                break;
            }
            if (role == kAb2) reading.ab2 = *value;
            if (role == kMn2) reading.mn2 = *value;
            if (role == kRho) reading.rho = *value;
        }
        if (fault) {
            bad.add(std::move(*fault));
            continue;
        }
        reading.mn2Column = columns.index[kMn2] + 1;
        if (const std::optional<SheetCell>& cell = cells.cell[kBranch]; cell && columns.index[kBranch] >= 0) {
            reading.branchText = cell->text;
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
            bad.add({r.line, r.mn2Column, kMn2, {}, "is empty"});
            continue;
        }
        int branch = 1;
        if (columns.index[kBranch] >= 0) {
            const int column = columns.index[kBranch] + 1;
            if (!r.hasBranchCell) {
                bad.add({r.line, column, kBranch, {}, "is empty"});
                continue;
            }
            const std::optional<int> n = wholeBranchNumber(r.branchText, true);
            if (!n) {
                bad.add({r.line, column, kBranch, cutToCharacters(r.branchText, 21), "is not a whole branch number"});
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

    if (!bad.empty()) out.messages.push_back(bad.describe());
    if (tooMany) out.messages.emplace_back(kTooManyReadingsMessage);
    if (!anyData) out.messages.emplace_back("The sheet holds no readings.");
    return out;
}

}  // namespace

FileDialogOptions sheetOpenDialogOptions(const Sounding& sounding) {
    return FileDialogOptions{kSheetFilter, kSheetExtension, sounding.gefPath, kSheetOpenTitle};
}

CurveFileOutcome readSheetBytes(Sounding& sounding, std::string_view bytes,
                                std::vector<std::string>& messages) {
    ParsedSheet sheet = parseSheet(sheetTextToUtf8(bytes));
    for (std::string& text : sheet.messages) messages.push_back(std::move(text));
    if (sheet.refused) return CurveFileOutcome::failed();
    if (!commitReadings(sounding, sheet.table, CurveSource::Gef, messages)) return CurveFileOutcome::failed();
    sounding.date.clear();
    return CurveFileOutcome::done();
}

CurveFileOutcome readSheetFile(Sounding& sounding, std::vector<std::string>& messages) {
    try {
        const ReadResult read = readRegularFile(sounding.gefPath);
        if (!read) {
            messages.emplace_back(kSheetCannotOpen);
            if (read.problem != FileProblem::Missing) messages.push_back(read.describe(sounding.gefPath));
            return CurveFileOutcome::cannotOpen();
        }
        return readSheetBytes(sounding, read.bytes, messages);
    } catch (const std::exception& error) {
        messages.emplace_back(kSheetCannotOpen);
        messages.emplace_back(error.what());
        return CurveFileOutcome::cannotOpen();
    }
}

CurveFileOutcome openSheetCurve(Sounding& sounding, const std::string& path,
                                std::vector<std::string>& messages) {
    return openCurveFile(sounding, path, messages, readSheetFile);
}

bool isSheetFileName(std::string_view path) {
    if (path.size() < 4) return false;
    std::string extension(path.substr(path.size() - 4));
    for (char& c : extension) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return extension == ".csv" || extension == ".txt";
}

}  // namespace orma
