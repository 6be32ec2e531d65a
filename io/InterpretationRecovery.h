#pragma once
// The recovery copy of the interpretation window's own work: a curve and
// model that are in no database yet (a GEF file interpreted but not
// transferred, a curve typed in). After every completed change the window
// writes it as a small database of one point, "interpretation.recovery.vdb"
// in the user's state folder beside the databases' recovery copies; a
// transfer, a discard or a new curve from a file removes it. A copy still
// there at the next start is what a crash or a power cut left.
//
// One copy for the program: two programs running at once share it, and the
// later change wins. The point keeps what a stored point keeps (readings,
// composite curve, model with its fix flags); its name is the curve's file
// name, so that the chainage proposed at the transfer is the same as before.

#include <filesystem>
#include <optional>
#include <string>

#include "core/Outcome.h"
#include "core/Sounding.h"
#include "core/VesDatabase.h"

namespace orma {

// Not "*.recovery.vdb": the databases' copies are found by that ending.
inline constexpr const char* kInterpretationRecoveryName = "interpretation-recovery.vdb";

/// The copy's path in `directory` (the state folder by default).
std::filesystem::path interpretationRecoveryPath(const std::filesystem::path& directory);

/// Writes `sounding` as the copy at `path`, whole or not at all; the folder is
/// made when missing.
Outcome writeInterpretationRecovery(const Sounding& sounding, const std::filesystem::path& path);

/// A copy found at the start.
struct RecoveredInterpretation {
    VesPoint point;
    std::string savedAt;  ///< local time of its last write, "2024-06-11 14:02"
};

/// Reads the copy at `path`: nullopt without a message when there is none,
/// nullopt with `message` set when it cannot be read.
std::optional<RecoveredInterpretation> readInterpretationRecovery(const std::filesystem::path& path,
                                                                  std::string& message);

/// Removes the copy; a copy that is not there is no failure.
void removeInterpretationRecovery(const std::filesystem::path& path);

}  // namespace orma
