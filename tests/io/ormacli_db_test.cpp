// ormacli db, run as the built program on database files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "SoundingFiles.h"
#include "io/VdbFile.h"
#include "support/VesDatabaseBuilders.h"
#include "support/CliRun.h"

namespace orma {
namespace {

using nlohmann::json;

using orma::test::CliRun;

class OrmacliDbTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"clidb"};

    CliRun run(const std::string& arguments) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const std::string command = std::string(ORMA_CLI_PATH) + " db " + arguments + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }

    std::string databaseFile() {
        VesDatabase db = test::makeDatabase(2, 2, 3, 6, 3);
        VesPoint& p = db.localities[1].profiles[0].points[2];
        p.name = "VES 12 jih";
        p.resistivity[1] = -120.0f;
        p.depth[0] = -1.5f;
        const std::string path = dir.file("pf data.vdb");
        if (!std::filesystem::exists(path)) {
            EXPECT_TRUE(writeVdbFile(db, path));
        }
        return "'" + path + "'";
    }
};

TEST_F(OrmacliDbTest, ListsLocalitiesProfilesAndPoints) {
    const std::string file = databaseFile();
    const CliRun text = run(file);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("locality 1: L1  (country: country 1, region: region 1)  profiles: 2"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("profile 1/0: P1.0  points: 3  scale X 1:1000  scale Z 1:500"), std::string::npos);
    EXPECT_NE(text.out.find("2\tVES 12 jih\t"), std::string::npos);

    const CliRun listing = run(file + " --json");
    ASSERT_EQ(listing.status, 0) << listing.err;
    const json j = json::parse(listing.out);
    ASSERT_EQ(j["localities"].size(), 2u);
    const json& point = j["localities"][1]["profiles"][0]["points"][2];
    EXPECT_EQ(point["name"], "VES 12 jih");
    EXPECT_EQ(point["layers"], 3);
    EXPECT_EQ(point["profileChainage"], 85.0);  // the ninth made-up point
    EXPECT_EQ(point["terrainChainage"], 85.5);
    EXPECT_EQ(point["z"], 301.0);
    EXPECT_EQ(point["ssq"], 0.08);
    EXPECT_EQ(j["localities"][0]["profiles"][1]["xScale"], 0.002);
}

TEST_F(OrmacliDbTest, OnePointWithSamplesCompositeAndModel) {
    const CliRun result = run(databaseFile() + " --point 1/0/2 --json");
    ASSERT_EQ(result.status, 0) << result.err;
    const json j = json::parse(result.out);
    EXPECT_EQ(j["name"], "VES 12 jih");
    ASSERT_EQ(j["samples"].size(), 6u);
    EXPECT_EQ(j["samples"][5]["branch"], 2);
    EXPECT_EQ(j["samples"][0]["ab2"], 1.68);
    ASSERT_EQ(j["composite"].size(), 6u);  // grid rows 2..7
    EXPECT_EQ(j["composite"][0]["k"], 2);
    ASSERT_EQ(j["model"].size(), 3u);
    EXPECT_EQ(j["model"][1]["resistivity"], 120.0);
    EXPECT_EQ(j["model"][1]["resistivityFixed"], true);
    EXPECT_EQ(j["model"][0]["depthFixed"], true);
    EXPECT_EQ(j["model"][0]["depth"], 1.5);
    EXPECT_FALSE(j["model"][2].contains("depth")) << "the half-space has no bottom";

    const CliRun text = run(databaseFile() + " --point 1/0/2");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("2\t120.000000*\t"), std::string::npos) << text.out;
}

TEST_F(OrmacliDbTest, UsageAndDataErrorsHaveTheirExitCodes) {
    const std::string file = databaseFile();
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run(file + " --point 1/0").status, 2);
    EXPECT_EQ(run(file + " --point a/b/c").status, 2);
    EXPECT_EQ(run(file + " --frobnicate").status, 2);

    const CliRun missingPoint = run(file + " --point 1/0/3");
    EXPECT_EQ(missingPoint.status, 1);
    EXPECT_NE(missingPoint.err.find("profile 1/0 has 3 points"), std::string::npos) << missingPoint.err;

    const CliRun missingFile = run(dir.file("none.vdb"));
    EXPECT_EQ(missingFile.status, 1);
    EXPECT_NE(missingFile.err.find("Cannot open input file."), std::string::npos);

    test::writeBytes(dir.file("bad.vdb"), "n\r\nmxindex_lokalit: 0\r\nl\r\nc\r\nr\r\nmxindex_profilu: 77");
    const CliRun bad = run(dir.file("bad.vdb"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("Line 6 of"), std::string::npos) << bad.err;
    EXPECT_TRUE(bad.out.empty());
}

TEST_F(OrmacliDbTest, TheSampleDatabaseListsEveryProfile) {
    const CliRun result = run(std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb --json");
    ASSERT_EQ(result.status, 0) << result.err;
    const json j = json::parse(result.out);
    ASSERT_GE(j["localities"].size(), 2u);
    ASSERT_GE(j["localities"][0]["profiles"].size(), 2u);
    const json& first = j["localities"][0]["profiles"][0]["points"];
    EXPECT_EQ(first.size(), 12u);  // the sample profile's soundings
    EXPECT_EQ(first[0]["name"], "VES 100");
    EXPECT_EQ(j["localities"][0]["name"], "Údolí u Hrádku");
}

}  // namespace
}  // namespace orma
