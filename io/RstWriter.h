#pragma once
// Writing the interpreted sounding as a record of a KELDOR result file
// (*.RST): the header with the prompts for operator, locality, point and
// profile number, then the shifted curve grouped into output branches.

#include <string>

#include "core/Sounding.h"
#include "io/Cp1250Text.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kRstSaveFilter = "soubor typu keldor|*.RST";
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
/// it, F12 and End close it.
class RstOutputFile : public Cp1250LineWriter {};

/// Number of output branches E: the largest branch number B, or B - 1 when
/// branch B has fewer than three shifted values at grid rows from 6(B - 1) on.
/// Never below 1 while there is a branch, so a short one-branch curve is still
/// written.
int rstOutputBranchCount(const Sounding& sounding);

/// Output branch e of E covers grid rows 6e-6 .. 6e+1 (the last one
/// everything from 6e-6 on); neighbours share two rows.
bool inRstOutputBranch(int k, int e, int outputBranches);

/// Writes the current sounding as one record. Without a composite curve
/// nothing happens (kFailed, no message). With `newFile` the save dialog asks
/// for a file that does not exist yet (an existing one is never overwritten;
/// Cancel ends with "No file chosen"), the file is created and becomes the
/// open output file, and operator and locality are asked for; otherwise the
/// record is appended to `output`. Point and profile number are asked for in
/// either case. Returns kSuccess, or kCannotOpen when no file was chosen, it
/// could not be created or the writing failed.
int writeRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs, bool newFile);

/// F5: appends to the open output file, or starts a new one.
int appendRstRecord(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs);

/// F12: only with an open output file: closes it and writes the sounding as
/// the first record of a new file, which is closed again at once so that the
/// next F5 starts another new file. Returns kFailed when nothing was open.
int saveRstRecordToNewFile(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs);

/// End: closes the open output file; a failed close is reported.
void closeRstOutput(Sounding& sounding, RstOutputFile& output, UserDialogs& dialogs);

}  // namespace orma
