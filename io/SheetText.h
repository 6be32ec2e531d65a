#pragma once
// The text layer of field sheets (CSV/TXT exported from spreadsheets or typed
// by hand): the character encoding, the cell separator and numbers written
// with a decimal point or a decimal comma. The sheet reader (SheetReader.h)
// gives the cells their meaning.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orma {

/// The bytes of a sheet as UTF-8. A byte-order mark chooses UTF-8 or UTF-16
/// (little or big endian, as "Unicode text" exports write it); without one,
/// text that is valid UTF-8 is taken as UTF-8 and anything else as
/// Windows-1250. Line ends of a file that uses lone CRs become LFs.
std::string sheetTextToUtf8(std::string_view bytes);

/// What separates the cells of a line. Blank means any run of blanks and tabs.
enum class SheetSeparator : char { Comma = ',', Semicolon = ';', Tab = '\t', Blank = ' ' };

/// The separator of a sheet, judged from its first lines that are neither
/// empty nor comments: a semicolon or a tab in the first such line decides at
/// once; a comma separates cells unless the numbers are written with decimal
/// commas and separated by blanks ("5 1,5 1400,5"), which the first lines
/// that hold only numbers tell; otherwise blanks separate.
SheetSeparator detectSheetSeparator(const std::vector<std::string_view>& contentLines);

struct SheetCell {
    std::string text;     ///< without the surrounding blanks and quotes
    bool quoted = false;  ///< the cell was written in double quotes
};

/// Hands the cells of one line, in order, to `visit` with their 0-based
/// column, until it returns false; returns how many cells it handed over.
/// With a comma, semicolon or tab a cell may be quoted ("a;b" or "1,5"), a
/// doubled quote inside standing for one; an empty cell between two
/// separators is a cell too. No cell is kept, so a line of a million
/// separators costs no memory.
std::size_t forEachSheetCell(std::string_view line, SheetSeparator separator,
                             const std::function<bool(std::size_t column, SheetCell& cell)>& visit);

/// A number as written in a cell: optional sign, digits with one decimal
/// point, or one decimal comma where `decimalComma` allows it, and an optional
/// exponent ("1.5", "1,5", "-2e3", ".5"). Blanks around it are allowed; words,
/// units, "nan", "inf" and thousands separators are not. A value beyond the
/// range of doubles is not a number either.
std::optional<double> parseSheetNumber(std::string_view cell, bool decimalComma);

}  // namespace orma
