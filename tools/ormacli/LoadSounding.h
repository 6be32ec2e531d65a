#pragma once
// Loading one sounding from a file for the subcommands, the way the
// interpretation window loads it.

#include <memory>
#include <string>
#include <vector>

#include "core/Sounding.h"

namespace orma::cli {

/// Reads a .GEF, .RST or field sheet (.csv, .txt) file (extension case-insensitive; RST record `record`), resets the
/// record for the new curve and shifts onto `reference`. The window's messages (dropped or
/// merged readings, where the readings stopped, branches without overlap) are appended to
/// `messages` and each printed on stderr as "ormacli: FILE: message", also when the file
/// fails. On failure returns nullptr after a last line on stderr saying why.
std::unique_ptr<Sounding> loadSounding(const std::string& path, int record, int reference,
                                       std::vector<std::string>& messages);

/// Prints messages[from..] on stderr, one line each, prefixed with the file.
void printMessages(const std::string& path, const std::vector<std::string>& messages, std::size_t from = 0);

}  // namespace orma::cli
