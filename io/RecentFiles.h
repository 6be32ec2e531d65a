#pragma once
// The databases and GEF folders a user worked with last, so that the day's
// work is one click away at the next start (Database > "Recent databases" in
// the section window, File > "Recent GEF folders" in the interpretation
// window).
//
// They are kept in a small file of their own, "ormarecent.ini", beside the
// two settings files in the working directory, rather than in orma.ini:
// orma.ini is read by line position in a fixed twelve-line layout and is
// written only by End, while a list of recent files must survive the close
// box and a crash, so it is written whenever it changes. Older versions of
// the program never look at the new file. Its layout:
//
//     ORMA recent databases and GEF folders
//     database<TAB>/home/geo/profil-A.vdb_3
//     gef-folder<TAB>/home/geo/terén/2024-05
//
// newest first, at most kRecentLimit of each kind. Paths are kept as the
// file system names them (UTF-8 on Linux), not in Windows-1250: a name the
// code page cannot hold would otherwise point nowhere. CR LF after every
// line, read from either line end; lines of a kind this version does not
// know are kept as they are, so a newer version's entries survive.
//
// No Qt, no exceptions.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/Outcome.h"

namespace orma {

inline constexpr const char* kRecentFileName = "ormarecent.ini";
inline constexpr const char* kRecentHeader = "ORMA recent databases and GEF folders";
inline constexpr std::size_t kRecentLimit = 8;
/// The file is tiny; anything larger is not this program's and is left alone.
inline constexpr std::uint64_t kMaxRecentFileBytes = 256u * 1024u;

enum class RecentKind { Database, GefFolder };

/// The file below `directory` (the working directory at start-up).
std::filesystem::path recentFilesPath(const std::filesystem::path& directory);

/// The lines of the file: the known kinds newest first, and whatever else
/// it held.
struct RecentLists {
    std::vector<std::string> databases;
    std::vector<std::string> gefFolders;
    std::vector<std::string> otherLines;  ///< kept, in order, below the known ones

    std::vector<std::string>& of(RecentKind kind) {
        return kind == RecentKind::Database ? databases : gefFolders;
    }
    const std::vector<std::string>& of(RecentKind kind) const {
        return kind == RecentKind::Database ? databases : gefFolders;
    }
};

/// `entry` first in `list`, no second copy further down, at most
/// kRecentLimit entries.
void putFirst(std::vector<std::string>& list, const std::string& entry);

/// The whole file as written.
std::string formatRecentLists(const RecentLists& lists);
/// The lists a file's bytes hold; a line that is no entry is kept as other.
RecentLists parseRecentLists(const std::string& bytes);

/// Reads the file; a missing one gives empty lists. A file that cannot be
/// read (a directory, too large, no permission) fails with the cause.
Outcome readRecentLists(const std::filesystem::path& file, RecentLists& lists);

/// Puts `entry` first in the list of `kind` and writes the file whole. An
/// entry holding a line break cannot be kept and is passed over. A file that
/// could not be read is not written over.
Outcome rememberRecent(const std::filesystem::path& file, RecentKind kind, const std::string& entry);
/// Takes `entry` off the list of `kind` (a file or folder that is gone).
Outcome forgetRecent(const std::filesystem::path& file, RecentKind kind, const std::string& entry);

/// When a recent entry cannot be opened any more (a database that is no
/// regular file, a folder that is no folder): the sentence that says so and
/// that it leaves the list. nullopt when it is there.
std::optional<std::string> goneRecentEntry(RecentKind kind, const std::string& entry);

}  // namespace orma
