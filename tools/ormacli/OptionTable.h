#pragma once
// One table per ormacli command: its synopsis, a line saying what it does,
// and its options, each with the value it takes and one line of help. The
// command's parser walks its arguments by this table, `ormacli COMMAND
// --help` prints it, and the bash completion asks for it
// (`ormacli --completion-words COMMAND`), so the three never disagree.

#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"

namespace orma::cli {

enum class Takes {
    Nothing,        ///< a switch
    Value,          ///< always the next argument, whatever it looks like
    OptionalValue,  ///< the next argument when `acceptsValue` says it is one
};

struct OptionSpec {
    std::string_view name;   ///< "--record"
    Takes takes = Takes::Nothing;
    std::string_view value;  ///< what the value is, for the help: "N", "OUT.csv"
    std::string_view help;   ///< one line
    /// Said after "ormacli COMMAND: " when the value is missing; empty: "NAME needs a value".
    std::string_view missingValue = {};
    /// For Takes::OptionalValue: whether the argument after the option is its value.
    bool (*acceptsValue)(std::string_view next) = nullptr;
};

struct CommandSpec {
    std::string_view name;     ///< "show"
    std::string_view summary;  ///< one line for `ormacli --help`
    std::string_view usage;    ///< "usage: ormacli show FILE [...]\n", printed on usage errors
    std::span<const OptionSpec> options;
    /// How an argument that starts with '-' and is no option is named ("option", "argument").
    std::string_view unknownWord = "option";
    bool usageAfterUnknown = true;  ///< the usage follows the message of an unknown option
    bool usageAfterMissing = false; ///< the usage follows the message of a missing value
    int (*run)(const Args&) = nullptr;
};

// Each command's table, defined beside its parser.
extern const CommandSpec kShowCommand;
extern const CommandSpec kToRstCommand;
extern const CommandSpec kForwardCommand;
extern const CommandSpec kFitCommand;
extern const CommandSpec kDbCommand;
extern const CommandSpec kInterpretCommand;
extern const CommandSpec kUcmCommand;
extern const CommandSpec kLciCommand;

/// Every command, in the order of the help.
std::span<const CommandSpec* const> commandTable();
/// The command of that name, or null.
const CommandSpec* findCommand(std::string_view name);

/// Called for each option in the order given, with its value (null for a
/// switch, and for an optional value that was not given); false stops the
/// walk (the callee has said why).
using OptionVisitor = std::function<bool(const OptionSpec& option, const std::string* value)>;
/// Called for each argument that is no option and no option's value.
using PositionalVisitor = std::function<bool(const std::string& argument)>;

/// Walks `args` by the command's table. An argument that starts with '-' and
/// is no option of the table, and an option without its value, stop the walk
/// with a message on stderr. False when the walk stopped.
bool walkArguments(const CommandSpec& command, const Args& args, const OptionVisitor& onOption,
                   const PositionalVisitor& onPositional);

/// Whether -h or --help stands where an option may stand.
bool asksForHelp(const CommandSpec& command, const Args& args);

/// The command's help: synopsis, what it does, one line per option.
void printCommandHelp(const CommandSpec& command, std::ostream& out);
/// The tool's help: every command's synopsis and line, and the common options.
void printToolHelp(std::ostream& out);
/// Every command's synopsis (printed without a command, or with an unknown one).
void printToolUsage(std::ostream& out);
/// Words for the shell's completion: the commands and the tool's options, or
/// a command's options, each that always takes a value followed by a blank
/// and the name of its value ("--csv OUT.csv").
std::vector<std::string> completionWords(const CommandSpec* command);

}  // namespace orma::cli
