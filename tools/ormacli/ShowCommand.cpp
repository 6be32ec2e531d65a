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
#include "io/FormatPatterns.h"

namespace orma::cli {

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
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
        } else if (arg == "--csv") {
            if (i + 1 >= args.size()) {
                std::cerr << "ormacli show: --csv needs a file name (- for standard output)\n";
                return std::nullopt;
            }
            options.csv = args[++i];
        } else if (arg == "--record" || arg == "--reference") {
            if (i + 1 >= args.size()) {
                std::cerr << "ormacli show: " << arg << " needs a number\n";
                return std::nullopt;
            }
            const std::optional<int> value = parseInteger(args[++i]);
            const bool isRecord = arg == "--record";
            if (!value || *value < (isRecord ? 0 : 1) || (!isRecord && *value > kMaxBranches)) {
                std::cerr << "ormacli show: " << arg << " must be "
                          << (isRecord ? "a record number from 0" : "a branch number 1..5") << '\n';
                return std::nullopt;
            }
            (isRecord ? options.record : options.reference) = *value;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "ormacli show: unknown option " << arg << '\n';
            return std::nullopt;
        } else if (!havePath) {
            options.path = arg;
            havePath = true;
        } else {
            std::cerr << "ormacli show: only one FILE is read\n";
            return std::nullopt;
        }
    }
    if (!havePath) {
        std::cerr << "usage: ormacli show FILE [--record N] [--reference R] [--json] [--csv OUT.csv]\n";
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
