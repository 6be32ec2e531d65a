#pragma once
// The section of one profile as a MicroStation user-command script (UCM), in
// two files: the main file (script header, axes, titles) and a companion
// file named with "_b" appended (terrain line, arrows, labels, interface
// crosses and resistivities, and the script's closing part). Windows-1250,
// CR LF before every line but the main file's first.
//
// Names of the locality and profile keep to their line and their quotes: a
// tab or line break in them is written as a blank, an apostrophe as the
// typographic apostrophe (’), and a letter Windows-1250 cannot hold as '?'.

#include <filesystem>
#include <optional>
#include <string>

#include "core/SectionFrame.h"
#include "core/UcmParameters.h"
#include "core/VesDatabase.h"
#include "io/DisplaySettings.h"

namespace orma {

inline constexpr const char* kUcmFilter = "souborUCMproMicroStation|*.UCM|souborUCMproMicroStation|*.ucm";
inline constexpr const char* kUcmExtension = "UCM";
inline constexpr const char* kUcmNoFileChosen = "No file chosen.";
inline constexpr const char* kUcmCannotOpen = "Cannot open UCM_output file.";

/// The two scripts in memory, UTF-8 with CR LF line breaks.
struct UcmScripts {
    std::string main;
    std::string second;
};

/// Formats the scripts of `profile` (at least one point) in the frame
/// `frame`. The steps of `parameters` are first fitted to the frame's size
/// (adjustUcmSteps) and stay so. The deepest layer's resistivity is written
/// half-way between its top and the frame's bottom; the profile is not changed.
UcmScripts formatUcmScripts(const std::string& localityName, const Profile& profile, const ExportFrame& frame,
                            UcmParameters& parameters, const SectionLabelSwitches& labels);

/// The companion file's name: the main name with "_b" appended.
std::string ucmSecondFileName(const std::string& mainPath);

/// "File" + name + "exists already. Choose other name!"
std::string ucmFileExistsMessage(const std::string& path);

/// Writes both files, each as a new file: an existing main or companion file
/// is never written over (the message names it). Both files appear, or
/// neither. nullopt on success, otherwise the message for the user.
std::optional<std::string> writeUcmFiles(const std::string& mainPath, const UcmScripts& scripts);

}  // namespace orma
