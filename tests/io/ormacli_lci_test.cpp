// ormacli lci, run as the built program: a profile of the sample database
// fitted jointly into a new database, and what it refuses.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "SoundingFiles.h"
#include "io/VdbFile.h"
#include "support/FileBytes.h"
#include "support/OutcomeAssertions.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

using nlohmann::json;

struct LciRun {
    int status;
    std::string out;
    std::string err;
};

class OrmacliLciTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"clilci"};
    const std::string sample =
        std::string(ORMA_SOURCE_DIR) + "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb";

    LciRun run(const std::string& arguments) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const std::string command =
            std::string(ORMA_CLI_PATH) + " lci " + arguments + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }

    static VesDatabase read(const std::string& path) {
        VesDatabase db;
        EXPECT_TRUE(test::succeeded(readVdbFile(path, db)));
        return db;
    }
};

TEST_F(OrmacliLciTest, FitsTheSampleProfileJointlyIntoANewDatabase) {
    const std::string out = dir.file("joint.vdb");
    const LciRun result = run("'" + sample + "' --profile 0/0 --out '" + out + "' --json");
    ASSERT_EQ(result.status, 0) << result.err;
    // The three points of five layers are named and left out.
    for (const char* name : {"VES 250", "VES 450", "VES 650"})
        EXPECT_NE(result.err.find(std::string("The VES point ") + name + " has a model of 5 layers, not 4"),
                  std::string::npos)
            << result.err;

    const json j = json::parse(result.out);
    EXPECT_EQ(j["layers"], 4);
    EXPECT_EQ(j["points"].size(), 9u);
    EXPECT_EQ(j["leftOut"].size(), 3u);
    EXPECT_EQ(j["dataErrorEstimated"], true);
    EXPECT_LT(j["constraintMisfit"].get<double>(), j["constraintMisfitBefore"].get<double>());
    EXPECT_LT(j["totalSsq"].get<double>(), 1.5 * j["totalSsqBefore"].get<double>());

    const VesDatabase before = read(sample);
    const VesDatabase after = read(out);
    const Profile& was = before.localities[0].profiles[0];
    const Profile& now = after.localities[0].profiles[0];
    ASSERT_EQ(now.points.size(), was.points.size());
    double ssq = 0.0;
    for (std::size_t i = 0; i < now.points.size(); ++i) {
        const VesPoint& a = was.points[i];
        const VesPoint& b = now.points[i];
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.rhoA, a.rhoA);
        EXPECT_EQ(b.composite, a.composite);
        if (a.MDLmx != 3) {
            EXPECT_EQ(b.resistivity, a.resistivity) << a.name;
            EXPECT_EQ(b.depth, a.depth) << a.name;
            continue;
        }
        ssq += b.ssq;
        EXPECT_EQ(b.MDLmx, 3);
        // A held half-space stays held at its value.
        if (a.resistivity[3] < 0.0f) {
            EXPECT_EQ(b.resistivity[3], a.resistivity[3]) << a.name;
        }
        EXPECT_NE(b.depth[2], a.depth[2]) << a.name;
    }
    EXPECT_NEAR(ssq, j["totalSsq"].get<double>(), 1e-5);
    // The other profiles of the file are copied as they were.
    EXPECT_EQ(after.localities[1].profiles[0].points[2].depth,
              before.localities[1].profiles[0].points[2].depth);
}

TEST_F(OrmacliLciTest, RefusesWithoutTouchingAnyFile) {
    const std::string taken = dir.file("taken.vdb");
    test::writeBytes(taken, "keep me");
    LciRun result = run("'" + sample + "' --profile 0/0 --out '" + taken + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("already exists"), std::string::npos) << result.err;
    EXPECT_EQ(test::readBytes(taken), "keep me");

    const std::string out = dir.file("new.vdb");
    EXPECT_EQ(run("'" + sample + "' --profile 0/0").status, 2);
    EXPECT_EQ(run("'" + sample + "' --profile 0/0 --out '" + out + "' --lateral-rho 1").status, 2);
    EXPECT_EQ(run("'" + sample + "' --profile 0/0 --out '" + out + "' --layers 1").status, 2);
    EXPECT_EQ(run("'" + sample + "' --profile 0/9 --out '" + out + "'").status, 1);

    // A profile whose points have no model needs the layer count.
    VesDatabase bare = test::makeDatabase(1, 1, 3, 12, 4);
    for (VesPoint& p : bare.localities[0].profiles[0].points) p.MDLmx = 0;
    const std::string barePath = dir.file("bare.vdb");
    ASSERT_TRUE(writeVdbFile(bare, barePath));
    result = run("'" + barePath + "' --profile 0/0 --out '" + out + "'");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("--layers N"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace orma
