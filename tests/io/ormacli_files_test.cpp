// The show and to-rst subcommands, run as the built program.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "SoundingFiles.h"
#include "support/CliRun.h"

namespace orma {
namespace {

using nlohmann::json;

using orma::test::CliRun;

class OrmacliFilesTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"cli"};

    CliRun run(const std::string& arguments) { return runWith("", arguments, "stdout.txt"); }

    /// ormacli run by a shell after `setup` (e.g. "ulimit -f 1"), its
    /// standard output going to `out` (a file of the scratch directory, or
    /// a path such as /dev/full).
    CliRun runWith(const std::string& setup, const std::string& arguments, const std::string& out) {
        const std::string outPath = out.front() == '/' ? out : dir.file(out);
        const std::string err = dir.file("stderr.txt");
        const std::string command = "bash -c '" + setup + (setup.empty() ? "" : "; ") + "exec " + ORMA_CLI_PATH +
                                    " \"$@\"' ormacli " + arguments + " >" + outPath + " 2>" + err;
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out.front() == '/' ? "" : test::readBytes(outPath),
                test::readBytes(err)};
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

TEST_F(OrmacliFilesTest, ReadingsMergedAcrossSpacingsAreSaidOnStderrAndInJson) {
    const std::string sheet = dir.file("VES 7.csv");
    test::writeBytes(sheet, "ab2,mn2,rhoa\n10,1,100\n20,1,110\n220,1,230\n240,1,327\n260,1,324\n");
    const CliRun shown = run("show " + quoted(sheet) + " --json");
    ASSERT_EQ(shown.status, 0) << shown.err;
    const json j = json::parse(shown.out);
    ASSERT_EQ(j["messages"].size(), 1u) << j["messages"];
    const std::string message = j["messages"][0];
    EXPECT_NE(message.find("readings 3, 4, 5 at AB/2 = 220, 240, 260 m"), std::string::npos) << message;
    EXPECT_NE(shown.err.find("ormacli: " + sheet + ": " + message), std::string::npos) << shown.err;
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

TEST_F(OrmacliFilesTest, FilesThatAreNoSoundingFilesAreRefusedWithTheirReason) {
    std::filesystem::create_directory(dir.file("d.GEF"));
    std::filesystem::create_directory(dir.file("d.RST"));
    ASSERT_EQ(::mkfifo(dir.file("p.GEF").c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"show " + quoted(dir.file("d.GEF")), "d.GEF is a directory, not a file."},
        {"show " + quoted(dir.file("d.RST")), "d.RST is a directory, not a file."},
        {"to-rst " + quoted(dir.file("d.GEF")) + " " + quoted(dir.file("out.rst")), "is a directory"},
        {"show " + quoted(dir.file("p.GEF")), "p.GEF is not a regular file"},
    };
    for (const auto& [arguments, reason] : cases) {
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, 1) << arguments << ": " << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << arguments << ": " << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.rst")));
}

TEST_F(OrmacliFilesTest, ReaderAndShiftMessagesReachStderrAndTheJson) {
    const std::string gef = dir.file("bad.GEF");
    std::vector<test::GefReading> readings = {{100, 1.0, 0.5, 1}, {0, 1.3, 0.5, 1},  {120, 1.68, 0.5, 1},
                                              {130, 10.3, 2, 2},  {140, 13.4, 2, 2}, {150, 150, 2, 2}};
    test::writeBytes(gef, test::gefText("d", readings));
    const std::string zero = "apparent resistivity of zero or below were left out: reading 2";
    const std::string noOverlay = "Between branch 1 and 2 no overlay!";
    const std::string aboveRange = "reading 6 (AB/2 = 150 m, MN/2 = 2 m, grid point 20)";

    const CliRun shown = run("show " + quoted(gef) + " --json");
    ASSERT_EQ(shown.status, 0) << shown.err;
    for (const std::string& part : {zero, noOverlay, aboveRange}) {
        EXPECT_NE(shown.err.find(part), std::string::npos) << part << " in " << shown.err;
        EXPECT_NE(shown.out.find(part), std::string::npos) << part;
    }
    const CliRun converted = run("to-rst " + quoted(gef) + " " + quoted(dir.file("out.rst")));
    ASSERT_EQ(converted.status, 0) << converted.err;
    for (const std::string& part : {zero, noOverlay, aboveRange}) {
        EXPECT_NE(converted.err.find(part), std::string::npos) << part << " in " << converted.err;
    }

    // A file that fails still says what the reader found on its way.
    test::writeBytes(gef, test::gefText("d", {{0, 1.0, 0.5, 1}, {0, 1.3, 0.5, 1}}));
    const CliRun failed = run("show " + quoted(gef));
    EXPECT_EQ(failed.status, 1);
    EXPECT_NE(failed.err.find("reading 1 (AB/2 = 1 m, MN/2 = 0.5 m, rhoA = 0), reading 2"), std::string::npos)
        << failed.err;
    EXPECT_NE(failed.err.find("reading error"), std::string::npos) << failed.err;
}

TEST_F(OrmacliFilesTest, FailedWritesLeaveNoBrokenRecordAndNoFileOutsideRst) {
    const std::string gef = gefFile();
    const std::string rst = dir.file("b.rst");
    ASSERT_EQ(run("to-rst " + quoted(gef) + " " + quoted(rst)).status, 0);
    const std::string before = test::readBytes(rst);

    // The next record does not fit under the limit: it is refused whole.
    const CliRun limited = runWith("ulimit -f 1", "to-rst " + quoted(gef) + " " + quoted(rst) + " --append", "o.txt");
    EXPECT_EQ(limited.status, 1);
    EXPECT_NE(limited.err.find("Writing RST file failed. " + rst + ": File too large."), std::string::npos)
        << limited.err;
    EXPECT_EQ(test::readBytes(rst), before);
    EXPECT_EQ(run("show " + quoted(rst) + " --record 1").status, 1) << "no second record";

    const CliRun fresh = runWith("ulimit -f 0", "to-rst " + quoted(gef) + " " + quoted(dir.file("new.rst")), "o.txt");
    EXPECT_EQ(fresh.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.rst")));

    // Appending to the instrument file given by mistake changes nothing.
    const std::string gefBytes = test::readBytes(gef);
    const CliRun mistaken = run("to-rst " + quoted(gef) + " " + quoted(gef) + " --append");
    EXPECT_EQ(mistaken.status, 1);
    EXPECT_NE(mistaken.err.find("is not an RST file"), std::string::npos) << mistaken.err;
    EXPECT_EQ(test::readBytes(gef), gefBytes);
}

TEST_F(OrmacliFilesTest, OutputThatCannotBeWrittenIsAFailure) {
    const std::string gef = gefFile();
    for (const std::string& command : {"show " + quoted(gef), "show " + quoted(gef) + " --json",
                                      std::string("forward --rho 10,100 --depth 5")}) {
        const CliRun full = runWith("", command, "/dev/full");
        EXPECT_EQ(full.status, 1) << command;
        EXPECT_NE(full.err.find("ormacli: writing the output failed"), std::string::npos) << full.err;
    }
    const CliRun cut = runWith("ulimit -f 1", "show " + quoted(gef) + " --json", "cut.json");
    EXPECT_EQ(cut.status, 1) << "JSON cut off by the limit";
}

}  // namespace
}  // namespace orma
