// ormacli forward and fit, run as the user runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "EngineFixtures.h"
#include "support/CliRun.h"

namespace orma {
namespace {

using orma::test::CliRun;
using orma::test::runCli;

TEST(OrmacliForward, PrintsTheCurveOnTheGrid) {
    const CliRun run = runCli("forward --rho 10,100 --depth 1 --json");
    ASSERT_EQ(run.status, 0);
    const auto rows = nlohmann::json::parse(run.out).at("computedRho");
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[9].at("k"), 9);
    EXPECT_NEAR(rows[9].at("ab2").get<double>(), 10.3269, 1e-4);
    EXPECT_NEAR(rows[9].at("rho").get<double>(), 55.1, 0.05);
    EXPECT_NEAR(rows[27].at("rho").get<double>(), 99.9, 0.05);

    const CliRun range = runCli("forward --rho 10,100,20 --depth 1,10 --kmin 12 --kmax 12");
    EXPECT_EQ(range.status, 0);
    EXPECT_NE(range.out.find("54.9"), std::string::npos) << range.out;
}

TEST(OrmacliForward, UsageErrors) {
    for (const char* arguments : {"forward", "forward --rho 10,100", "forward --rho 10,x --depth 1",
                                  "forward --rho 10,100 --depth 1,2", "forward --rho 10,100 --depth 1 --kmax 99",
                                  "forward --rho 10,100 --depth 1 --kmin 9 --kmax 3",
                                  "forward --rho 10,-1 --depth 1", "forward --rho 10,20,30 --depth 5,2",
                                  "forward --rho 10 --wrong"}) {
        EXPECT_EQ(runCli(arguments).status, 2) << arguments;
    }
}

class OrmacliFit : public ::testing::Test {
protected:
    std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("orma_engine_" + std::to_string(::getpid()) + ".RST");

    /// An RST record of the H-type curve 200, 20, 500 ohm-m at 3 m and 18 m, one branch.
    void SetUp() override {
        auto s = test::soundingWithModel({200, 20, 500}, {3, 18}, 0, 26);
        computeForward(*s);
        std::ofstream out(file, std::ios::binary);
        out << "n tester\r\nb 1\r\np 1\r\nl here\r\nd today";
        char line[128];
        for (int k = 0; k <= 26; ++k) {
            std::snprintf(line, sizeof line, "\r\nr %f s0 a%f m%f", s->computedRho[k], abGridValue(k), 2.0);
            out << line;
        }
    }
    void TearDown() override { std::filesystem::remove(file); }
};

TEST_F(OrmacliFit, FitsTheCompositeOfAFile) {
    const CliRun run = runCli("fit " + file.string() + " --rho 150,30,400 --depth 2,22 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto result = nlohmann::json::parse(run.out);
    const double rho[] = {200, 20, 500};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(result.at("resistivity")[i].get<double>(), rho[i], rho[i] * 0.01);
    EXPECT_NEAR(result.at("depth")[0].get<double>(), 3.0, 0.03);
    EXPECT_NEAR(result.at("depth")[1].get<double>(), 18.0, 0.18);
    EXPECT_EQ(result.at("start").at("depth")[1], 22.0);
    EXPECT_LT(result.at("ssq").get<double>() * 1000, result.at("start").at("ssq").get<double>());
    // Every linearisation accepts one step, except a last one in which no
    // damping level helped.
    const int linearisations = result.at("linearisations").get<int>();
    const int fruitless = result.at("status") == "no further improvement" ? 1 : 0;
    EXPECT_GT(linearisations, 1);
    EXPECT_EQ(result.at("acceptedSteps").get<int>(), linearisations - fruitless);
}

TEST_F(OrmacliFit, HoldsTheNamedValues) {
    const CliRun run =
        runCli("fit " + file.string() + " --rho 150,30,400 --depth 2,22 --fix-rho 0 --fix-depth 1 --json");
    ASSERT_EQ(run.status, 0);
    const auto result = nlohmann::json::parse(run.out);
    EXPECT_EQ(result.at("resistivity")[0], 150.0);
    EXPECT_EQ(result.at("depth")[1], 22.0);
}

TEST_F(OrmacliFit, ReportsUsageAndFileErrors) {
    EXPECT_EQ(runCli("fit " + file.string() + " --rho 150,30,400 --depth 2,22 --fix-depth 2").status, 2);
    EXPECT_EQ(runCli("fit " + file.string() + " --rho 150,30,400 --depth 2,22 --fix-rho 3").status, 2);
    EXPECT_EQ(runCli("fit " + file.string() + " --depth 2,22").status, 2);
    EXPECT_EQ(runCli("fit /nonexistent/nothing.RST --rho 150,30,400 --depth 2,22").status, 1);
}

}  // namespace
}  // namespace orma
