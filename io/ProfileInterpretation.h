#pragma once
// Unattended interpretation of a whole profile: every GEF file and field
// sheet of a directory is read as the window reads it (shift onto branch 2),
// given an automatic starting model and fitted (core/AutomaticStart.h), and
// the results become one profile of a new database and a summary table.
//
// Soundings are interpreted in parallel on worker threads, each with its own
// fit workspace; the reports of progress come one at a time, in the order the
// soundings finish.
//
// With a global fit (core/GlobalFit.h) every sounding is fitted globally
// layer by layer, from one layer up to the count asked for, and the best
// model of each level, each of its layers split in two (sameEarthSplits: the
// same earth), joins the starts of the next level. Every level thus begins
// where the one below ended and never fits worse; and as the levels below N
// are exactly what `--layers N-1` computes (same seed, one thread per
// sounding), N layers never fit worse than N-1. The point then carries each
// interface's depth range over the equivalent models.

#include <array>
#include <cstdint>
#include <optional>

#include "core/AutomaticStart.h"
#include "core/ComputationOptions.h"
#include "core/GlobalFit.h"
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
    AutomaticFit fit;                ///< of the global fit too (summary: its winner; fitsRun: its starts)
    VesPoint point;                  ///< valid when interpreted
    int equivalentModels = 0;        ///< of a global fit: how many fit as well as the best
    std::array<ValueSpan, kMaxLayers> equivalentSpans{};  ///< of a global fit: each interface's depth span
    /// Where profileDatabase put the point (-1: nowhere).
    int storedLocality = -1, storedProfile = -1, storedPoint = -1;
    /// After a joint fit of its profile (io/ProfileJointFit.h) `point` holds
    /// the joint model with its SSQ (fit.summary keeps the sounding's own fit).
    bool joint = false;
    std::string notJoint;            ///< why it stayed out of the joint fit (empty: not asked, or in it)
};

/// Spread starts of each level of the global fits of a profile (see above):
/// chosen so that a sounding of four layers on 30 rows takes about 50 ms of
/// one core (bench/interpret_bench.cpp); a single `ormacli fit --global`
/// takes 64.
inline constexpr int kDefaultInterpretGlobalStarts = 32;

struct ProfileInterpretationOptions {
    int layers = 4;
    ComputationOptions computation;
    unsigned threads = 0;  ///< 0: one per core of the machine
    /// Set: every sounding is fitted globally with this many spread starts.
    std::optional<int> globalStarts;
    std::uint64_t seed = kDefaultGlobalSeed;
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

/// Columns the summary adds after the standard ones.
struct SummaryColumns {
    /// "equivalent models", then "depthI min (m)" and "depthI max (m)" of
    /// every interface: its least and greatest depth over the equivalent
    /// models of the global fit (empty cells where the point has none).
    bool depthRanges = false;
    /// "SSQ alone": the SSQ of the sounding's own fit; the model and the SSQ
    /// columns then hold the joint fit of the profile.
    bool joint = false;
};

/// The summary table: one line per interpreted file (file, chainage, layers,
/// resistivities, depths, SSQ, linearisations, then the `columns` asked
/// for), then one '#' line per skipped file with its reason, one per
/// interpreted file left out of the database and one per point left out of
/// its profile's joint fit. UTF-8 with CR LF.
std::string interpretationSummaryCsv(const std::vector<InterpretedSounding>& results, int layers,
                                     SummaryColumns columns = {});

/// `path` when no file of that name exists, otherwise the first free
/// numbered copy (a.vdb -> a.vdb_1, a.vdb_2 ...; freeNumberedCopyName),
/// nullopt when there is none.
std::optional<std::string> freeDatabaseName(const std::string& path);

}  // namespace orma
