// Placeholder until the subcommand lands.
#include <iostream>

#include "Commands.h"

namespace orma::cli {

int runToRst(const Args&) {
    std::cerr << "ormacli: this command is not available yet\n";
    return kExitUsage;
}

}  // namespace orma::cli
