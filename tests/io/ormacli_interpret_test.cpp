// ormacli interpret on directories of generated soundings, run as the built program.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "SoundingFiles.h"
#include "io/VdbFile.h"
#include "support/CliRun.h"
#include "support/OutcomeAssertions.h"
#include "support/SyntheticSoundings.h"

namespace orma {
namespace {

using orma::test::CliRun;

class OrmacliInterpretTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"interpret"};
    std::string profile = dir.file("pf 7");
    std::vector<LayerModel> earths;

    void SetUp() override { std::filesystem::create_directories(profile); }

    /// ormacli run in the scratch directory.
    CliRun run(const std::string& arguments) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const int raw = std::system(("cd '" + dir.file("") + "' && " + ORMA_CLI_PATH + " " + arguments + " >'" + out +
                                     "' 2>'" + err + "'")
                                        .c_str());
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

    /// The summary's rows (header first) split into cells, '#' lines left out.
    static std::vector<std::vector<std::string>> rows(const std::string& csv) {
        std::vector<std::vector<std::string>> table;
        std::istringstream lines(csv);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            std::vector<std::string>& cells = table.emplace_back();
            std::istringstream parts(line);
            std::string cell;
            while (std::getline(parts, cell, ',')) cells.push_back(cell);
            if (line.back() == ',') cells.emplace_back();
        }
        return table;
    }
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
    ASSERT_TRUE(test::succeeded(readVdbFile(dir.file("pf.vdb"), db)));
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

TEST_F(OrmacliInterpretTest, GlobalFitsStoreEachDepthRangeAndMoreLayersNeverFitWorse) {
    generate(5, 41);
    const CliRun three = run("interpret '" + profile + "' --layers 3 --global 12 --csv " + path("three.csv"));
    ASSERT_EQ(three.status, 0) << three.err;
    const CliRun four = run("interpret '" + profile + "' --layers 4 --global 12 --vdb " + path("pf.vdb") +
                            " --csv " + path("four.csv"));
    ASSERT_EQ(four.status, 0) << four.err;
    const auto threeRows = rows(test::readBytes(dir.file("three.csv")));
    const auto fourRows = rows(test::readBytes(dir.file("four.csv")));
    const std::vector<std::string> header = {
        "file", "chainage (m)", "layers", "rho1 (ohm.m)", "rho2 (ohm.m)", "rho3 (ohm.m)", "rho4 (ohm.m)",
        "depth1 (m)", "depth2 (m)", "depth3 (m)", "SSQ", "linearisations", "equivalent models",
        "depth1 min (m)", "depth1 max (m)", "depth2 min (m)", "depth2 max (m)", "depth3 min (m)", "depth3 max (m)"};
    ASSERT_EQ(fourRows.at(0), header);
    ASSERT_EQ(threeRows.size(), 6u);
    ASSERT_EQ(fourRows.size(), 6u);

    VesDatabase db;
    ASSERT_TRUE(test::succeeded(readVdbFile(dir.file("pf.vdb"), db)));
    const Profile& stored = db.localities.at(0).profiles.at(0);
    for (std::size_t i = 1; i < fourRows.size(); ++i) {
        const std::vector<std::string>& row = fourRows[i];
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[0], threeRows[i][0]);
        // The four layers start where three ended: never a worse fit.
        EXPECT_LE(std::stod(row[10]), std::stod(threeRows[i][8]) * (1 + 1e-5)) << row[0];
        EXPECT_GE(std::stoi(row[12]), 1) << "the best model is one of the equivalent models";
        const VesPoint& point = stored.points.at(i - 1);
        for (int k = 0; k < 3; ++k) {
            const double depth = std::stod(row[7 + static_cast<std::size_t>(k)]);
            const double least = std::stod(row[13 + 2 * static_cast<std::size_t>(k)]);
            const double greatest = std::stod(row[14 + 2 * static_cast<std::size_t>(k)]);
            EXPECT_LE(least, depth) << row[0] << " interface " << k + 1;
            EXPECT_GE(greatest, depth) << row[0] << " interface " << k + 1;
            // The database point carries the same range.
            EXPECT_EQ(point.depthRange[static_cast<std::size_t>(k)], (DepthRange{static_cast<float>(least),
                                                                                 static_cast<float>(greatest)}));
        }
    }
}

TEST_F(OrmacliInterpretTest, TheJointFitOfTheProfileGoesIntoTheSummaryAndTheDatabase) {
    generate(6, 43);
    const CliRun alone = run("interpret '" + profile + "' --layers 3 --global 8 --csv " + path("alone.csv"));
    ASSERT_EQ(alone.status, 0) << alone.err;
    const CliRun joint = run("interpret '" + profile + "' --layers 3 --global 8 --lci --lateral-depth 1.1 --vdb " +
                             path("pf.vdb") + " --csv " + path("joint.csv"));
    ASSERT_EQ(joint.status, 0) << joint.err;
    EXPECT_NE(joint.err.find("profile pf 7 fitted jointly: 6 points"), std::string::npos) << joint.err;
    const auto table = rows(test::readBytes(dir.file("joint.csv")));
    const auto own = rows(test::readBytes(dir.file("alone.csv")));
    ASSERT_EQ(table.size(), 7u);
    ASSERT_EQ(own.size(), 7u);
    EXPECT_EQ(table[0].back(), "SSQ alone");
    EXPECT_EQ(table[0][10], "equivalent models");
    VesDatabase db;
    ASSERT_TRUE(test::succeeded(readVdbFile(dir.file("pf.vdb"), db)));
    const Profile& stored = db.localities.at(0).profiles.at(0);
    double jointJumps = 0, ownJumps = 0;
    for (std::size_t i = 1; i < table.size(); ++i) {
        const std::vector<std::string>& row = table[i];
        const VesPoint& point = stored.points.at(i - 1);
        // The summary shows the joint model the database holds, with its SSQ,
        // and the SSQ of the sounding's own fit.
        EXPECT_FLOAT_EQ(std::stof(row[3]), std::fabs(point.resistivity[0]));
        EXPECT_FLOAT_EQ(std::stof(row[6]), std::fabs(point.depth[0]));
        EXPECT_FLOAT_EQ(std::stof(row[8]), point.ssq);
        EXPECT_EQ(row.back(), own[i][8]);
        // The ranges of the points' own global fits do not belong to the joint models.
        EXPECT_EQ(row[11], "");
        EXPECT_FALSE(point.hasDepthRanges());
        if (i > 1) {
            jointJumps += std::fabs(std::log(std::stod(row[6]) / std::stod(table[i - 1][6])));
            ownJumps += std::fabs(std::log(std::stod(own[i][6]) / std::stod(own[i - 1][6])));
        }
    }
    // Tied to their neighbours, the interfaces jump less from point to point.
    EXPECT_LT(jointJumps, ownJumps);

    for (const char* wrong : {"--seed 3", "--lateral-rho 1.2", "--lci --layers 1", "--lci --lateral-depth 1",
                              "--global -2"}) {
        const std::string arguments = std::string(wrong).find("--layers") == std::string::npos
                                          ? std::string(wrong) + " --layers 3"
                                          : std::string(wrong);
        EXPECT_EQ(run("interpret '" + profile + "' " + arguments).status, 2) << wrong;
    }
}

TEST_F(OrmacliInterpretTest, TheSampleProfileFittedJointlyKeepsCloseToItsOwnFits) {
    // Three of the sample's twelve soundings stand on five layers; fitted with
    // four, their own models lie on another structure than their
    // neighbours'. Started only from the points' own models, the joint fit
    // was pulled into a compromise of 1.6 times their total SSQ.
    const std::string samples = std::string(ORMA_SOURCE_DIR) + "/samples/profile1";
    const CliRun joint = run("interpret '" + samples + "' --layers 4 --lci --csv " + path("joint.csv"));
    ASSERT_EQ(joint.status, 0) << joint.err;
    const auto table = rows(test::readBytes(dir.file("joint.csv")));
    ASSERT_EQ(table.size(), 13u);
    double together = 0.0, alone = 0.0;
    for (std::size_t i = 1; i < table.size(); ++i) {
        together += std::stod(table[i][10]);
        alone += std::stod(table[i].back());
    }
    EXPECT_LE(together, 1.5 * alone);
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
    ASSERT_TRUE(test::succeeded(readVdbFile(dir.file("pf.vdb_1"), db)));
    EXPECT_EQ(db.localities[0].profiles[0].points.size(), 3u);

    // A summary is never written over a file.
    test::writeBytes(dir.file("taken.csv"), "mine");
    EXPECT_EQ(run("interpret '" + profile + "' --layers 3 --csv " + path("taken.csv")).status, 1);
    EXPECT_EQ(test::readBytes(dir.file("taken.csv")), "mine");
    EXPECT_EQ(run("interpret '" + profile + "' --layers 0").status, 2);
    EXPECT_EQ(run("interpret " + path("nowhere") + " --layers 3").status, 1);
}

TEST_F(OrmacliInterpretTest, MoreThanAProfileOfSoundingsFillsFurtherProfilesAndTheSummaryHoldsEveryFit) {
    // 203 soundings of one earth, a copy of the first also at the chainage of the second.
    std::mt19937 rng(11);
    const std::string gef = test::syntheticGefText(test::randomEarth(2, rng), rng);
    for (int i = 0; i < 203; ++i) test::writeBytes(profile + "/VES" + std::to_string(10 * i) + ".GEF", gef);
    test::writeBytes(profile + "/P10.GEF", gef);
    const CliRun interpreted = run("interpret '" + profile + "' --layers 2 --vdb " + path("pf.vdb") + " --csv " +
                                   path("summary.csv"));
    EXPECT_EQ(interpreted.status, 1) << "one sounding is left out of the database";
    EXPECT_NE(interpreted.err.find("204 of 204 soundings interpreted"), std::string::npos) << interpreted.err;
    EXPECT_NE(interpreted.err.find("database written to " + dir.file("pf.vdb") + " (203 points in 2 profiles)"),
              std::string::npos) << interpreted.err;
    EXPECT_NE(interpreted.err.find("not in the database:\n  VES10.GEF: chainage 10 m is taken by P10.GEF\n"),
              std::string::npos) << interpreted.err;
    EXPECT_EQ(interpreted.err.find("at most 200 points"), std::string::npos);

    // Every fitted sounding in the table and in the summary.
    EXPECT_EQ(std::count(interpreted.out.begin(), interpreted.out.end(), '\n'), 1 + 204);
    const std::string summary = test::readBytes(dir.file("summary.csv"));
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1 + 204 + 1);
    EXPECT_NE(summary.find("\r\nVES2020.GEF,2020,2,"), std::string::npos);
    EXPECT_NE(summary.find("\r\n# not in the database,VES10.GEF,chainage 10 m is taken by P10.GEF\r\n"),
              std::string::npos);

    VesDatabase db;
    ASSERT_TRUE(test::succeeded(readVdbFile(dir.file("pf.vdb"), db)));
    ASSERT_EQ(db.localities.size(), 1u);
    const std::vector<Profile>& profiles = db.localities[0].profiles;
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].name, "pf 7");
    EXPECT_EQ(profiles[1].name, "pf 7-2");
    ASSERT_EQ(profiles[0].points.size(), 200u);
    ASSERT_EQ(profiles[1].points.size(), 3u);
    EXPECT_EQ(profiles[0].points[1].name, "P10");
    EXPECT_EQ(profiles[0].points.back().profileChainage, 1990.0f);
    EXPECT_EQ(profiles[1].points.front().profileChainage, 2000.0f) << "in chainage order across the profiles";
    EXPECT_EQ(profiles[1].points.back().name, "VES2020");
}

TEST_F(OrmacliInterpretTest, OutputsAreCheckedBeforeAnyFittingAndTheCsvMayGoToStandardOutput) {
    generate(2, 3);
    test::writeBytes(dir.file("plain"), "a file, not a folder");
    // A directory is no database name: neither DIR.vdb_1 nor a hidden DIR/.vdb_1 is made.
    for (const std::string& target : {dir.file("out"), dir.file("out") + "/"}) {
        std::filesystem::create_directories(dir.file("out"));
        const CliRun refused = run("interpret '" + profile + "' --layers 2 --vdb '" + target + "'");
        EXPECT_EQ(refused.status, 1) << target;
        EXPECT_NE(refused.err.find(" is a directory; --vdb names the database file"), std::string::npos) << refused.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("out.vdb_1")));
        EXPECT_TRUE(std::filesystem::is_empty(dir.file("out")));
    }
    // A database or summary that cannot be made stops the run before the first fit.
    for (const char* option : {"--vdb", "--csv"}) {
        const CliRun refused = run("interpret '" + profile + "' --layers 2 " + option + " " + path("plain/x"));
        EXPECT_EQ(refused.status, 1) << option;
        EXPECT_NE(refused.err.find("No new file can be made in the folder of " + dir.file("plain/x") +
                                   " (Not a directory)."),
                  std::string::npos) << refused.err;
        EXPECT_EQ(refused.err.find(" of 2: "), std::string::npos) << "nothing was fitted: " << refused.err;
    }

    // "-": the summary on standard output instead of the table; no file named "-".
    const CliRun toStdout = run("interpret '" + profile + "' --layers 2 --csv - --vdb " + path("pf.vdb"));
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out.rfind("file,chainage (m),layers,rho1 (ohm.m),rho2 (ohm.m),depth1 (m),SSQ,linearisations\r\n"
                                 "VES100.GEF,100,2,",
                                 0),
              0u) << toStdout.out;
    EXPECT_FALSE(std::filesystem::exists(dir.file("-")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("pf.vdb")));
}

TEST_F(OrmacliInterpretTest, EntriesNamedLikeSoundingsThatAreNoFilesAreListedAsSkipped) {
    generate(2, 9);
    std::filesystem::create_directory(profile + "/VES5.GEF");
    ASSERT_EQ(::mkfifo((profile + "/pipe.GEF").c_str(), 0600), 0);
    std::filesystem::create_symlink(profile + "/gone.csv.target", profile + "/gone.csv");
    const CliRun interpreted = run("interpret '" + profile + "' --layers 2 --csv " + path("summary.csv"));
    EXPECT_EQ(interpreted.status, 1);
    EXPECT_NE(interpreted.err.find("2 of 5 soundings interpreted"), std::string::npos) << interpreted.err;
    EXPECT_NE(interpreted.err.find("skipped:\n"
                                   "  gone.csv: a link to a file that does not exist\n"
                                   "  pipe.GEF: not a regular file (a device, pipe or socket)\n"
                                   "  VES5.GEF: a directory, not a file\n"),
              std::string::npos) << interpreted.err;
    const std::string summary = test::readBytes(dir.file("summary.csv"));
    EXPECT_NE(summary.find("\r\n# skipped,VES5.GEF,\"a directory, not a file\"\r\n"), std::string::npos) << summary;

    // Nothing but such entries: no sounding to interpret, and each is named.
    std::filesystem::remove(profile + "/VES100.GEF");
    std::filesystem::remove(profile + "/VES125.GEF");
    const CliRun empty = run("interpret '" + profile + "' --layers 2");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("no GEF files or sheets"), std::string::npos) << empty.err;
    EXPECT_NE(empty.err.find("  VES5.GEF: a directory, not a file\n"), std::string::npos) << empty.err;
}

}  // namespace
}  // namespace orma
