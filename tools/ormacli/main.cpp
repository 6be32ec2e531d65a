// ormacli: the headless tool over the sounding files and the interpretation engine.

#include <iostream>
#include <string_view>

#include "Commands.h"

namespace {

constexpr std::string_view kUsage =
    "usage: ormacli show FILE [--record N] [--reference R] [--json]\n"
    "       ormacli to-rst INPUT OUTPUT [--record N] [--operator S] [--locality S]\n"
    "                      [--point N] [--profile N] [--append]\n"
    "       ormacli forward --rho R0,R1,... --depth D0,D1,... [--kmin K] [--kmax K] [--json]\n"
    "       ormacli fit FILE [--record N] --rho ... --depth ... [--fix-rho i,...]\n"
    "                   [--fix-depth i,...] [--fix-thickness i,...] [--json]\n"
    "       ormacli db FILE.vdb [--point L/P/K] [--json]\n";

}  // namespace

int main(int argc, char** argv) {
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
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    std::cerr << "ormacli: unknown command '" << command << "'\n" << kUsage;
    return kExitUsage;
}
