#pragma once
// Reading a sounding from the export file of the TAMIR instrument (*.GEF):
// four header lines (the date is the first word of line 2), then readings of
// 13 numbers each, in any arrangement over lines.

#include <string>
#include <string_view>
#include <vector>

#include "core/Sounding.h"
#include "io/CurveFileOutcome.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kGefFilter = "soubor ap.TAMIR |*.GEF";
inline constexpr const char* kGefOpenTitle = "Open instrument file (*.GEF)";
inline constexpr const char* kGefExtension = "GEF";
inline constexpr const char* kGefNoFileChosen = "no file chosen";
inline constexpr const char* kGefCannotOpen = "Cannot open GEF file.";
inline constexpr const char* kReadingError = "reading error";

/// Options of the open dialog of "Open file *.GEF", proposing the last file.
FileDialogOptions gefOpenDialogOptions(const Sounding& sounding);

/// Reads `sounding.gefPath` into the point table and post-processes it
/// (reprocessReadings processes the readings in memory again). Returns Done, CannotOpen or Failed (no reading
/// left with a valid AB/2). CannotOpen puts "Cannot open GEF file." and the
/// reason into `messages`: anything but a regular file of at most 16 MB that
/// can be read is refused before reading. The date and the readings replace
/// the sounding's only on success. At most 99 readings are taken. Where the
/// readings stop before the end of the file (a token that is not a number, a
/// branch number beyond 32 bits, a reading cut short by the end of the file)
/// a message names the line, the reading and how many readings were read.
/// Never throws.
CurveFileOutcome readGefFile(Sounding& sounding, std::vector<std::string>& messages);

/// readGefFile on the text of a whole file, already in UTF-8.
CurveFileOutcome readGefText(Sounding& sounding, std::string_view text, std::vector<std::string>& messages);

/// The data side of "Open file *.GEF" after the dialog: reads `path`, resets
/// the record for the new curve on success ("reading error" otherwise, the
/// previous curve staying), and in both cases shifts the branches onto branch
/// 2. Returns the result of readGefFile; the shift messages follow in
/// `messages`.
CurveFileOutcome openGefCurve(Sounding& sounding, const std::string& path,
                              std::vector<std::string>& messages);

/// A reader of a curve file named by `sounding.gefPath` (readGefFile, readSheetFile).
using CurveFileReader = CurveFileOutcome (*)(Sounding& sounding, std::vector<std::string>& messages);
/// A whole "open" of a curve file, as openGefCurve does it.
using CurveFileOpener = CurveFileOutcome (*)(Sounding& sounding, const std::string& path,
                                             std::vector<std::string>& messages);

/// openGefCurve with another reader of the same kind (a field sheet's).
CurveFileOutcome openCurveFile(Sounding& sounding, const std::string& path,
                               std::vector<std::string>& messages, CurveFileReader read);

/// "ORMA - programme for VES interpretation - opened: " + the GEF path.
std::string gefOpenedCaption(const Sounding& sounding);

}  // namespace orma
