#pragma once
// Subcommands of ormacli. Each takes the arguments after its name and returns
// the exit status: 0 success, 1 file or data error, 2 usage error.

#include <string>
#include <vector>

namespace orma::cli {

using Args = std::vector<std::string>;

int runShow(const Args& args);
int runToRst(const Args& args);
int runForward(const Args& args);
int runFit(const Args& args);
int runDb(const Args& args);
int runInterpret(const Args& args);
int runUcm(const Args& args);
int runLci(const Args& args);

inline constexpr int kExitOk = 0;
inline constexpr int kExitDataError = 1;
inline constexpr int kExitUsage = 2;

}  // namespace orma::cli
