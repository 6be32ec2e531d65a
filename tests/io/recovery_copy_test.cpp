// The recovery copy of a database with unsaved changes: where it goes, what
// it holds, that each database has its own and an earlier run's copy is
// never written over, and which copies are found again at start.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "SoundingFiles.h"
#include "io/RecoveryCopy.h"
#include "io/VdbFile.h"
#include "support/FileBytes.h"
#include "support/OutcomeAssertions.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

int filesIn(const fs::path& dir) {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) n += entry.is_regular_file() ? 1 : 0;
    return n;
}

void touch(const fs::path& path, std::chrono::seconds age) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

/// Sets an environment variable for the scope, then puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old != nullptr) old_ = old;
        ::setenv(name, value, 1);
    }
    ~ScopedVariable() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(RecoveryCopy, TheStateFolderFollowsXdgStateHomeOrHome) {
    ScopedVariable home("HOME", "/home/geo");
    {
        ScopedVariable state("XDG_STATE_HOME", "/var/tmp/st");
        EXPECT_EQ(recoveryDirectory(), fs::path("/var/tmp/st/orma"));
    }
    ScopedVariable state("XDG_STATE_HOME", "relative/st");  // not absolute: ignored
    EXPECT_EQ(recoveryDirectory(), fs::path("/home/geo/.local/state/orma"));
}

TEST(RecoveryCopy, AnyDatabaseNameSurvivesTheFirstLine) {
    for (const std::string& name : {std::string("/home/geo/profil 7.vdb"), std::string("/data/Řež/100% ok.vdb_3"),
                                   std::string("/tmp/a\rb\x7f.vdb"), std::string()}) {
        const std::string text = recoveryOriginText(name);
        for (const char c : text) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "plain ASCII only: " << text;
        EXPECT_EQ(databaseFromOriginText(text), name);
    }
    EXPECT_FALSE(databaseFromOriginText("%4"));
    EXPECT_FALSE(databaseFromOriginText("%zz"));
    EXPECT_FALSE(databaseFromOriginText("caf\xc3\xa9"));
}

TEST(RecoveryCopy, WritesTheWholeDatabaseBesideNothingButItsOwnCopy) {
    ScratchDir scratch("recovery_write");
    const fs::path state = fs::path(scratch.file("state"));
    VesDatabase db = test::makeDatabase(2, 2, 5);
    db.fileName = scratch.file("profil.vdb");
    RecoveryCopy copy(state);
    ASSERT_TRUE(copy.write(db));
    const fs::path first = copy.path();
    EXPECT_EQ(first.parent_path(), state);
    EXPECT_EQ(first.filename().string().rfind("profil-", 0), 0u) << first;
    EXPECT_EQ((fs::status(state).permissions() & (fs::perms::group_all | fs::perms::others_all)), fs::perms::none);
    EXPECT_FALSE(fs::exists(db.fileName)) << "never the database itself";

    // A change replaces the copy: still one file, holding the new contents.
    db.localities[1].profiles[1].points[3].name = "changed";
    ASSERT_TRUE(copy.write(db));
    EXPECT_EQ(copy.path(), first);
    EXPECT_EQ(filesIn(state), 1);
    VesDatabase back;
    ASSERT_TRUE(test::succeeded(readVdbFile(first.string(), back)));
    EXPECT_EQ(back.localities[1].profiles[1].points[3].name, "changed");
    EXPECT_EQ(formatVdb(back, "x"), formatVdb(db, "x"));

    // Saved under a new name (a.vdb_1): the copy follows, the old one goes.
    db.fileName = scratch.file("profil.vdb_1");
    ASSERT_TRUE(copy.write(db));
    EXPECT_NE(copy.path(), first);
    EXPECT_FALSE(fs::exists(first));
    EXPECT_EQ(filesIn(state), 1);
    copy.remove();
    EXPECT_EQ(filesIn(state), 0);
    EXPECT_TRUE(copy.path().empty());
}

TEST(RecoveryCopy, AnEarlierRunsCopyIsNeverWrittenOver) {
    ScratchDir scratch("recovery_earlier");
    const fs::path state = fs::path(scratch.file("state"));
    VesDatabase crashed = test::makeDatabase(1, 1, 3);
    crashed.fileName = scratch.file("p.vdb");
    RecoveryCopy earlier(state);
    ASSERT_TRUE(earlier.write(crashed));
    const std::string left = test::readBytes(earlier.path().string());

    VesDatabase now = test::makeDatabase(1, 1, 1);
    now.fileName = crashed.fileName;
    RecoveryCopy later(state);
    ASSERT_TRUE(later.write(now));
    EXPECT_NE(later.path(), earlier.path());
    EXPECT_EQ(test::readBytes(earlier.path().string()), left);
    later.remove();
    EXPECT_EQ(test::readBytes(earlier.path().string()), left);

    // A copy taken over is replaced by the next write, not written beside.
    RecoveryCopy adopted(state);
    adopted.adopt(earlier.path(), crashed.fileName);
    ASSERT_TRUE(adopted.write(now));
    EXPECT_EQ(adopted.path(), earlier.path());
    EXPECT_EQ(filesIn(state), 1);
}

TEST(RecoveryCopy, StartFindsTheCopiesNewerThanTheirDatabasesNewestFirst) {
    ScratchDir scratch("recovery_find");
    const fs::path state = fs::path(scratch.file("state"));
    const auto leave = [&](const std::string& name, bool databaseExists, std::chrono::seconds copyAge,
                           std::chrono::seconds databaseAge) {
        VesDatabase db = test::makeDatabase(1, 1, 2);
        db.fileName = scratch.file(name);
        if (databaseExists) {
            test::writeBytes(db.fileName, "db");
            touch(db.fileName, databaseAge);
        }
        RecoveryCopy copy(state);
        EXPECT_TRUE(copy.write(db));
        touch(copy.path(), copyAge);
        return copy.path();
    };
    const fs::path older = leave("older.vdb", true, std::chrono::seconds(600), std::chrono::seconds(60));
    const fs::path newer = leave("newer ř.vdb", true, std::chrono::seconds(60), std::chrono::seconds(600));
    const fs::path gone = leave("gone.vdb", false, std::chrono::seconds(30), {});
    test::writeBytes((state / "notes.txt").string(), "not a copy");
    test::writeBytes((state / "stray.recovery.vdb").string(), "no first line of ours");

    const std::vector<FoundRecoveryCopy> found = findRecoveryCopies(state);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].copy, gone);
    EXPECT_EQ(found[0].database, scratch.file("gone.vdb"));
    EXPECT_EQ(found[1].copy, newer);
    EXPECT_EQ(found[1].database, scratch.file("newer ř.vdb"));
    EXPECT_EQ(found[1].savedAt.size(), 16u) << found[1].savedAt;  // 2024-06-11 14:02
    EXPECT_TRUE(fs::exists(older)) << "a copy older than its database is left alone";
    EXPECT_TRUE(findRecoveryCopies(state / "missing").empty());
}

}  // namespace
}  // namespace orma
