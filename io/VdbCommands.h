#pragma once
// The database file commands of the section window, written against the
// dialog port: open with the dialog, open the sample database at start, and
// the two save commands that always write a new file (a.vdb, then a.vdb_1,
// a.vdb_2 ... beside it). The window redraws and sets its caption after them.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/VesDatabase.h"
#include "io/ProgramFolders.h"
#include "io/UserDialogs.h"

namespace orma {

inline constexpr const char* kVdbOpenFilter = "databáze bodů VES|*.vdb*";
inline constexpr const char* kVdbSaveFilter = "databáze bodů VES|*.vdb";
inline constexpr const char* kVdbExtension = "vdb";
inline constexpr const char* kVdbOpenTitle = "Open database of VES points (*.vdb)";
/// The two save commands look alike in the menu (their captions differ by a
/// trailing blank); their dialogs say which is which.
inline constexpr const char* kVdbSaveAsTitle = "Save database under a new name (Ctrl+Alt+U)";
inline constexpr const char* kVdbFirstSaveTitle =
    "Save database: name of its first copy (Ctrl+U numbers the next ones)";
inline constexpr const char* kVdbNoFileChosen = "No file chosen";
inline constexpr const char* kVdbCannotCreate = "Unpossible to create this file RST !";
/// Below the working directory; opened when the section window is first shown.
inline constexpr const char* kSampleDatabase = "ves-ukazkova-data/ukazkova-ves-databaze.vdb";

/// Open with the dialog: asks until an existing file is chosen ("File" + name
/// + "does not exist. Try another one!" in between) or the dialog is
/// cancelled ("No file chosen"). The file becomes the database file and the
/// save base name only when it was read; a refused file leaves the database
/// and its names as they were. True when a database was read.
bool openDatabaseWithDialog(VesDatabase& db, UserDialogs& dialogs);

/// The sample database below `workingDirectory`; a missing file is reported
/// ("File" + name + " does not exist. Find other!", then "Cannot open input
/// file.") and the database stays as it was. True when it was read.
bool openSampleDatabase(VesDatabase& db, const std::filesystem::path& workingDirectory, UserDialogs& dialogs);
/// The database chosen for the start (io/ProgramFolders.h), reported as the
/// sample below the working directory is when missing.
bool openStartDatabase(VesDatabase& db, const StartDatabase& start, UserDialogs& dialogs);

/// Said when a name chosen for a save lies in the installed data.
inline constexpr const char* kInstalledDataNotWritten =
    "The installed data of ORMA are never changed. Choose a folder of your own for the database, not one below ";

/// Reads `path` into the database: on success the file names are set and the
/// selection settled (the first point of the current profile); on failure the
/// reader's message is shown and nothing changes.
bool openDatabaseFile(VesDatabase& db, const std::string& path, UserDialogs& dialogs);

/// Saves as a new file. With `askName` the save dialog proposes the database
/// file name; a cancelled dialog keeps the name and the save goes on. The
/// name written is the first of the file name, then the save base name with
/// the extension .vdb_1, .vdb_2 ... that does not exist yet. True when the
/// file was written; the database file name is then the name written.
/// `dialogTitle` is the save dialog's title.
/// Under `rules` nothing is written below the protected folder: the file
/// opened from there is never the target, numbered copies of a base name
/// there are made in the refuge folder (which becomes the save base), the
/// dialog proposes the refuge, and a name chosen below the protected folder
/// is refused with kInstalledDataNotWritten + the folder, writing nothing.
bool saveDatabase(VesDatabase& db, UserDialogs& dialogs, bool askName,
                  const char* dialogTitle = kVdbSaveAsTitle, const DatabaseSaveRules& rules = {});

/// Save with the dialog (Ctrl+Alt+U).
inline bool saveDatabaseAs(VesDatabase& db, UserDialogs& dialogs, const DatabaseSaveRules& rules = {}) {
    return saveDatabase(db, dialogs, true, kVdbSaveAsTitle, rules);
}
/// Save (Ctrl+U): the dialog only while there is no save base name yet.
inline bool saveDatabaseNext(VesDatabase& db, UserDialogs& dialogs, const DatabaseSaveRules& rules = {}) {
    return saveDatabase(db, dialogs, db.saveBaseName.empty(), kVdbFirstSaveTitle, rules);
}

/// `base` with its extension replaced by ".vdb_" + n (Profil.vdb -> Profil.vdb_2).
std::string numberedCopyName(const std::string& base, int n);

/// How many numbered copies are tried before a save gives up.
inline constexpr int kMaxCopyNumber = 1000000;

/// Whether a name is taken: any directory entry, a dangling link included.
bool nameTaken(const std::string& path);
using NameTaken = std::function<bool(const std::string&)>;

/// The next numbered copy of `base` that is not taken (.vdb_1, .vdb_2 ...),
/// nullopt when every one up to .vdb_<kMaxCopyNumber> is. Every save that
/// numbers its copies names them here (the section window's saves, ormacli).
std::optional<std::string> freeNumberedCopyName(const std::string& base, const NameTaken& taken = nameTaken);

/// "db: " + database file name + " - loc:" + name of the current locality.
std::string sectionCaption(const VesDatabase& db);

}  // namespace orma
