#pragma once
// Writing the interpreted sounding as a record of a KELDOR result file
// (*.RST): the header with the prompts for operator, locality, point and
// profile number, then the shifted curve grouped into output branches.
//
// The header texts (operator, locality, date) keep to their lines: a tab or a
// line break in them is written as a blank, a letter Windows-1250 cannot hold
// as '?', and they are cut to 99 characters (the date to 39). Blanks at the
// start of a text do not come back: the reader takes them for the blanks
// after the key letter.

#include <optional>
#include <string>

#include "core/Sounding.h"
#include "io/Cp1250Text.h"
#include "io/CurveFileOutcome.h"
#include "io/RstRecordText.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kRstSaveFilter = "soubor typu keldor|*.RST";
inline constexpr const char* kRstSaveTitle = "Write the sounding into a new result file (*.RST)";
inline constexpr const char* kRstNoFileChosenOnSave = "No file chosen";
inline constexpr const char* kRstCannotCreate = "Unpossible create file RST !";
inline constexpr const char* kRstFileExists = "The file already exists. Choose another name.";
inline constexpr const char* kRstWriteFailed = "Writing RST file failed.";
inline constexpr const char* kIntegerExpected = "Integer!";

inline constexpr const char* kOperatorCaption = "Enter the operator name:";
inline constexpr const char* kOperatorPrompt = "operator name:";
inline constexpr const char* kLocalityCaption = "Enter the locality name:";
inline constexpr const char* kLocalityPrompt = "locality name:";
inline constexpr const char* kPointCaption = "Enter point number or chainage on the profile: ";
inline constexpr const char* kPointPrompt = " point: ";
inline constexpr const char* kProfileCaption = "Enter profile number:";
inline constexpr const char* kProfilePrompt = " profile number:";

/// The RST output file the window holds open between commands: F5 appends to
/// it, F12 and End close it. Each record reaches the disk whole or not at all.
class RstOutputFile : public Cp1250LineWriter {};

/// Why `path` cannot take another record, or nullopt when it can: it must be a
/// regular file of at most 16 MB that can be read and is either empty or an
/// RST file whose first record reads. A file given by mistake (an instrument
/// file, a picture) is never appended to.
std::optional<std::string> rstAppendTargetProblem(const std::string& path);

/// The next point number proposed to the user: the last one plus the last
/// step, computed in 64 bits. A proposal that does not fit 32 bits is not
/// made; the current number is proposed again instead.
void proposeNextPointNumber(Sounding& sounding);

/// Writes the current sounding as one record. Without a composite curve
/// nothing happens (Failed, no message); a record that could not be read back
/// as written is refused with rstRecordProblem's message (Failed) before any
/// dialog. With `newFile` the save dialog asks
/// for a file that does not exist yet (an existing one is never overwritten;
/// Cancel ends with "No file chosen"), the file is created and becomes the
/// open output file, and operator and locality are asked for; otherwise the
/// record is appended to `output`. Point and profile number are asked for in
/// either case. Before an append the open file is checked again with
/// rstAppendTargetProblem. The record is formatted whole and written in one
/// piece: a new file appears only complete, a failed append is cut back.
/// Returns Done, or CannotOpen when no file was chosen, it could not be
/// created, it can no longer take a record or the writing failed.
CurveFileOutcome writeRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs,
                                bool newFile);

/// F5: appends to the open output file, or starts a new one.
CurveFileOutcome appendRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs);

/// F12: only with an open output file: closes it and writes the sounding as
/// the first record of a new file, which is closed again at once so that the
/// next F5 starts another new file. Returns Failed when nothing was open.
CurveFileOutcome saveRstRecordToNewFile(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs);

/// End: closes the open output file; a failed close is reported.
void closeRstOutput(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs);

}  // namespace orma
