// ormacli fit --global: the best model without a start, its equivalent models,
// the same answer for any thread count, and files never written over.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "support/CliRun.h"

namespace orma {
namespace {

using orma::test::CliRun;
using orma::test::runCli;

std::string sampleSounding(const char* name) { return std::string(ORMA_SOURCE_DIR) + "/samples/profile1/" + name; }

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(OrmacliGlobalFit, BestModelAndTheSpanOfEachValueOverTheEquivalentModels) {
    const std::string file = sampleSounding("VES100.GEF");
    const CliRun run = runCli("fit " + file + " --layers 4 --global 16 --seed 3 --threads 1 --json");
    ASSERT_EQ(run.status, 0);
    const auto result = nlohmann::json::parse(run.out);
    EXPECT_FALSE(result.contains("start"));
    const auto& global = result.at("global");
    // The automatic start, 16 spread ones and 14 hops (7 values up and down)
    // from each of the best 8 distinct fits.
    EXPECT_EQ(global.at("starts"), 17 + 8 * 14);
    EXPECT_EQ(global.at("seed"), 3);
    const auto& equivalent = global.at("equivalent");
    EXPECT_EQ(equivalent.at("factor"), 1.05);
    EXPECT_GE(equivalent.at("count").get<int>(), 1);
    const auto& values = equivalent.at("values");
    ASSERT_EQ(values.size(), 10u);  // 4 resistivities, 3 thicknesses, 3 depths
    const auto& rho = result.at("resistivity");
    const auto& depth = result.at("depth");
    for (const auto& value : values) {
        const double min = value.at("min").get<double>();
        const double max = value.at("max").get<double>();
        EXPECT_LE(min, max);
        const int layer = value.at("layer").get<int>();
        if (value.at("kind") == "resistivity") {
            EXPECT_LE(min, rho.at(layer).get<double>());
            EXPECT_GE(max, rho.at(layer).get<double>());
        } else if (value.at("kind") == "depth") {
            EXPECT_LE(min, depth.at(layer).get<double>());
            EXPECT_GE(max, depth.at(layer).get<double>());
        }
    }
    // Never worse than the fit from the interpreter's usual start.
    const auto single = nlohmann::json::parse(runCli("fit " + file + " --rho 150,30,400,2000 --depth 2,10,30 --json").out);
    EXPECT_LE(result.at("ssq").get<double>(), single.at("ssq").get<double>() * (1 + 1e-9));

    const auto twoThreads =
        nlohmann::json::parse(runCli("fit " + file + " --layers 4 --global 16 --seed 3 --threads 2 --json").out);
    EXPECT_EQ(twoThreads.at("resistivity"), rho);
    EXPECT_EQ(twoThreads.at("depth"), depth);
    EXPECT_EQ(twoThreads.at("global").at("equivalent").at("values"), values);
}

TEST(OrmacliGlobalFit, AGivenModelIsOneMoreStartAndItsHeldValuesStay) {
    const CliRun run = runCli("fit " + sampleSounding("VES150.GEF") +
                              " --rho 150,30,400,2000 --depth 2,10,30 --fix-rho 0 --fix-depth 2 --global 8 --json");
    ASSERT_EQ(run.status, 0);
    const auto result = nlohmann::json::parse(run.out);
    EXPECT_EQ(result.at("resistivity").at(0), 150.0);
    EXPECT_EQ(result.at("depth").at(2), 30.0);
    // Given, automatic, 8 spread, and 10 hops (5 free values) from each of
    // the distinct fits, at most 8.
    const int hops = result.at("global").at("starts").get<int>() - 10;
    EXPECT_EQ(hops % 10, 0);
    EXPECT_LE(hops, 80);
}

TEST(OrmacliGlobalFit, EquivalentModelsGoToANewFileOnly) {
    const auto dir = std::filesystem::temp_directory_path() / ("orma_global_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "models.csv").string();
    const std::string command = "fit " + sampleSounding("VES200.GEF") + " --layers 3 --global 8 --equivalent " + target;
    ASSERT_EQ(runCli(command).status, 0);
    const std::string written = fileBytes(target);
    EXPECT_EQ(written.rfind("# ORMA equivalent models\r\n", 0), 0u);
    EXPECT_NE(written.find("model,SSQ,rho1 (ohm.m),rho2 (ohm.m),rho3 (ohm.m),depth1 (m),depth2 (m)\r\n"),
              std::string::npos);
    EXPECT_NE(written.find("\r\n1,"), std::string::npos);
    // A second run finds the name taken: it stops before any work and leaves the file.
    EXPECT_EQ(runCli(command).status, 1);
    EXPECT_EQ(fileBytes(target), written);
    // "-" writes the same table on standard output instead of the report.
    const CliRun out = runCli("fit " + sampleSounding("VES200.GEF") + " --layers 3 --global 8 --equivalent -");
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out.rfind("# ORMA equivalent models\r\n", 0), 0u);
    std::filesystem::remove_all(dir);
}

TEST(OrmacliGlobalFit, OptionsThatDoNotGoTogetherAreUsageErrors) {
    const std::string file = sampleSounding("VES100.GEF");
    for (const char* options : {"--layers 3",                                  // no --global
                                "--global",                                    // no layer count
                                "--global --rho 100,20 --depth 3 --layers 3",  // counts differ
                                "--rho 100,20 --depth 3 --equivalent x.csv",   // --equivalent without --global
                                "--rho 100,20 --depth 3 --seed 4",             // --seed without --global
                                "--global --layers 3 --csv - --equivalent -",  // two outputs on one stream
                                "--global --layers 3 --fix-rho 0",             // holds nothing of no model
                                "--global -3 --layers 3",                      // -3 is no option
                                "--global --layers 31",
                                "--global --layers 3 --threads 0",
                                "--global --layers 3 --seed x"}) {
        EXPECT_EQ(runCli("fit " + file + " " + options).status, 2) << options;
    }
}

}  // namespace
}  // namespace orma
