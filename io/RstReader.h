#pragma once
// Reading soundings from a KELDOR result file (*.RST): records of five header
// lines (n, b, p, l, d) followed by "r.. s.. a.. m.." readings; a record starts
// at every line beginning with 'n'. Branches follow from MN/2 alone.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Sounding.h"
#include "io/CurveFileOutcome.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kRstOpenFilter = "soubor ap.KELDOR|*.RST";
inline constexpr const char* kRstOpenTitle = "Open result file (*.RST)";
inline constexpr const char* kRstExtension = "RST";
inline constexpr const char* kRstNoFileChosen = "no file chosen ";
inline constexpr const char* kRstCannotOpen = "Cannot open RST file.";
inline constexpr const char* kRstEndOfFile = "End of file RST. First VES point is following.";
inline constexpr const char* kRstRecordNotRead = "record not red";

/// Branch of an RST reading by its MN/2: below 1, 5, 20, 100, 300 m give 1..5,
/// anything larger 6 (post-processing levels that onto branch 5 and merges it).
int rstBranchForMn2(float mn2);

/// Reads record `record` (counted from 0) of `sounding.rstPath`.
/// Returns Done (and counts the record in `rstRecordIndex`), CannotOpen
/// ("Cannot open RST file." and the reason in `messages`: anything but a
/// regular file of at most 16 MB that can be read is refused before reading),
/// EndOfFile (rstRecordIndex back to 0) or Failed (no usable reading).
/// Header texts are read whole (the rest of the line after the key) and cut
/// to their field lengths; integers are decimal. Header and readings replace
/// the sounding's only when the record is usable. At most 99 readings. A
/// resistivity of 0 stays 0 and is left out by post-processing with a
/// message, like any other unusable reading. Where the readings stop before
/// the next record (a missing field, AB/2 below 1 m, MN/2 below 0.1 m, a line
/// that is no reading) a message names the line and the reading. Never throws.
CurveFileOutcome readRstRecord(Sounding& sounding, int record, std::vector<std::string>& messages);

/// readRstRecord on the text of a whole file, already in UTF-8.
CurveFileOutcome readRstRecordText(Sounding& sounding, std::string_view text, int record,
                                   std::vector<std::string>& messages);

/// Open/following/preceding curve after the choice of record: reads the
/// record, falls back to record 0, resets the record for a new curve on
/// success ("record not red" otherwise) and shifts onto branch 2 in any case.
CurveFileOutcome openRstCurve(Sounding& sounding, int record, std::vector<std::string>& messages);

/// "Open file *.RST" after the dialog: the first record of `path`.
CurveFileOutcome openRstFile(Sounding& sounding, const std::string& path, std::vector<std::string>& messages);

/// "Open following curve from *.RST file": the next record of the file.
CurveFileOutcome openFollowingRstCurve(Sounding& sounding, std::vector<std::string>& messages);

/// "Open preceding curve from *.RST file": nullopt (nothing done) while fewer
/// than two records were consumed, otherwise the result of openRstCurve.
std::optional<CurveFileOutcome> openPrecedingRstCurve(Sounding& sounding, std::vector<std::string>& messages);

/// Options of the open dialog of "Open file *.RST", proposing the last file.
FileDialogOptions rstOpenDialogOptions(const Sounding& sounding);

/// "ORMA-opened: <file> point: <b> pf: <p> loc: <locality> date: <date>".
std::string rstOpenedCaption(const Sounding& sounding);

}  // namespace orma
