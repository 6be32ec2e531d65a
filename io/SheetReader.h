#pragma once
// Reading a sounding from a field sheet (*.csv, *.txt): one reading per line
// with AB/2, MN/2, apparent resistivity and an optional branch number.
//
// Columns are found by a header line in English (AB/2, MN/2, rhoa, branch,
// with or without units in brackets: "AB/2 [m]", "rho_a (ohm.m)", "ρa"; see
// kSheetColumnNames in SheetReader.cpp for every name) or, without a header,
// as the first three numeric columns: AB/2, MN/2, rhoa, and a fourth when all
// its values are whole numbers 1..5 (a branch number). Other columns are
// ignored. The header names the half-spacings: a column called "AB" or "MN"
// could hold whole spacings and is not taken.
//
// Separators: comma, semicolon, tab or blanks. Numbers: decimal point, or
// decimal comma wherever the comma does not separate the cells (and in
// quoted cells). Text: UTF-8 or Windows-1250 (or UTF-16 with its mark).
// Lines starting with '#' and empty lines are skipped.
//
// Branches: a branch column gives them; without one every distinct MN/2
// becomes a branch, in ascending order (1 for the smallest). More than five
// are levelled into the fifth by the reader post-processing, as for any
// reader. A sheet without MN/2 (no such column, or the column left empty
// throughout) is one branch; its MN/2 is stored as 0 (unknown).
//
// A line whose cell cannot be used (not a number, empty, a branch number that
// is not whole) is left out and named, with its line and column, in one
// message. The readings then take the road of a GEF file's: snapping,
// post-processing (every reading left out is named), and, by the caller,
// the shift onto branch 2.

#include <string>
#include <string_view>
#include <vector>

#include "core/Sounding.h"
#include "io/CurveFileOutcome.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kSheetFilter = "VES field sheet|*.csv;*.txt";
inline constexpr const char* kSheetOpenTitle = "Open field sheet (*.csv, *.txt)";
inline constexpr const char* kSheetExtension = "csv";
inline constexpr const char* kSheetCannotOpen = "Cannot open the sheet.";

/// Options of the open dialog of "Open sheet *.csv, *.txt", proposing the
/// last file.
FileDialogOptions sheetOpenDialogOptions(const Sounding& sounding);

/// Reads the sheet `sounding.gefPath` into the point table and post-processes
/// it, as readGefFile does with a GEF file (source: GEF). Returns Done, CannotOpen (the
/// reason in `messages`: anything but a regular file of at most 16 MB that
/// can be read is refused before reading) or Failed (no usable reading). The
/// readings replace the sounding's only on success; the date, which a sheet
/// does not carry, is then cleared. At most 99 readings are taken. Never throws.
CurveFileOutcome readSheetFile(Sounding& sounding, std::vector<std::string>& messages);

/// readSheetFile on the bytes of a whole file (any of the encodings above).
CurveFileOutcome readSheetBytes(Sounding& sounding, std::string_view bytes,
                                std::vector<std::string>& messages);

/// The data side of "Open sheet *.csv, *.txt" after the dialog: as
/// openGefCurve (reads `path`, resets the record on success, "reading error"
/// otherwise, shifts onto branch 2 in both cases).
CurveFileOutcome openSheetCurve(Sounding& sounding, const std::string& path,
                                std::vector<std::string>& messages);

/// True for a name ending in .csv or .txt (any case).
bool isSheetFileName(std::string_view path);

}  // namespace orma
