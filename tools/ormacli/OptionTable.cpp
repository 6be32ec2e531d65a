#include "OptionTable.h"

#include <algorithm>
#include <iostream>

namespace orma::cli {

namespace {

constexpr std::string_view kHelpLine = "print this help and exit";

bool isHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

const OptionSpec* findOption(const CommandSpec& command, std::string_view name) {
    for (const OptionSpec& option : command.options) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

std::string optionColumn(const OptionSpec& option) {
    std::string text(option.name);
    if (option.takes == Takes::Value) text += " " + std::string(option.value);
    if (option.takes == Takes::OptionalValue) text += " [" + std::string(option.value) + "]";
    return text;
}

void printRows(std::ostream& out, const std::vector<std::pair<std::string, std::string_view>>& rows) {
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.first.size());
    for (const auto& [left, right] : rows) out << "  " << left << std::string(width - left.size() + 2, ' ') << right << '\n';
}

}  // namespace

std::span<const CommandSpec* const> commandTable() {
    static const CommandSpec* const table[] = {&kShowCommand, &kToRstCommand,     &kForwardCommand, &kFitCommand,
                                               &kDbCommand,   &kInterpretCommand, &kUcmCommand,     &kLciCommand};
    return table;
}

const CommandSpec* findCommand(std::string_view name) {
    for (const CommandSpec* command : commandTable()) {
        if (command->name == name) return command;
    }
    return nullptr;
}

bool walkArguments(const CommandSpec& command, const Args& args, const OptionVisitor& onOption,
                   const PositionalVisitor& onPositional) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        if (argument.empty() || argument[0] != '-') {
            if (!onPositional(argument)) return false;
            continue;
        }
        const OptionSpec* option = findOption(command, argument);
        if (option == nullptr) {
            std::cerr << "ormacli " << command.name << ": unknown " << command.unknownWord << ' ' << argument << '\n';
            if (command.usageAfterUnknown) std::cerr << command.usage;
            return false;
        }
        const std::string* value = nullptr;
        if (option->takes == Takes::Value) {
            if (i + 1 >= args.size()) {
                std::cerr << "ormacli " << command.name << ": ";
                if (option->missingValue.empty()) std::cerr << option->name << " needs a value\n";
                else std::cerr << option->missingValue << '\n';
                if (command.usageAfterMissing) std::cerr << command.usage;
                return false;
            }
            value = &args[++i];
        } else if (option->takes == Takes::OptionalValue && i + 1 < args.size() && option->acceptsValue != nullptr &&
                   option->acceptsValue(args[i + 1])) {
            value = &args[++i];
        }
        if (!onOption(*option, value)) return false;
    }
    return true;
}

bool asksForHelp(const CommandSpec& command, const Args& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (isHelp(args[i])) return true;
        const OptionSpec* option = findOption(command, args[i]);
        if (option == nullptr) continue;
        if (option->takes == Takes::Value ||
            (option->takes == Takes::OptionalValue && i + 1 < args.size() && option->acceptsValue != nullptr &&
             option->acceptsValue(args[i + 1])))
            ++i;  // its value, even when it reads "--help"
    }
    return false;
}

void printCommandHelp(const CommandSpec& command, std::ostream& out) {
    out << command.usage << '\n' << command.summary << "\n\nOptions:\n";
    std::vector<std::pair<std::string, std::string_view>> rows;
    for (const OptionSpec& option : command.options) rows.emplace_back(optionColumn(option), option.help);
    rows.emplace_back("-h, --help", kHelpLine);
    printRows(out, rows);
    out << "\nExit status: 0 success, 1 file or data error, 2 usage error.\n";
}

void printToolUsage(std::ostream& out) {
    bool first = true;
    for (const CommandSpec* command : commandTable()) {
        std::string_view usage = command->usage;
        // Every synopsis after the first is aligned under the first's "ormacli".
        if (!first && usage.substr(0, 7) == "usage: ") out << "       " << usage.substr(7);
        else out << usage;
        first = false;
    }
}

void printToolHelp(std::ostream& out) {
    out << "usage: ormacli COMMAND [ARGUMENTS] [OPTIONS]\n"
           "       ormacli COMMAND --help\n"
           "       ormacli --version\n\n"
           "The interpretation of vertical electrical soundings without a window: the\n"
           "files, the forward computation and the fits of ORMA.\n\nCommands:\n";
    std::vector<std::pair<std::string, std::string_view>> rows;
    for (const CommandSpec* command : commandTable()) rows.emplace_back(std::string(command->name), command->summary);
    printRows(out, rows);
    out << "\nOptions:\n";
    printRows(out, {{"-h, --help", kHelpLine}, {"--version", "print the version and exit"}});
    out << "\n";
    printToolUsage(out);
    out << "\n`ormacli COMMAND --help` lists the options of a command, one line each.\n"
           "Exit status: 0 success, 1 file or data error, 2 usage error.\n";
}

std::vector<std::string> completionWords(const CommandSpec* command) {
    std::vector<std::string> words;
    if (command == nullptr) {
        for (const CommandSpec* each : commandTable()) words.emplace_back(each->name);
        words.emplace_back("--help");
        words.emplace_back("--version");
        return words;
    }
    // An option that always takes a value is followed by what the value is,
    // so that the shell completes file names after it.
    for (const OptionSpec& option : command->options)
        words.emplace_back(std::string(option.name) +
                           (option.takes == Takes::Value ? " " + std::string(option.value) : std::string()));
    words.emplace_back("--help");
    return words;
}

}  // namespace orma::cli
