#pragma once
// The recovery copy of a database with unsaved changes: after every change
// the section window writes the whole database, as a .vdb file, into the
// user's state folder ($XDG_STATE_HOME/orma, by default ~/.local/state/orma),
// never over the database itself. A save or a discard removes it; a copy that
// is still there at the next start is what a crash or a power cut left, and
// the program offers to open it.
//
// Each database file has its own copy, named after the file and a hash of its
// full name ("profil-0123456789abcdef.recovery.vdb"). A copy that an earlier
// run left and that nobody has dealt with yet is never written over: this run
// then writes beside it under "...-2.recovery.vdb". The first line of a copy,
// which the .vdb reader skips, names the database it recovers (its full name
// with '%', control characters and non-ASCII bytes written as %XX, so that
// any name survives the file's code page).
//
// A copy is written through the safe-file helper: a new version replaces the
// old one only when it is complete and on the disk.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/Outcome.h"
#include "core/VesDatabase.h"

namespace orma {

/// $XDG_STATE_HOME/orma when that is an absolute path, otherwise
/// $HOME/.local/state/orma; empty when neither is set.
std::filesystem::path recoveryDirectory();

/// The text that follows the key of the first line of a recovery copy of
/// `database`, and back (nullopt when `text` is no such text). A database
/// that never had a name is the empty text.
std::string recoveryOriginText(const std::string& database);
std::optional<std::string> databaseFromOriginText(const std::string& text);

/// Local time of a copy's last write, "2024-06-11 14:02"; empty when unknown.
std::string recoveryCopyTime(const std::filesystem::path& path);

/// Makes the state folder when missing, readable by the user only.
std::error_code makeRecoveryDirectory(const std::filesystem::path& directory);

/// The recovery copy of the database a window holds.
class RecoveryCopy {
public:
    explicit RecoveryCopy(std::filesystem::path directory = recoveryDirectory());

    /// Writes `db` as the recovery copy of its database file (db.fileName).
    /// The folder is made when missing (readable by the user only).
    Outcome write(const VesDatabase& db);
    /// Removes this run's copy, if any (after a save, or when the changes
    /// were discarded).
    void remove();
    /// Takes over a copy left by an earlier run (the user opened it): later
    /// writes replace it, and a save or discard removes it.
    void adopt(const std::filesystem::path& copy, const std::string& database);

    /// The copy this run writes, empty before the first write.
    const std::filesystem::path& path() const { return current_; }
    const std::filesystem::path& directory() const { return directory_; }

private:
    std::filesystem::path freeName(const std::string& database) const;

    std::filesystem::path directory_;
    std::filesystem::path current_;
    std::string database_;  ///< the database file `current_` belongs to
};

/// A recovery copy found in the state folder.
struct FoundRecoveryCopy {
    std::filesystem::path copy;
    std::string database;  ///< the database file it recovers (it may no longer exist; empty: never named)
    std::string savedAt;   ///< local time of its last write, "2024-06-11 14:02"
};

/// The copies in `directory` that are newer than their database file (or
/// whose database file is gone), newest first. Copies older than their
/// database, and files that are no recovery copies, are left alone.
std::vector<FoundRecoveryCopy> findRecoveryCopies(const std::filesystem::path& directory);

}  // namespace orma
