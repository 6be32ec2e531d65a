// ormacli show: reads a sounding file as the window does and prints the record.

#include <charconv>
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "Commands.h"
#include "CsvOutput.h"
#include "LoadSounding.h"
#include "ModelArguments.h"
#include "OptionTable.h"
#include "io/FormatPatterns.h"

namespace orma::cli {

namespace {

constexpr OptionSpec kShowOptions[] = {
    {"--record", Takes::Value, "N", "the record of an RST file, from 0 (default 0)", "--record needs a number"},
    {"--reference", Takes::Value, "R", "the branch the others are shifted onto, 1..5 (default 2)",
     "--reference needs a number"},
    {"--json", Takes::Nothing, "", "print the sounding as JSON instead of a table"},
    {"--csv", Takes::Value, "OUT.csv", "write the composite curve as CSV (- for standard output)",
     "--csv needs a file name (- for standard output)"},
};

}  // namespace

const CommandSpec kShowCommand{
    "show", "a sounding file (GEF, RST, sheet) as the window reads it: readings, composite curve",
    "usage: ormacli show FILE [--record N] [--reference R] [--json] [--csv OUT.csv]\n", kShowOptions,
    "option", false, false, runShow};

namespace {

struct ShowOptions {
    std::string path;
    int record = 0;
    int reference = 2;
    bool json = false;
    std::string csv;  ///< --csv target, empty when not asked for
};

std::optional<ShowOptions> parseShowOptions(const Args& args) {
    ShowOptions options;
    bool havePath = false;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        if (option.name == "--json") {
            options.json = true;
        } else if (option.name == "--csv") {
            options.csv = *value;
        } else {
            const std::optional<int> number = parseInteger(*value);
            const bool isRecord = option.name == "--record";
            if (!number || *number < (isRecord ? 0 : 1) || (!isRecord && *number > kMaxBranches)) {
                std::cerr << "ormacli show: " << option.name << " must be "
                          << (isRecord ? "a record number from 0" : "a branch number 1..5") << '\n';
                return false;
            }
            (isRecord ? options.record : options.reference) = *number;
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        if (havePath) {
            std::cerr << "ormacli show: only one FILE is read\n";
            return false;
        }
        options.path = argument;
        havePath = true;
        return true;
    };
    if (!walkArguments(kShowCommand, args, onOption, onPositional)) return std::nullopt;
    if (!havePath) {
        std::cerr << kShowCommand.usage;
        return std::nullopt;
    }
    return options;
}

nlohmann::json soundingJson(const Sounding& s, const std::vector<std::string>& messages) {
    using nlohmann::json;
    json points = json::array();
    for (int i = 0; i < s.points.pointCount; ++i) {
        points.push_back({{"ab2", shortestDecimal(s.points.ab2[i])},
                          {"mn2", shortestDecimal(s.points.mn2[i])},
                          {"rhoA", shortestDecimal(s.points.rhoA[i])},
                          {"sValue", shortestDecimal(s.points.sValue[i])},
                          {"branch", s.points.branch[i]},
                          {"gridIndex", s.points.gridIndex[i]}});
    }
    json branchMn2 = json::array();
    json shifted = json::array();
    for (int j = 1; j <= kMaxBranches; ++j) {
        branchMn2.push_back(shortestDecimal(s.branches.branchMn2[j]));
        json rows = json::array();
        for (int k = 0; k < kGridPoints; ++k) {
            const float rho = s.branches.shiftedRho[k][j];
            if (rho > 0.0f) rows.push_back({{"k", k}, {"rho", shortestDecimal(rho)}});
        }
        shifted.push_back(std::move(rows));
    }
    json composite = json::array();
    for (int k = 0; k < kGridPoints; ++k) {
        if (s.hasComposite(k)) {
            composite.push_back({{"k", k}, {"ab2", shortestDecimal(s.grid.value[k])}, {"rho", shortestDecimal(s.composite(k))}});
        }
    }
    return json{{"date", s.date},
                {"locality", s.locality},
                {"operatorName", s.operatorName},
                {"pointNumber", s.pointNumber},
                {"profileNumber", s.profileNumber},
                {"points", std::move(points)},
                {"minGridIndex", s.minGridIndex},
                {"maxGridIndex", s.maxGridIndex},
                {"branchCount", s.branches.branchCount},
                {"branchMn2", std::move(branchMn2)},
                {"shifted", std::move(shifted)},
                {"composite", std::move(composite)},
                {"messages", messages}};
}

void printTable(const Sounding& s, const std::vector<std::string>& messages) {
    std::cout << "date: " << s.date << "\nlocality: " << s.locality << "\noperator: " << s.operatorName
              << "\npoint: " << s.pointNumber << "  profile: " << s.profileNumber << "\n\n";
    std::cout << "readings: " << s.points.pointCount << "\n";
    std::printf("%4s %12s %12s %14s %10s %6s %4s\n", "#", "AB/2", "MN/2", "rhoA", "s", "branch", "k");
    std::fflush(stdout);
    for (int i = 0; i < s.points.pointCount; ++i) {
        std::cout << formatPattern("%i", {i + 1}) << '\t' << formatFixed(s.points.ab2[i]) << '\t'
                  << formatFixed(s.points.mn2[i]) << '\t' << formatFixed(s.points.rhoA[i]) << '\t'
                  << formatFixed(s.points.sValue[i]) << '\t' << s.points.branch[i] << '\t'
                  << s.points.gridIndex[i] << '\n';
    }
    std::cout << "\ngrid range: " << s.minGridIndex << " .. " << s.maxGridIndex
              << "  branches: " << s.branches.branchCount << "\nbranch MN/2:";
    for (int j = 1; j <= kMaxBranches; ++j) std::cout << ' ' << formatFixed(s.branches.branchMn2[j]);
    std::cout << "\n\ncomposite curve (k, AB/2, rho):\n";
    for (int k = 0; k < kGridPoints; ++k) {
        if (s.hasComposite(k)) {
            std::cout << k << '\t' << formatFixed(s.grid.value[k]) << '\t' << formatFixed(s.composite(k)) << '\n';
        }
    }
    if (!messages.empty()) {
        std::cout << "\nmessages:\n";
        for (const std::string& text : messages) std::cout << "  " << text << '\n';
    }
}

}  // namespace

int runShow(const Args& args) {
    const std::optional<ShowOptions> options = parseShowOptions(args);
    if (!options) return kExitUsage;
    if (!options->csv.empty() && !csvTargetIsFree("show", options->csv)) return kExitDataError;
    std::vector<std::string> messages;
    const std::unique_ptr<Sounding> sounding =
        loadSounding(options->path, options->record, options->reference, messages);
    if (!sounding) return kExitDataError;
    if (!options->csv.empty()) {
        const int status = writeCsvOutput("show", options->csv, *sounding, {true, false, false}, options->path);
        if (status != kExitOk || options->csv == "-") return status;
    }
    if (options->json) {
        std::cout << soundingJson(*sounding, messages).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else {
        printTable(*sounding, messages);
    }
    return kExitOk;
}

}  // namespace orma::cli
