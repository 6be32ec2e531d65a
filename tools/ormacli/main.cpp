// ormacli: the headless tool over the sounding files and the interpretation engine.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "Commands.h"
#include "OptionTable.h"
#include "io/CLocaleFormat.h"
#include "io/TemporaryFiles.h"

static int runCommand(int argc, char** argv) {
    using namespace orma::cli;
    if (argc < 2) {
        printToolUsage(std::cerr);
        return kExitUsage;
    }
    const std::string_view command = argv[1];
    const Args args(argv + 2, argv + argc);
    if (const CommandSpec* chosen = findCommand(command)) {
        if (asksForHelp(*chosen, args)) {
            printCommandHelp(*chosen, std::cout);
            return kExitOk;
        }
        return chosen->run(args);
    }
    if (command == "--help" || command == "-h" || command == "help") {
        const CommandSpec* about = args.empty() ? nullptr : findCommand(args.front());
        if (about != nullptr) printCommandHelp(*about, std::cout);
        else printToolHelp(std::cout);
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << "ormacli " << ORMA_VERSION << '\n';
        return kExitOk;
    }
    // For the bash completion (not in the help): the commands, or a command's options.
    if (command == "--completion-words") {
        const CommandSpec* about = args.empty() ? nullptr : findCommand(args.front());
        if (!args.empty() && about == nullptr) return kExitUsage;
        for (const std::string& word : completionWords(about)) std::cout << word << '\n';
        return kExitOk;
    }
    std::cerr << "ormacli: unknown command '" << command << "'\n";
    printToolUsage(std::cerr);
    return kExitUsage;
}

int main(int argc, char** argv) {
    // Beyond a file-size limit a write fails (and is reported below) instead
    // of ending the program with SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    // Tables, SSQs and JSON go to other programs: a decimal point always, even
    // if a library this tool links one day sets the locale from the environment.
    const orma::CLocaleScope cLocale;
    // Ctrl+C or a kill during a save takes the half-written temporary file along.
    orma::removeTemporaryFilesOnSignals();
    const int status = runCommand(argc, argv);
    // Output that never reached its file (a full disk, /dev/full, a closed
    // stream) is a failure, not a success with the rest of the answer lost.
    std::cout.flush();
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (!flushed || std::ferror(stdout) != 0 || !std::cout) {
        std::cerr << "ormacli: writing the output failed"
                  << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
        return status == orma::cli::kExitOk ? orma::cli::kExitDataError : status;
    }
    return status;
}
