#pragma once
// The files of one directory in the order a file manager shows them: names
// compared with their runs of digits as numbers (VES2 before VES10), so that
// "the next file" of a profile's directory is the next sounding.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orma {

/// Which files a listing takes.
enum class ListedFiles {
    Gef,           ///< *.GEF in any case
    Sheet,         ///< *.csv and *.txt in any case
    GefAndSheets,  ///< both
};

/// An entry whose name a listing takes but which is no file to read: a
/// directory, a pipe, a socket or device, a link to nothing.
struct SkippedDirectoryEntry {
    std::filesystem::path path;
    std::string reason;  ///< "a directory, not a file", ...
};

struct DirectoryListing {
    std::vector<std::filesystem::path> files;   ///< regular files (or links to them), in natural order
    std::vector<SkippedDirectoryEntry> skipped;  ///< in natural order
    std::string problem;  ///< why the directory could not be listed; empty when it was
};

/// Natural order: digit runs compare as numbers (leading zeros ignored, the
/// shorter run first on a tie), other characters case-insensitively; names
/// equal that way fall back to plain byte order, so the order is total.
bool naturalLess(std::string_view a, std::string_view b);

/// The entries of `directory` whose names `kind` takes: the regular files (or
/// links to them), and the others with the reason they are not read.
DirectoryListing listDirectory(const std::filesystem::path& directory, ListedFiles kind);

/// The files of listDirectory; empty when the directory cannot be read.
std::vector<std::filesystem::path> listDirectoryFiles(const std::filesystem::path& directory, ListedFiles kind);

/// The file after `current` in its directory's listing of the same kind (GEF
/// files for a GEF file, sheets for a sheet); nullopt when `current` is the
/// last one or is not in the listing.
std::optional<std::filesystem::path> nextFileInDirectory(const std::filesystem::path& current);

}  // namespace orma
