// The list of recent databases and GEF folders: newest first, no entry
// twice, at most eight; a file written whole that round-trips, keeps lines it
// does not know, and is never written over when it could not be read.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/RecentFiles.h"
#include "support/FileBytes.h"

namespace orma {
namespace {

namespace fs = std::filesystem;
using orma::test::readBytes;
using orma::test::writeBytes;

class RecentFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("orma_recent_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file() const { return recentFilesPath(dir_); }
    RecentLists read() const {
        RecentLists lists;
        EXPECT_TRUE(readRecentLists(file(), lists));
        return lists;
    }

    fs::path dir_;
};

TEST(RecentList, TheNewestComesFirstOnceAndTheOldestFallOffAtEight) {
    std::vector<std::string> list;
    for (int n = 0; n < 10; ++n) putFirst(list, "/w/db" + std::to_string(n) + ".vdb");
    ASSERT_EQ(list.size(), kRecentLimit);
    EXPECT_EQ(list.front(), "/w/db9.vdb");
    EXPECT_EQ(list.back(), "/w/db2.vdb");
    putFirst(list, "/w/db5.vdb");  // used again: moves up, no second copy
    EXPECT_EQ(list.front(), "/w/db5.vdb");
    EXPECT_EQ(std::count(list.begin(), list.end(), "/w/db5.vdb"), 1);
    EXPECT_EQ(list.size(), kRecentLimit);
    EXPECT_EQ(list[1], "/w/db9.vdb");
}

TEST(RecentList, TheFileRoundTripsAnyPathAndKeepsLinesItDoesNotKnow) {
    RecentLists lists;
    lists.databases = {"/home/geo/Údolí u Hrádku/pf A.vdb_3", "/x/tab\tin name.vdb", "relative.vdb"};
    lists.gefFolders = {"/data/terén/2024-05", "C:\\měření"};
    lists.otherLines = {"colour-view\tresistivity"};  // a newer version's line
    const std::string text = formatRecentLists(lists);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), std::string(kRecentHeader) + "\r\n");
    EXPECT_NE(text.find("database\t/home/geo/Údolí u Hrádku/pf A.vdb_3\r\n"), std::string::npos);
    EXPECT_NE(text.find("gef-folder\t/data/terén/2024-05\r\n"), std::string::npos);
    const RecentLists back = parseRecentLists(text);
    EXPECT_EQ(back.databases, lists.databases);
    EXPECT_EQ(back.gefFolders, lists.gefFolders);
    EXPECT_EQ(back.otherLines, lists.otherLines);
    EXPECT_EQ(formatRecentLists(back), text);

    // Written by hand: LF line ends, no header, blank lines, a kind without
    // a path, too many entries and the same one twice.
    std::string edited = "database\t/a.vdb\n\ngef-folder\t\ndatabase\t/a.vdb\n";
    for (int n = 0; n < 12; ++n) edited += "database\t/d" + std::to_string(n) + ".vdb\n";
    const RecentLists hand = parseRecentLists(edited);
    ASSERT_EQ(hand.databases.size(), kRecentLimit);
    EXPECT_EQ(hand.databases[0], "/a.vdb");
    EXPECT_EQ(hand.databases[1], "/d0.vdb");
    EXPECT_TRUE(hand.gefFolders.empty());
    EXPECT_EQ(hand.otherLines, std::vector<std::string>{"gef-folder\t"});
}

TEST_F(RecentFilesTest, RememberAndForgetKeepTheOtherKindAndWriteOnlyWhatChanged) {
    EXPECT_TRUE(read().databases.empty()) << "no file yet: empty lists";
    ASSERT_TRUE(rememberRecent(file(), RecentKind::Database, "/w/a.vdb"));
    ASSERT_TRUE(rememberRecent(file(), RecentKind::GefFolder, "/w/gef"));
    ASSERT_TRUE(rememberRecent(file(), RecentKind::Database, "/w/a.vdb_1"));
    EXPECT_EQ(read().databases, (std::vector<std::string>{"/w/a.vdb_1", "/w/a.vdb"}));
    EXPECT_EQ(read().gefFolders, std::vector<std::string>{"/w/gef"});

    // A path with a line break cannot be a line of the file: passed over.
    ASSERT_TRUE(rememberRecent(file(), RecentKind::Database, "/w/two\nlines.vdb"));
    EXPECT_EQ(read().databases.size(), 2u);

    ASSERT_TRUE(forgetRecent(file(), RecentKind::Database, "/w/a.vdb"));
    EXPECT_EQ(read().databases, std::vector<std::string>{"/w/a.vdb_1"});
    EXPECT_EQ(read().gefFolders, std::vector<std::string>{"/w/gef"});
    const std::string before = readBytes(file());
    ASSERT_TRUE(forgetRecent(file(), RecentKind::GefFolder, "/never/listed"));
    EXPECT_EQ(readBytes(file()), before);
}

TEST_F(RecentFilesTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    // Too large to be a list of this program.
    const std::string big(kMaxRecentFileBytes + 1, 'x');
    writeBytes(file().string(), big);
    const Outcome remembered = rememberRecent(file(), RecentKind::Database, "/w/a.vdb");
    EXPECT_FALSE(remembered);
    EXPECT_EQ(remembered.message, "The list of recent files could not be saved.");
    EXPECT_NE(remembered.cause.find(file().string()), std::string::npos) << remembered.cause;
    EXPECT_EQ(readBytes(file()), big);
    RecentLists lists;
    EXPECT_FALSE(readRecentLists(file(), lists));
    EXPECT_TRUE(lists.databases.empty());

    // A folder in its place.
    fs::remove(file());
    fs::create_directory(file());
    EXPECT_FALSE(rememberRecent(file(), RecentKind::GefFolder, "/w/gef"));
    EXPECT_TRUE(fs::is_directory(file()));
}

TEST_F(RecentFilesTest, AnEntryThatIsGoneIsNamedWithWhatBecomesOfIt) {
    const fs::path database = dir_ / "a.vdb";
    writeBytes(database.string(), "x");
    EXPECT_EQ(goneRecentEntry(RecentKind::Database, database.string()), std::nullopt);
    EXPECT_EQ(goneRecentEntry(RecentKind::GefFolder, dir_.string()), std::nullopt);
    EXPECT_EQ(goneRecentEntry(RecentKind::Database, (dir_ / "b.vdb").string()),
              "The database " + (dir_ / "b.vdb").string() +
                  " is not there any more. It is taken off the list of recent databases.");
    // A folder where the database was, a file where the folder was.
    EXPECT_NE(goneRecentEntry(RecentKind::Database, dir_.string()), std::nullopt);
    EXPECT_EQ(goneRecentEntry(RecentKind::GefFolder, database.string()),
              "The folder " + database.string() +
                  " is not there any more. It is taken off the list of recent GEF folders.");
}

}  // namespace
}  // namespace orma
