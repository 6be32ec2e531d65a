// ormacli to-rst: reads a sounding as `show` does and writes it as one RST
// record, through the same writer and prompts the window uses.

#include <filesystem>
#include <iostream>
#include <optional>
#include <system_error>

#include "Commands.h"
#include "LoadSounding.h"
#include "OptionTable.h"
#include "core/Sounding.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/RstWriter.h"

namespace orma::cli {

namespace {

constexpr OptionSpec kToRstOptions[] = {
    {"--record", Takes::Value, "N", "the record of an RST input file, from 0 (default 0)"},
    {"--operator", Takes::Value, "S", "the operator's name written (default: the one read)"},
    {"--locality", Takes::Value, "S", "the locality written (default: the one read)"},
    {"--point", Takes::Value, "N", "the point number written (default: the one read)"},
    {"--profile", Takes::Value, "N", "the profile number written (default: the one read)"},
    {"--append", Takes::Nothing, "", "add the record to an existing RST file (never to another kind of file)"},
};

}  // namespace

const CommandSpec kToRstCommand{
    "to-rst", "a sounding file written as one RST record, as the window writes it",
    "usage: ormacli to-rst INPUT OUTPUT [--record N] [--operator S] [--locality S]\n"
    "                      [--point N] [--profile N] [--append]\n",
    kToRstOptions, "option", false, false, runToRst};

namespace {

struct ToRstOptions {
    std::string input;
    std::string output;
    int record = 0;
    std::optional<std::string> operatorName;
    std::optional<std::string> locality;
    std::optional<int> point;
    std::optional<int> profile;
    bool append = false;
};

std::optional<ToRstOptions> parseToRstOptions(const Args& args) {
    ToRstOptions options;
    std::vector<std::string> positional;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        const std::string_view name = option.name;
        if (name == "--append") {
            options.append = true;
        } else if (name == "--operator") {
            options.operatorName = *value;
        } else if (name == "--locality") {
            options.locality = *value;
        } else {
            const std::optional<int> number = parseInteger(*value);
            if (!number || (name == "--record" && *number < 0)) {
                std::cerr << "ormacli to-rst: " << name << " needs an integer, not '" << *value << "'\n";
                return false;
            }
            if (name == "--record") options.record = *number;
            if (name == "--point") options.point = number;
            if (name == "--profile") options.profile = number;
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        positional.push_back(argument);
        return true;
    };
    if (!walkArguments(kToRstCommand, args, onOption, onPositional)) return std::nullopt;
    if (positional.size() != 2) {
        std::cerr << kToRstCommand.usage;
        return std::nullopt;
    }
    options.input = positional[0];
    options.output = positional[1];
    return options;
}

/// Answers the writer's dialogs without a user: the output file once, the
/// prompts from the options or, where an option is missing, from the values
/// the sounding was read with.
class OptionDialogs : public UserDialogs {
public:
    OptionDialogs(const ToRstOptions& options, int pointAsRead)
        : options_(options), pointAsRead_(pointAsRead) {}

    void message(const std::string& text) override { messages.push_back(text); }

    std::optional<std::string> inputQuery(const std::string& caption, const std::string&,
                                          const std::string& proposed) override {
        if (caption == kOperatorCaption && options_.operatorName) return options_.operatorName;
        if (caption == kLocalityCaption && options_.locality) return options_.locality;
        if (caption == kPointCaption) return std::to_string(options_.point.value_or(pointAsRead_));
        if (caption == kProfileCaption && options_.profile) return std::to_string(*options_.profile);
        return proposed;
    }

    std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }

    std::optional<std::string> saveFile(const FileDialogOptions&) override {
        if (outputOffered_) return std::nullopt;
        outputOffered_ = true;
        return options_.output;
    }

    std::vector<std::string> messages;

private:
    const ToRstOptions& options_;
    int pointAsRead_;
    bool outputOffered_ = false;
};

}  // namespace

int runToRst(const Args& args) {
    const std::optional<ToRstOptions> options = parseToRstOptions(args);
    if (!options) return kExitUsage;

    std::error_code error;
    const bool outputExists =
        std::filesystem::exists(options->output, error) || std::filesystem::is_symlink(options->output, error);
    if (outputExists && !options->append) {
        std::cerr << "ormacli to-rst: " << options->output
                  << " already exists; give --append to add a record to it\n";
        return kExitDataError;
    }
    // Appending only ever continues an RST file (or an empty one): a file
    // given by mistake, such as the instrument file itself, stays untouched.
    if (outputExists) {
        if (const std::optional<std::string> problem = rstAppendTargetProblem(options->output)) {
            std::cerr << "ormacli to-rst: " << *problem << '\n';
            return kExitDataError;
        }
    }

    std::vector<std::string> messages;
    const std::unique_ptr<Sounding> sounding = loadSounding(options->input, options->record, 2, messages);
    if (!sounding) return kExitDataError;

    OptionDialogs dialogs(*options, sounding->pointNumber);
    RstOutputFile output;
    if (outputExists) {
        // Appending asks no names; they come from the options directly.
        if (!output.openForAppend(options->output)) {
            std::cerr << "ormacli to-rst: " << output.lastError() << '\n';
            return kExitDataError;
        }
        sounding->rstOutputOpen = true;
        if (options->operatorName) sounding->operatorName = cutToCharacters(*options->operatorName, kMaxNameLength);
        if (options->locality) sounding->locality = cutToCharacters(*options->locality, kMaxNameLength);
    }
    const CurveFileOutcome result = writeRstRecord(*sounding, output, dialogs, !outputExists);
    closeRstOutput(*sounding, output, dialogs);
    for (const std::string& text : dialogs.messages) std::cerr << "ormacli to-rst: " << options->output << ": " << text << '\n';
    if (!result || !dialogs.messages.empty()) {
        if (dialogs.messages.empty()) std::cerr << "ormacli to-rst: " << options->output << ": nothing was written\n";
        return kExitDataError;
    }
    return kExitOk;
}

}  // namespace orma::cli
