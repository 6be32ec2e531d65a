// The show and to-rst subcommands, run as the built program.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "SoundingFiles.h"

namespace orma {
namespace {

using nlohmann::json;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

class OrmacliFilesTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"cli"};

    CliRun run(const std::string& arguments) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const std::string command = std::string(ORMA_CLI_PATH) + " " + arguments + " >" + out + " 2>" + err;
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }
    std::string quoted(const std::string& path) { return "'" + path + "'"; }

    std::string gefFile() {
        const std::string path = dir.file("ves 12.GEF");
        std::vector<test::GefReading> readings;
        const double ab2[] = {1.0, 1.3, 1.68, 2.18, 2.82, 3.66, 4.74, 6.15, 6.15, 7.97, 10.3, 13.4, 17.4, 22.5};
        for (int i = 0; i < 14; ++i) {
            const int branch = i < 8 ? 1 : 2;
            readings.push_back({40.0 + 7.3 * i * (branch == 2 ? 1.4 : 1.0), ab2[i], branch == 1 ? 0.5 : 2.0, branch, 3});
        }
        readings.push_back({80.0, 7.97, 0.5, 1, 2});  // branch 1 overlaps branch 2 on two rows
        test::writeBytes(path, test::gefText("11.07.2023 08:15", readings));
        return path;
    }
};

TEST_F(OrmacliFilesTest, ShowJsonHasExactlyTheDocumentedKeys) {
    const CliRun shown = run("show " + quoted(gefFile()) + " --json");
    ASSERT_EQ(shown.status, 0) << shown.err;
    const json j = json::parse(shown.out);
    std::vector<std::string> keys;
    for (const auto& item : j.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"branchCount", "branchMn2", "composite", "date", "locality",
                                              "maxGridIndex", "messages", "minGridIndex", "operatorName",
                                              "pointNumber", "points", "profileNumber", "shifted"}));
    EXPECT_EQ(j["date"], "11.07.2023");
    EXPECT_EQ(j["points"].size(), 15u);
    EXPECT_EQ(j["points"][1]["ab2"], 1.3);
    for (const char* key : {"ab2", "mn2", "rhoA", "sValue", "branch", "gridIndex"}) {
        EXPECT_TRUE(j["points"][0].contains(key)) << key;
    }
    EXPECT_EQ(j["branchMn2"], json({0.5, 2.0, -999.0, -999.0, -999.0}));
    EXPECT_EQ(j["shifted"].size(), 5u);
    EXPECT_EQ(j["shifted"][1].size(), 6u) << "branch 2 has six grid rows";
    EXPECT_EQ(j["composite"][10]["k"], 10);
    EXPECT_EQ(j["composite"][10]["ab2"], 13.4);
    EXPECT_TRUE(j["messages"].empty());

    const CliRun table = run("show " + quoted(gefFile()));
    EXPECT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("11.07.2023"), std::string::npos);
}

TEST_F(OrmacliFilesTest, ExitStatusSeparatesUsageFromDataErrors) {
    EXPECT_EQ(run("show").status, 2);
    EXPECT_EQ(run("show x.GEF --record").status, 2);
    EXPECT_EQ(run("show x.GEF --reference 9").status, 2);
    EXPECT_EQ(run("show x.GEF --colour").status, 2);
    EXPECT_EQ(run("to-rst only-one.GEF").status, 2);
    EXPECT_EQ(run("to-rst a.GEF b.RST --point ten").status, 2);

    const CliRun missing = run("show " + quoted(dir.file("none.GEF")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1) << missing.err;

    const std::string text = dir.file("notes.txt");
    test::writeBytes(text, "hello");
    EXPECT_EQ(run("show " + quoted(text)).status, 1);
    const std::string garbage = dir.file("garbage.gef");
    test::writeBytes(garbage, "a\nb\nc\nd\nno numbers here\n");
    EXPECT_EQ(run("show " + quoted(garbage)).status, 1);
}

TEST_F(OrmacliFilesTest, ToRstThenShowGivesTheSameCurveAndBranches) {
    const std::string gef = gefFile();
    const std::string rst = dir.file("out.rst");
    const CliRun written = run("to-rst " + quoted(gef) + " " + quoted(rst) +
                            " --operator 'Jan Novák' --locality 'Horní Ves' --point 340 --profile 2");
    ASSERT_EQ(written.status, 0) << written.err;

    const json before = json::parse(run("show " + quoted(gef) + " --json").out);
    const CliRun shown = run("show " + quoted(rst) + " --json");
    ASSERT_EQ(shown.status, 0) << shown.err;
    const json after = json::parse(shown.out);
    EXPECT_EQ(after["operatorName"], "Jan Novák");
    EXPECT_EQ(after["locality"], "Horní Ves");
    EXPECT_EQ(after["pointNumber"], 340);
    EXPECT_EQ(after["profileNumber"], 2);
    EXPECT_EQ(after["date"], "11.07.2023");
    EXPECT_EQ(after["branchCount"], before["branchCount"]);
    EXPECT_EQ(after["branchMn2"], before["branchMn2"]);
    EXPECT_EQ(after["minGridIndex"], before["minGridIndex"]);
    EXPECT_EQ(after["maxGridIndex"], before["maxGridIndex"]);
    ASSERT_EQ(after["composite"].size(), before["composite"].size());
    for (std::size_t i = 0; i < before["composite"].size(); ++i) {
        const json& a = after["composite"][i];
        const json& b = before["composite"][i];
        EXPECT_EQ(a["k"], b["k"]);
        EXPECT_EQ(a["ab2"], b["ab2"]);
        // Six decimals on the file, a float in memory: equal to float precision.
        EXPECT_NEAR(a["rho"].get<double>(), b["rho"].get<double>(), 2e-6 * b["rho"].get<double>()) << "row " << i;
    }

    const std::string original = test::readBytes(rst);
    const CliRun refused = run("to-rst " + quoted(gef) + " " + quoted(rst));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("exists"), std::string::npos);
    EXPECT_EQ(test::readBytes(rst), original);

    ASSERT_EQ(run("to-rst " + quoted(rst) + " " + quoted(rst) + " --append --point 360").status, 0);
    const json second = json::parse(run("show " + quoted(rst) + " --record 1 --json").out);
    EXPECT_EQ(second["pointNumber"], 360);
    EXPECT_EQ(second["operatorName"], "Jan Novák");
    EXPECT_EQ(second["composite"].size(), before["composite"].size());
    EXPECT_EQ(test::readBytes(rst).rfind(original + "\r\nn Jan Nov\xE1k\r\n", 0), 0u);
    EXPECT_EQ(run("show " + quoted(rst) + " --record 2").status, 1);
}

}  // namespace
}  // namespace orma
