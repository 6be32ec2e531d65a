#pragma once
// The VES database file (*.vdb): Windows-1250 text, CR LF in front of every
// line but the first (the file does not end with a line break), numbers as
// "%f" and "%i". Nesting: the file name line, the locality count, then per
// locality its three names and profile count, per profile its name and point
// count, per point four texts, the position line, the SSQ line, the counts
// line, the sample table and the model table, and after each profile's points
// its two scale lines.
//
// Reading never changes the database unless the whole file read well: it
// builds a new database and the caller's is replaced only on success. The
// whole file is refused, naming the line, when it ends before its counts are
// fulfilled or holds more after them, when a count lies beyond the limits, a
// number does not scan, a line is longer than 64 KiB, or a value is not one
// a database holds (io/VdbValueRules.h): a number that is not finite
// anywhere, a model value of 0 or beyond the model limits, a branch number
// beyond 5, a scale of 0 or below. A text longer than its field is cut to
// the field.
//
// Texts are the rest of the line after the key and one blank, so names with
// blanks survive (files written with the single-word rule read the same).
// The file is Windows-1250, unless it starts with the UTF-8 byte-order mark
// or is valid UTF-8 holding letters beyond ASCII (a file saved by a text
// editor): then it is read as UTF-8. The program writes Windows-1250 only.
//
// Files written before profiles kept their scales have no scale lines at
// all: the line read in their place is the first line of the next record, and
// such profiles get the scales 1:25000 and 1:3333. The first profile tells
// which layout a file has; a file with scale lines that lacks them after any
// profile was cut or damaged and is refused.
//
// Numbers are written with six decimals where these read back as the same
// float, with as many more as it takes where they do not (a scale of
// 1:17204), so a database saved and opened again is the same database.
//
// An interface's model line may carry two more numbers: the least and the
// greatest depth the interface takes over the equivalent models of a global
// fit (core/VesDatabase.h, DepthRange). The header line stays as it was, and
// readers that take two numbers per model line (older versions of this
// program among them) skip them, so such a file opens everywhere; it is
// written only for the interfaces that have a range. A model line with three
// numbers, or more than four, is refused, as is a range that is not a pair
// of depths above 0 in order; the half-space's line carries no range (what
// follows its two numbers is skipped, as always).
//
// The fifth column of a sample line l carries the composite value at grid
// index nABmn + l while l <= ABmx (0 after that, and 0 where the index lies
// beyond the 150 slots); the reader keeps exactly what the writer writes, so
// a file read and written again is byte for byte the same.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/Outcome.h"
#include "core/VesDatabase.h"

namespace orma {

/// The largest file the reader takes: a full database (5 x 20 x 200 points
/// with 150 samples) at generous line lengths stays well below it.
inline constexpr std::uintmax_t kMaxVdbFileBytes = 512u * 1024u * 1024u;

/// A refused text says what is wrong (`message`, a sentence without the
/// line) and where.
struct [[nodiscard]] VdbReadResult : Outcome {
    int line = 0;  ///< 1-based line of the fault when !ok (0: the file as a whole)

    static VdbReadResult refusedAt(int line, std::string reason) {
        VdbReadResult result;
        result.ok = false;
        result.message = std::move(reason);
        result.line = line;
        return result;
    }
};

/// Parses the bytes of a .vdb file (Windows-1250). On success `db` gets the
/// localities of the file (with scales); its selection and file names are not
/// touched. On failure `db` is unchanged.
VdbReadResult parseVdb(std::string_view bytes, VesDatabase& db);

/// The whole file as Windows-1250 bytes. `fileNameLine` is the name written in
/// the first line ("název_souboru: ..."), UTF-8 like every text in memory.
/// A letter the code page cannot hold becomes "?": writeVdbFile (and every
/// save) asks checkVdbWritable first.
std::string formatVdb(const VesDatabase& db, std::string_view fileNameLine);

/// Whether the database can be written so that it opens again as it is: a
/// text holding a letter that Windows-1250 cannot hold, or a value the
/// reader refuses, fails with kVdbCannotCreate and a cause naming the text
/// and letter (or the point and value). The file name line is not checked:
/// the reader ignores it.
Outcome checkVdbWritable(const VesDatabase& db);

/// Reads `path` as parseVdb reads a text, in pieces of a megabyte (a large
/// database is never held whole). Only a regular file of at most
/// kMaxVdbFileBytes is read, opened without waiting (a pipe never blocks).
/// On failure the message names the file and the line, and `db` is
/// unchanged; a file that cannot be opened gives kVdbCannotOpen.
Outcome readVdbFile(const std::string& path, VesDatabase& db);

/// Writes the database to a new file `path` (never replacing an existing
/// one): the text goes, a megabyte at a time, to a temporary file in the same
/// directory, which is flushed to the disk and only then given its name
/// (io/SafeFile.h), so a save that fails midway leaves no file that could pass
/// for a database. A failure carries kVdbCannotCreate and its cause (the
/// system's reason naming the file, or what checkVdbWritable found).
Outcome writeVdbFile(const VesDatabase& db, const std::string& path);

inline constexpr const char* kVdbCannotOpen = "Cannot open input file.";

}  // namespace orma
