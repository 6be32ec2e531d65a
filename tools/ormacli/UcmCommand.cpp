// ormacli ucm: one profile of a VES database as the section window's UCM
// export writes it (the main script and its "_b" companion), without a window.

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Commands.h"
#include "OptionTable.h"
#include "core/SectionFrame.h"
#include "io/FormatPatterns.h"
#include "io/SectionSettingsFile.h"
#include "io/UcmWriter.h"
#include "io/VdbFile.h"

namespace orma::cli {

namespace {

constexpr const char* kUcmUsage =
    "usage: ormacli ucm FILE.vdb --profile L/P OUT.UCM [--settings orma.ini] [--name-prefix]\n"
    "                   [--chainage-on-profile]\n";

constexpr OptionSpec kUcmOptions[] = {
    {"--profile", Takes::Value, "L/P", "the profile exported: locality/profile indices from 0"},
    {"--settings", Takes::Value, "orma.ini", "the export parameters (default: orma.ini of the current directory)"},
    {"--name-prefix", Takes::Nothing, "", "prefix the point labels with the profile's name"},
    {"--chainage-on-profile", Takes::Nothing, "", "label the chainage along the profile line, not along the terrain"},
};

struct UcmOptions {
    std::string database;
    std::string output;
    int locality = -1;
    int profile = -1;
    std::optional<std::string> settings;
    SectionLabelSwitches labels;
};

bool parseProfile(const std::string& text, UcmOptions& options) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return false;
    const auto l = parseInteger(std::string_view(text).substr(0, slash));
    const auto p = parseInteger(std::string_view(text).substr(slash + 1));
    if (!l || !p || *l < 0 || *p < 0) return false;
    options.locality = *l;
    options.profile = *p;
    return true;
}

std::optional<UcmOptions> parseUcmOptions(const Args& args) {
    UcmOptions options;
    std::vector<std::string> paths;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        const std::string_view arg = option.name;
        if (arg == "--settings") {
            options.settings = *value;
        } else if (arg == "--profile") {
            if (!parseProfile(*value, options)) {
                std::cerr << "ormacli ucm: --profile expects locality/profile indices from 0, e.g. 0/1\n";
                return false;
            }
        } else if (arg == "--name-prefix") {
            options.labels.profileNamePrefix = true;
        } else if (arg == "--chainage-on-profile") {
            options.labels.chainageAlongTerrain = false;
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        paths.push_back(argument);
        return true;
    };
    if (!walkArguments(kUcmCommand, args, onOption, onPositional)) return std::nullopt;
    if (paths.size() != 2 || options.profile < 0) {
        std::cerr << kUcmUsage;
        return std::nullopt;
    }
    options.database = paths[0];
    options.output = paths[1];
    return options;
}

}  // namespace

const CommandSpec kUcmCommand{"ucm", "one profile of a database as a UCM drawing script, as the section window exports it",
                              kUcmUsage, kUcmOptions, "option", true, true, runUcm};

// The parameters come from orma.ini as the window reads it at start: the
// file given, else the one in the current directory, else the defaults. Unlike
// the window, which starts anyway, an export never runs on a settings file it
// could not read whole: defaults in place of the user's values would go
// unnoticed in a script.
int runUcm(const Args& args) {
    const std::optional<UcmOptions> options = parseUcmOptions(args);
    if (!options) return kExitUsage;

    auto db = std::make_unique<VesDatabase>();
    if (const Outcome read = readVdbFile(options->database, *db); !read) {
        std::cerr << "ormacli: " << options->database << ": " << read.text() << '\n';
        return kExitDataError;
    }
    if (options->locality > db->mxindex_lokalit() ||
        options->profile > db->localities[options->locality].mxindex_profilu()) {
        std::cerr << "ormacli: " << options->database << ": there is no profile " << options->locality << '/'
                  << options->profile << '\n';
        return kExitDataError;
    }
    const Locality& locality = db->localities[options->locality];
    const Profile& profile = locality.profiles[options->profile];
    if (profile.points.empty()) {
        std::cerr << "ormacli: " << options->database << ": profile " << options->locality << '/' << options->profile
                  << " has no VES points to export\n";
        return kExitDataError;
    }

    UcmParameters parameters;
    const std::filesystem::path settings =
        options->settings ? std::filesystem::path(*options->settings) : sectionSettingsPath(".");
    std::error_code ec;
    const bool present = std::filesystem::exists(settings, ec) || std::filesystem::is_symlink(settings, ec);
    if (options->settings && !present) {
        std::cerr << "ormacli: " << settings.string() << ": the settings file does not exist\n";
        return kExitDataError;
    }
    if (present) {
        if (const std::optional<std::string> problem = readSectionSettings(settings, parameters)) {
            std::cerr << "ormacli: " << *problem << '\n';
            return kExitDataError;
        }
    }
    if (const std::optional<UcmParametersProblem> problem = ucmParametersProblem(parameters)) {
        std::cerr << "ormacli: " << settings.string() << ": " << problem->message << '\n';
        return kExitDataError;
    }
    const UcmScripts scripts =
        formatUcmScripts(locality.name, profile, exportFrame(profile, SectionLimits{}), parameters, options->labels);
    if (const std::optional<std::string> problem = writeUcmFiles(options->output, scripts)) {
        std::cerr << "ormacli: " << *problem << '\n';
        return kExitDataError;
    }
    return kExitOk;
}

}  // namespace orma::cli
