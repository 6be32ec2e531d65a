#pragma once
// Unattended interpretation of a whole profile: every GEF file and field
// sheet of a directory is read as the window reads it (shift onto branch 2),
// given an automatic starting model and fitted (core/AutomaticStart.h), and
// the results become one profile of a new database and a summary table.
//
// Soundings are interpreted in parallel on worker threads, each with its own
// fit workspace; the reports of progress come one at a time, in the order the
// soundings finish.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/AutomaticStart.h"
#include "core/ComputationOptions.h"
#include "core/VesDatabase.h"

namespace orma {

struct InterpretedSounding {
    std::string path;
    std::string fileName;            ///< without the directory
    bool interpreted = false;        ///< fitted; false: skipped, `reason` says why
    std::string reason;
    std::string notStored;           ///< fitted but left out of the database: why (profileDatabase)
    std::vector<std::string> messages;  ///< what the reader and the shift had to say
    int chainage = 0;                ///< from the file name
    AutomaticFit fit;
    VesPoint point;                  ///< valid when interpreted
};

struct ProfileInterpretationOptions {
    int layers = 4;
    ComputationOptions computation;
    unsigned threads = 0;  ///< 0: one per core of the machine
};

/// Called after each sounding with the number finished so far and the total.
using InterpretationProgress = std::function<void(std::size_t done, std::size_t total, const InterpretedSounding&)>;

/// Reads, starts and fits every file; one result per file, in the order given.
/// A file that cannot be read, whose name gives no point number, or whose fit
/// is refused is skipped with its reason. The point of an interpreted file:
/// its name without the extension, the GEF date, the chainage from the file
/// name as chainage on the profile, along the terrain and X (Y and Z 0), the
/// model and curves, and the comment "automatic interpretation, N layers".
std::vector<InterpretedSounding> interpretSoundingFiles(const std::vector<std::string>& files,
                                                        const ProfileInterpretationOptions& options,
                                                        const InterpretationProgress& progress = {});

/// The database of the interpreted soundings, in order of chainage (ties by
/// file name): profiles of at most 200 points named `profileName`,
/// `profileName`-2, `profileName`-3 ..., twenty to a locality (named the same
/// way: `profileName`, `profileName`-2 ...). A second sounding at a chainage
/// already taken, and soundings beyond a full database (5 localities of 20
/// profiles), are left out with their reason in `notStored`. Each profile's
/// scales show it about 800 pixels wide and its interfaces down to the
/// deepest (no deeper than the largest AB/2) about 500 pixels high in the
/// section window.
VesDatabase profileDatabase(std::vector<InterpretedSounding>& results, const std::string& profileName);

/// The summary table: one line per interpreted file (file, chainage, layers,
/// resistivities, depths, SSQ, linearisations), then one '#' line per
/// skipped file with its reason and one per interpreted file left out of the
/// database. UTF-8 with CR LF.
std::string interpretationSummaryCsv(const std::vector<InterpretedSounding>& results, int layers);

/// `path` when no file of that name exists, otherwise the first free
/// numbered copy (a.vdb -> a.vdb_1, a.vdb_2 ...).
std::string freeDatabaseName(const std::string& path);

}  // namespace orma
