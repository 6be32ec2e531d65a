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
// builds a new database and the caller's is replaced only on success. A file
// that ends early, a count beyond the limits, a number that does not scan, a
// non-finite position or scale refuses the whole file,
// naming the line. Lines of any length are read; a text longer than its
// field is cut to the field. A scale of 0.000000 (what "%f" makes of any
// scale below 1:2000000) reads as it is.
//
// Texts are the rest of the line after the key and one blank, so names with
// blanks survive (files written with the single-word rule read the same).
// Files written before profiles kept their scales have no scale lines: the
// line read in their place is the first line of the next record, and such
// profiles get the scales 1:25000 and 1:3333.
//
// The fifth column of a sample line l carries the composite value at grid
// index nABmn + l while l <= ABmx (0 after that, and 0 where the index lies
// beyond the 150 slots); the reader keeps exactly what the writer writes, so
// a file read and written again is byte for byte the same.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/VesDatabase.h"

namespace orma {

/// The largest file the reader takes: a full database (5 x 20 x 200 points
/// with 150 samples) at generous line lengths stays well below it.
inline constexpr std::uintmax_t kMaxVdbFileBytes = 512u * 1024u * 1024u;

struct VdbReadResult {
    bool ok = false;
    int line = 0;        ///< 1-based line of the fault when !ok (0: the file as a whole)
    std::string reason;  ///< what is wrong there, a sentence without the line
};

/// Parses the bytes of a .vdb file (Windows-1250). On success `db` gets the
/// localities of the file (with scales); its selection and file names are not
/// touched. On failure `db` is unchanged.
VdbReadResult parseVdb(std::string_view bytes, VesDatabase& db);

/// The whole file as Windows-1250 bytes. `fileNameLine` is the name written in
/// the first line ("název_souboru: ..."), UTF-8 like every text in memory.
std::string formatVdb(const VesDatabase& db, std::string_view fileNameLine);

/// Reads `path` as parseVdb reads a text, in pieces of a megabyte (a large
/// database is never held whole). Only a regular file of at most
/// kMaxVdbFileBytes is read, opened without waiting (a pipe never blocks).
/// On failure the message (naming the file and the line) is in `message` and
/// `db` is unchanged; a file that cannot be opened gives kVdbCannotOpen.
bool readVdbFile(const std::string& path, VesDatabase& db, std::string& message);

/// Writes the database to a new file `path` (never replacing an existing
/// one): the text goes, a megabyte at a time, to a temporary file in the same
/// directory, which is flushed to the disk and only then given its name
/// (io/SafeFile.h), so a save that fails midway leaves no file that could pass
/// for a database. False on any failure.
bool writeVdbFile(const VesDatabase& db, const std::string& path);

inline constexpr const char* kVdbCannotOpen = "Cannot open input file.";

}  // namespace orma
