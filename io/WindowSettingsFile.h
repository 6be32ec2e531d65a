#pragma once
// The interpretation window's settings file "ormawin.ini": display settings and
// the default input mode, one item per line in a fixed order. Keys are
// descriptive only; a value is recognised by the position of its line.
// Written as Windows-1250 text with CR LF line ends, read from either line end.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/Outcome.h"
#include "io/DisplaySettings.h"

namespace orma {

/// One spelling for reading and writing, so a case-sensitive file system finds
/// the file the program wrote itself.
inline constexpr const char* kWindowSettingsFileName = "ormawin.ini";

inline constexpr const char* kSettingsMissingMessage = "ini file not found! default parametres loaded";
inline constexpr const char* kSettingsNotWritableMessage = "Nemožno ukládat do ini souboru!";
/// Follows the reason why an existing settings file cannot be read.
inline constexpr const char* kSettingsUnreadableTail =
    " Default parameters are loaded, and the file will not be written over at End.";

/// The file below `directory` (the working directory at start-up).
std::filesystem::path windowSettingsPath(const std::filesystem::path& directory);

/// Reads the settings file into `settings`.
///
/// A missing file loads the defaults and returns the "ini file not found"
/// message, with the path looked for on a line of its own. A file that
/// exists but cannot be read (permissions, a directory,
/// a pipe, larger than 16 MB) loads the defaults too and returns a message of
/// its own naming the reason; writeWindowSettings will not replace such a
/// file. Otherwise every line 2..20 whose value parses as a decimal integer
/// within the setting's sane range replaces that setting; a line that does not
/// parse, an out-of-range value (e.g. a b-spline resolution beyond the curve
/// drawer's 400 points, a line width below 1, a colour above 0xFFFFFF) and a
/// line missing from a short file leave the setting as it was. Line 2 carries
/// its value glued to the key, so averaging is never taken from the file (the
/// window switches it on after reading anyway).
/// Returns the messages to show (empty when the file was read).
std::vector<std::string> readWindowSettings(const std::filesystem::path& path, DisplaySettings& settings);

/// The file's content: 20 lines, Windows-1250, each ended by CR LF.
std::string formatWindowSettings(const DisplaySettings& settings);

/// Stores the values of the file's bytes (any line ends) into `settings`:
/// readWindowSettings after the file was read.
void parseWindowSettings(std::string_view bytes, DisplaySettings& settings);

/// Writes the settings as a new version of the file, saved safely (a
/// temporary file renamed into place). A failure is "Nemožno ukládat do ini
/// souboru!" with the cause: the file cannot be written (a full disk, a
/// folder that takes no new file), or an existing file cannot be read or is
/// not a regular file (it is then left as it is).
Outcome writeWindowSettings(const std::filesystem::path& path, const DisplaySettings& settings);

}  // namespace orma
