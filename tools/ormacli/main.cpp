// ormacli: the headless tool over the sounding files and the interpretation engine.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "Commands.h"
#include "io/CLocaleFormat.h"
#include "io/TemporaryFiles.h"

namespace {

constexpr std::string_view kUsage =
    "usage: ormacli show FILE [--record N] [--reference R] [--json] [--csv OUT.csv]\n"
    "       ormacli to-rst INPUT OUTPUT [--record N] [--operator S] [--locality S]\n"
    "                      [--point N] [--profile N] [--append]\n"
    "       ormacli forward [FILE [--record N]] --rho R0,R1,... --depth D0,D1,... [--kmin K] [--kmax K]\n"
    "                       [--accurate] [--measured-spacings] [--json] [--csv OUT.csv]\n"
    "       ormacli fit FILE [--record N] --rho ... --depth ... [--fix-rho i,...]\n"
    "                   [--fix-depth i,...] [--fix-thickness i,...] [--accurate]\n"
    "                   [--measured-spacings] [--converge] [--ranges [FACTOR]] [--json] [--csv OUT.csv]\n"
    "       ormacli db FILE.vdb [--point L/P/K] [--json]\n"
    "       ormacli interpret DIR --layers N [--vdb OUT.vdb] [--csv SUMMARY.csv] [--accurate] [--converge]\n"
    "                         [--threads N]\n"
    "       ormacli ucm FILE.vdb --profile L/P OUT.UCM [--settings orma.ini] [--name-prefix]\n"
    "                   [--chainage-on-profile]\n"
    "       ormacli lci FILE.vdb --profile L/P --out NEW.vdb [--layers N] [--lateral-rho F] [--lateral-depth F]\n"
    "                   [--data-error E] [--accurate] [--measured-spacings] [--threads N] [--json]\n";

}  // namespace

static int runCommand(int argc, char** argv) {
    using namespace orma::cli;
    if (argc < 2) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string_view command = argv[1];
    const Args args(argv + 2, argv + argc);
    if (command == "show") return runShow(args);
    if (command == "to-rst") return runToRst(args);
    if (command == "forward") return runForward(args);
    if (command == "fit") return runFit(args);
    if (command == "db") return runDb(args);
    if (command == "interpret") return runInterpret(args);
    if (command == "ucm") return runUcm(args);
    if (command == "lci") return runLci(args);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    std::cerr << "ormacli: unknown command '" << command << "'\n" << kUsage;
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
