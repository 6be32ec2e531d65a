// ormacli interpret on directories of generated soundings, run as the built program.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "SoundingFiles.h"
#include "io/VdbFile.h"
#include "support/SyntheticSoundings.h"
#include "support/CliRun.h"

namespace orma {
namespace {

using orma::test::CliRun;

class OrmacliInterpretTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"interpret"};
    std::string profile = dir.file("pf 7");
    std::vector<LayerModel> earths;

    void SetUp() override { std::filesystem::create_directories(profile); }

    CliRun run(const std::string& arguments) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const int raw = std::system((std::string(ORMA_CLI_PATH) + " " + arguments + " >'" + out + "' 2>'" + err + "'").c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }

    /// Soundings VES<chainage>.GEF over random four-layer earths, 2 % noise;
    /// every third one as a semicolon sheet with decimal commas instead.
    void generate(int count, std::uint32_t seed) {
        std::mt19937 rng(seed);
        for (int i = 0; i < count; ++i) {
            earths.push_back(test::randomEarth(4, rng));
            const std::string gef = test::syntheticGefText(earths.back(), rng);
            const std::string name = "VES" + std::to_string(100 + 25 * i);
            if (i % 3 != 2) {
                test::writeBytes(profile + "/" + name + ".GEF", gef);
                continue;
            }
            // The same readings as a sheet: AB/2, MN/2, rhoa and the branch.
            std::istringstream lines(gef);
            std::string line, sheet = "AB/2;MN/2;rhoa;branch\r\n";
            for (int n = 0; std::getline(lines, line); ++n) {
                if (n < 4) continue;
                std::istringstream numbers(line);
                std::string c[13];
                for (std::string& v : c) numbers >> v;
                std::string row = c[7] + ";" + c[9] + ";" + c[2] + ";" + c[11] + "\r\n";
                for (char& ch : row) ch = ch == '.' ? ',' : ch;
                sheet += row;
            }
            test::writeBytes(profile + "/" + name + ".csv", sheet);
        }
    }
    std::string path(const std::string& name) { return "'" + dir.file(name) + "'"; }
};

TEST_F(OrmacliInterpretTest, AutomaticFitsMatchFitsFromTheTrueModelsAndTheDatabaseHoldsEveryPoint) {
    constexpr int kSoundings = 20;
    generate(kSoundings, 77);
    const CliRun interpreted =
        run("interpret '" + profile + "' --layers 4 --vdb " + path("pf.vdb") + " --csv " + path("summary.csv"));
    ASSERT_EQ(interpreted.status, 0) << interpreted.err;
    EXPECT_NE(interpreted.err.find("20 of 20: "), std::string::npos) << interpreted.err;

    // The summary, line by line in natural order, against fits from the true models.
    std::istringstream summary(test::readBytes(dir.file("summary.csv")));
    std::string line;
    std::getline(summary, line);
    EXPECT_EQ(line, "file,chainage (m),layers,rho1 (ohm.m),rho2 (ohm.m),rho3 (ohm.m),rho4 (ohm.m),depth1 (m),"
                    "depth2 (m),depth3 (m),SSQ,linearisations\r");
    int good = 0;
    for (int i = 0; i < kSoundings; ++i) {
        ASSERT_TRUE(std::getline(summary, line));
        const std::string name = "VES" + std::to_string(100 + 25 * i) + (i % 3 == 2 ? ".csv" : ".GEF");
        ASSERT_EQ(line.rfind(name + "," + std::to_string(100 + 25 * i) + ",4,", 0), 0u) << line;
        const double automaticSsq = std::stod(line.substr(line.rfind(',', line.rfind(',') - 1) + 1));
        const LayerModel& e = earths[static_cast<std::size_t>(i)];
        std::ostringstream truth;
        truth << " --rho " << e.resistivity[0] << "," << e.resistivity[1] << "," << e.resistivity[2] << ","
              << e.resistivity[3] << " --depth " << e.depth[0] << "," << e.depth[1] << "," << e.depth[2];
        const CliRun reference = run("fit '" + profile + "/" + name + "'" + truth.str() + " --json");
        ASSERT_EQ(reference.status, 0) << reference.err;
        good += automaticSsq <= 1.5 * nlohmann::json::parse(reference.out)["ssq"].get<double>();
    }
    std::printf("good automatic fits in the directory: %d of %d\n", good, kSoundings);
    EXPECT_GE(good, kSoundings * 9 / 10);

    // The database the section window opens: one profile, every point with its model.
    VesDatabase db;
    std::string message;
    ASSERT_TRUE(readVdbFile(dir.file("pf.vdb"), db, message)) << message;
    ASSERT_EQ(db.localities.size(), 1u);
    const Profile& p = db.localities[0].profiles.at(0);
    EXPECT_EQ(p.name, "pf 7");
    ASSERT_EQ(p.points.size(), static_cast<std::size_t>(kSoundings));
    for (int i = 0; i < kSoundings; ++i) {
        const VesPoint& point = p.points[static_cast<std::size_t>(i)];
        EXPECT_EQ(point.name, "VES" + std::to_string(100 + 25 * i));
        EXPECT_EQ(point.profileChainage, 100.0f + 25.0f * static_cast<float>(i));
        EXPECT_EQ(point.MDLmx, 3);
        EXPECT_EQ(point.MNmx, 3);
        EXPECT_GT(point.Mermx, 30);
        EXPECT_GT(point.resistivity[3], 0.0f);
    }
}

TEST_F(OrmacliInterpretTest, BrokenFilesAreSkippedAndListedAndAnExistingDatabaseGetsANumberedCopy) {
    generate(3, 5);
    test::writeBytes(profile + "/VES900.GEF", "not\r\na\r\nGEF\r\nfile\r\nx y z\r\n");
    test::writeBytes(profile + "/notes.txt", "surveyed in rain\n");
    test::writeBytes(dir.file("pf.vdb"), "someone's database");
    const CliRun interpreted = run("interpret '" + profile + "' --layers 3 --vdb " + path("pf.vdb"));
    EXPECT_EQ(interpreted.status, 1);
    EXPECT_NE(interpreted.err.find("3 of 5 soundings interpreted"), std::string::npos) << interpreted.err;
    EXPECT_NE(interpreted.err.find("\n  VES900.GEF: The GEF file cannot be read from line 5 on"),
              std::string::npos) << interpreted.err;
    EXPECT_NE(interpreted.err.find("  notes.txt: The sheet cannot be read"), std::string::npos) << interpreted.err;
    EXPECT_EQ(test::readBytes(dir.file("pf.vdb")), "someone's database");
    VesDatabase db;
    std::string message;
    ASSERT_TRUE(readVdbFile(dir.file("pf.vdb_1"), db, message)) << message;
    EXPECT_EQ(db.localities[0].profiles[0].points.size(), 3u);

    // A summary is never written over a file.
    test::writeBytes(dir.file("taken.csv"), "mine");
    EXPECT_EQ(run("interpret '" + profile + "' --layers 3 --csv " + path("taken.csv")).status, 1);
    EXPECT_EQ(test::readBytes(dir.file("taken.csv")), "mine");
    EXPECT_EQ(run("interpret '" + profile + "' --layers 0").status, 2);
    EXPECT_EQ(run("interpret " + path("nowhere") + " --layers 3").status, 1);
}

}  // namespace
}  // namespace orma
