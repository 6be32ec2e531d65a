#pragma once
// Quick import of a profile's directory: every GEF file becomes a new point
// of the profile, with its measured readings and composite curve but no
// model, at the chainage its file name gives. A file that does not read, or
// whose chainage the profile already has, is skipped and named in the report.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/VesDatabase.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kQuickImportDialogTitle = "Otevři soubor v adresáři všech VES daného profilu ";
inline constexpr const char* kQuickImportFilter = "pf VES z aparatury TAMIR|*.GEF";

struct QuickImportReport {
    int total = 0;      ///< files offered
    int imported = 0;   ///< points added
    bool cancelled = false;
    std::vector<std::string> skipped;  ///< "file name: reason", in file order

    /// The message for the user: what was imported and how many files were
    /// skipped; `skipped` is the list that goes below it, one file a line.
    std::string summary(const std::string& profileName) const;
};

/// Called before each file with the files done so far and the total; false
/// cancels the import (the points added so far stay).
using ImportProgress = std::function<bool(int done, int total)>;

/// Imports `files` in order into `profile`. Each new point takes the file
/// name without its extension as its name, the measurement date of the file,
/// and the file name's number as its chainage on the profile, along the
/// terrain and as X; Y and Z are 0 until terrain heights are loaded.
QuickImportReport quickImportFiles(Profile& profile, const std::vector<std::filesystem::path>& files,
                                   const ImportProgress& progress = {});

/// The open dialog of the quick import, proposing the last file.
FileDialogOptions quickImportDialogOptions(const std::string& lastFile);

}  // namespace orma
