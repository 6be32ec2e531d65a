#pragma once
// Where the program finds its manual and sample data, where it keeps its
// settings files, and which database it opens at start: in the build tree (the
// current directory, as always) and installed (PREFIX/bin/orma beside
// PREFIX/share/orma), wherever it is started. Decided from facts handed in,
// so that the rules are tested without installing anything; the program
// gathers the facts through Qt (ui/platform/ProgramPlaces.h).
//
// The installed data are never written: a database opened from them is saved
// as a numbered copy in the user's documents folder, and settings files never
// land in the installation prefix. This is decided by where a file lies, not
// by permission bits, which do not stop root.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orma {

/// The data folder below the prefix: PREFIX/share/orma.
inline constexpr const char* kInstalledDataFolder = "share/orma";
/// The sample files inside the data folder: profile1/*.GEF, ves.rst and
/// ves-ukazkova-data/ukazkova-ves-databaze.vdb.
inline constexpr const char* kInstalledSamplesFolder = "samples";
/// The folder of the user's documents that takes the copies of a database
/// opened from the installed data.
inline constexpr const char* kDocumentsSubfolder = "orma";

/// What the program knows about the place it runs in.
struct FolderFacts {
    std::filesystem::path programDirectory;    ///< the folder of the running executable
    std::filesystem::path currentDirectory;    ///< the working directory at start
    std::filesystem::path documentsDirectory;  ///< the user's documents (e.g. ~/Documents)
    std::filesystem::path configDirectory;     ///< the user's settings folder of ORMA (e.g. ~/.config/orma)
    /// Whether this user may create files in a folder; null means yes.
    std::function<bool(const std::filesystem::path&)> writable;
};

/// Saves of a database never go below `protectedFolder`; they go into
/// `refugeFolder` instead (made when missing). Empty folders: no rule.
struct DatabaseSaveRules {
    std::filesystem::path protectedFolder;
    std::filesystem::path refugeFolder;
};

/// The database the section window opens at start.
struct StartDatabase {
    std::filesystem::path file;
    bool readOnly = false;  ///< part of the installed data: saved only as copies elsewhere
};

struct ProgramFolders {
    /// PREFIX/share/orma when the program runs installed; empty in the build tree.
    std::filesystem::path installedData;
    /// Where ormawin.ini, orma.ini and ormarecent.ini are read and written.
    std::filesystem::path settings;
    /// True when `settings` is the user's settings folder (it may still have to be made).
    bool settingsInConfigFolder = false;
    StartDatabase startDatabase;
    /// Searched in order for "manual/index.html".
    std::vector<std::filesystem::path> manualFolders;
    DatabaseSaveRules saveRules;
};

/// The rules:
/// - Installed means that PREFIX/share/orma is a folder, PREFIX being the
///   parent of the program's folder.
/// - Settings: the current directory in the build tree (as always). Installed,
///   the current directory only when it already holds one of the settings
///   files, may be written and lies outside the prefix (a project folder kept
///   the old way); otherwise the user's settings folder.
/// - Start database: the sample below the current directory when it is there
///   (read-only when that directory is inside the installed data); else,
///   installed, the installed sample, read-only; else the missing file below
///   the current directory, whose absence the window reports as before.
/// - Manual: next to the program (the build tree copies it there), in the
///   installed data, then the current directory.
/// - Saves: never below the installed data; copies go to DOCUMENTS/orma.
ProgramFolders findProgramFolders(const FolderFacts& facts);

/// Whether `path` is `folder` or lies below it, after resolving "..", links
/// and relative names as far as the file system allows.
bool liesWithin(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace orma
