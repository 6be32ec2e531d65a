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
    Gef,    ///< *.GEF in any case
    Sheet,  ///< *.csv and *.txt in any case
};

/// Natural order: digit runs compare as numbers (leading zeros ignored, the
/// shorter run first on a tie), other characters case-insensitively; names
/// equal that way fall back to plain byte order, so the order is total.
bool naturalLess(std::string_view a, std::string_view b);

/// The regular files (or links to them) of `directory` that `kind` takes, in
/// natural order of their names; empty when the directory cannot be read.
std::vector<std::filesystem::path> listDirectoryFiles(const std::filesystem::path& directory, ListedFiles kind);

/// The file after `current` in its directory's listing of the same kind (GEF
/// files for a GEF file, sheets for a sheet); nullopt when `current` is the
/// last one or is not in the listing.
std::optional<std::filesystem::path> nextFileInDirectory(const std::filesystem::path& current);

}  // namespace orma
