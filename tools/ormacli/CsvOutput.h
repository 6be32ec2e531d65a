#pragma once
// --csv OUT for show, forward and fit: the curve and model as one CSV file
// (io/CurveModelCsv.h). "-" writes it to standard output instead of the
// usual output; a file that exists already is never written over.

#include <string>

#include "core/Sounding.h"
#include "io/CurveModelCsv.h"

namespace orma::cli {

/// Before any work: false (after a message naming the command) when `target`
/// already exists.
bool csvTargetIsFree(const std::string& command, const std::string& target);

/// Writes the file (or standard output for "-"); returns the exit status.
int writeCsvOutput(const std::string& command, const std::string& target, const Sounding& sounding,
                   CurveCsvParts parts, const std::string& soundingName);

}  // namespace orma::cli
