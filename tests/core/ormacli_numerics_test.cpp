// ormacli forward and fit with the accurate filter, the measured spacings,
// fits until converged and parameter ranges; values a model cannot hold.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "support/ImageSeries.h"
#include "support/CliRun.h"

namespace orma {
namespace {

using orma::test::CliRun;
using orma::test::runCli;

std::string sample(const char* name) { return std::string(ORMA_SOURCE_DIR) + "/samples/profile1/" + name; }

std::string list(const nlohmann::json& values) {
    std::ostringstream text;
    text.precision(9);
    for (std::size_t i = 0; i < values.size(); ++i) text << (i ? "," : "") << values[i].get<double>();
    return text.str();
}

using orma::test::imageSeries;

TEST(OrmacliNumerics, AccurateForwardMeetsTheImageSeries) {
    for (const char* rho : {"100,0.1", "100,100000"}) {
        const CliRun run = runCli(std::string("forward --rho ") + rho + " --depth 1 --kmax 40 --accurate --json");
        ASSERT_EQ(run.status, 0) << rho;
        const auto result = nlohmann::json::parse(run.out);
        EXPECT_EQ(result.at("method"), "201-point filter");
        const double rho2 = std::string(rho) == "100,0.1" ? 0.1 : 100000.0;
        for (const auto& row : result.at("computedRho")) {
            const double exact = imageSeries(100.0, rho2, 1.0, row.at("ab2").get<double>());
            EXPECT_NEAR(row.at("rho").get<double>() / exact, 1.0, 1e-4) << rho << " k " << row.at("k");
        }
    }
}

TEST(OrmacliNumerics, ValuesAModelCannotHoldAreUsageErrors) {
    const std::string file = sample("VES100.GEF");
    for (const std::string& arguments :
         {std::string("forward --rho 1e39"), std::string("forward --rho 10,1e39 --depth 1"),
          std::string("forward --rho 1e-7,10 --depth 1"), std::string("forward --rho 10,100 --depth 1e-320"),
          std::string("forward --rho 10,100,20 --depth 5,5.0000001"), std::string("forward --rho 10,100 --depth 1e10"),
          "fit " + file + " --rho 3.4e38,30 --depth 5", std::string("forward --rho 10,100 --depth 1 --measured-spacings"),
          "forward " + file + " --rho 10,100 --depth 1 --kmax 5", "fit " + file + " --rho 10,100 --depth 1 --ranges 0.9",
          "fit " + file + " --rho 10,100 --depth 1 --converge --fast"}) {
        EXPECT_EQ(runCli(arguments).status, 2) << arguments;
    }
    // The smallest values a model holds are still accepted.
    EXPECT_EQ(runCli("forward --rho 1e-6,1e12 --depth 0.001").status, 0);
}

TEST(OrmacliNumerics, ForwardOnAFileAtItsMeasuredSpacings) {
    const std::string model = " --rho 150,30,400,2000 --depth 2,10,30 --json";
    const auto grid = nlohmann::json::parse(runCli("forward " + sample("VES100.GEF") + model).out);
    const auto measured = nlohmann::json::parse(runCli("forward " + sample("VES100.GEF") + model + " --measured-spacings").out);
    ASSERT_EQ(grid.at("computedRho").size(), measured.at("computedRho").size());
    EXPECT_NEAR(grid.at("computedRho")[1].at("ab2").get<double>(), 1.2961742, 1e-6);
    EXPECT_NEAR(measured.at("computedRho")[1].at("ab2").get<double>(), 1.3, 1e-6);  // as read
    EXPECT_NE(grid.at("computedRho")[1].at("rho"), measured.at("computedRho")[1].at("rho"));
    EXPECT_TRUE(measured.at("computedRho")[1].at("composite").is_number());
    EXPECT_GT(measured.at("ssq").get<double>(), 0.0);
}

TEST(OrmacliNumerics, ConvergeReachesASecondEnterAndRangesArePrinted) {
    for (const char* name : {"VES100.GEF", "VES200.GEF", "VES300.GEF"}) {
        const std::string file = sample(name);
        const std::string start = " --rho 150,30,400,2000 --depth 2,10,30 --json";
        const auto first = nlohmann::json::parse(runCli("fit " + file + start).out);
        const auto second = nlohmann::json::parse(
            runCli("fit " + file + " --rho " + list(first.at("resistivity")) + " --depth " + list(first.at("depth")) +
                   " --json")
                .out);
        const CliRun run = runCli("fit " + file + start + " --converge --ranges");
        ASSERT_EQ(run.status, 0) << name;
        const auto converged = nlohmann::json::parse(run.out);
        EXPECT_LE(converged.at("ssq").get<double>(), second.at("ssq").get<double>() * (1 + 1e-6)) << name;
        EXPECT_GE(converged.at("passes").get<int>(), 1);

        const auto& ranges = converged.at("ranges");
        EXPECT_EQ(ranges.at("factor"), 1.05);
        ASSERT_EQ(ranges.at("parameters").size(), 7u) << name;
        for (const auto& parameter : ranges.at("parameters")) {
            const double value = parameter.at("value").get<double>();
            if (!parameter.at("lower").is_null()) {
                EXPECT_LE(parameter.at("lower").get<double>(), value);
            }
            if (!parameter.at("upper").is_null()) {
                EXPECT_GE(parameter.at("upper").get<double>(), value);
            }
            EXPECT_TRUE(parameter.at("kind") == "resistivity" || parameter.at("kind") == "thickness");
        }
    }
    const CliRun text = runCli("fit " + sample("VES150.GEF") + " --rho 150,30,400,2000 --depth 2,10,30 --fix-rho 0 --ranges 1.2");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("ranges: SSQ within 1.2 x"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("thickness 2"), std::string::npos);
    EXPECT_EQ(text.out.find("resistivity 0 "), std::string::npos);  // held: no range
}

}  // namespace
}  // namespace orma
