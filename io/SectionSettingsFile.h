#pragma once
// The section window's settings file "orma.ini": the parameters of the UCM
// export, one per line after a header line, in a fixed order. Keys are
// descriptive only: a value is recognised by the position of its line.
// Windows-1250 text, CR LF after every line (read from either line end).

#include <filesystem>
#include <optional>
#include <string>

#include "core/Outcome.h"
#include "core/UcmParameters.h"

namespace orma {

inline constexpr const char* kSectionSettingsFileName = "orma.ini";
inline constexpr const char* kSectionSettingsMissing = "ini file not found! default options loaded. ";
inline constexpr const char* kSectionSettingsSaveError = "ini file saving error!";

/// The file below `directory` (the working directory at start-up).
std::filesystem::path sectionSettingsPath(const std::filesystem::path& directory);

/// The whole file as written: the header and the eleven lines.
std::string formatSectionSettings(const UcmParameters& parameters);

/// Reads the file into `parameters`. A missing file gives the defaults and
/// the "not found" message, with the path looked for on a line of its own.
/// A line that is missing, does not hold a number
/// or holds one the export refuses (ucmValueProblem) keeps its default, and
/// the message names those lines; a file that cannot be read, or whose first
/// line holds a value instead of the header, gives the defaults and its
/// reason. nullopt when every value was read.
std::optional<std::string> readSectionSettings(const std::filesystem::path& path, UcmParameters& parameters);

/// Writes the file whole (replacing the old one); an existing file that
/// could not be read is not written over. A failure is "ini file saving
/// error!" with the cause.
Outcome writeSectionSettings(const std::filesystem::path& path, const UcmParameters& parameters);

}  // namespace orma
