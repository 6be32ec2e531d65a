// Sheets and CSV output through the built ormacli.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "SoundingFiles.h"
#include "support/CliRun.h"

namespace orma {
namespace {

using nlohmann::json;

using orma::test::CliRun;

class OrmacliCsvTest : public ::testing::Test {
protected:
    test::ScratchDir dir{"cli_csv"};

    CliRun run(const std::string& arguments) {
        const std::string out = dir.file("stdout.txt");
        const std::string err = dir.file("stderr.txt");
        const int raw = std::system((std::string(ORMA_CLI_PATH) + " " + arguments + " >" + out + " 2>" + err).c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }

    /// Three branches of a two-layer earth, as a spreadsheet in much of Europe writes them.
    std::string sheet() {
        const std::string path = dir.file("VES 40.csv");
        test::writeBytes(path,
                         "AB/2 [m];MN/2 [m];rho_a [Ohm.m]\r\n1;0,5;101,2\r\n1,3;0,5;104,5\r\n2,18;0,5;118\r\n"
                         "3,66;0,5;151\r\n3,66;2;160\r\n6,15;2;215\r\n10,3;2;276\r\n10,3;10;300\r\n17,4;10;352\r\n"
                         "29,1;10;389\r\n49;10;402\r\n");
        return path;
    }
};

TEST_F(OrmacliCsvTest, FitOfASheetWritesACsvThatShowReadsBackAsTheSameCurve) {
    const std::string input = sheet();
    const std::string output = dir.file("fitted.csv");
    const CliRun fitted = run("fit '" + input + "' --rho 100,400 --depth 3 --csv '" + output + "'");
    ASSERT_EQ(fitted.status, 0) << fitted.err;
    const std::string text = test::readBytes(output);
    EXPECT_NE(text.find("# model,2,"), std::string::npos) << text;
    EXPECT_NE(text.find("AB/2 (m),rhoa measured (ohm.m),rhoa computed (ohm.m)\r\n"), std::string::npos);

    const CliRun original = run("show '" + input + "' --json");
    const CliRun back = run("show '" + output + "' --json");
    ASSERT_EQ(original.status, 0) << original.err;
    ASSERT_EQ(back.status, 0) << back.err;
    const json a = json::parse(original.out)["composite"];
    const json b = json::parse(back.out)["composite"];
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(json::parse(original.out)["branchCount"], 3);
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i]["k"], b[i]["k"]);
        EXPECT_NEAR(a[i]["rho"].get<double>(), b[i]["rho"].get<double>(), 1e-5 * a[i]["rho"].get<double>());
    }
}

TEST_F(OrmacliCsvTest, CsvGoesToANewFileOrToStandardOutput) {
    const std::string input = sheet();
    const std::string taken = dir.file("taken.csv");
    test::writeBytes(taken, "mine");
    const CliRun refused = run("show '" + input + "' --csv '" + taken + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("already exists"), std::string::npos) << refused.err;
    EXPECT_EQ(test::readBytes(taken), "mine");

    const CliRun toStdout = run("forward '" + input + "' --rho 100,400 --depth 3 --csv -");
    ASSERT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out.rfind("# ORMA curve and model\r\n", 0), 0u) << toStdout.out;
    EXPECT_EQ(toStdout.out.find("SSQ ="), std::string::npos);  // only the CSV
}

}  // namespace
}  // namespace orma
