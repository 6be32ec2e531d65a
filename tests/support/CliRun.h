#pragma once
// ormacli run as a user runs it, through the shell.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace orma::test {

struct CliRun {
    int status;  ///< the exit status, -1 when ormacli did not exit normally
    std::string out;
    std::string err;
};

/// ormacli with `arguments` (shell words); its standard output captured, its
/// error output dropped.
inline CliRun runCli(const std::string& arguments) {
    const std::string command = std::string(ORMA_CLI_PATH) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, {}};
}

}  // namespace orma::test
