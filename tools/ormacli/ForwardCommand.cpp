// ormacli forward: the apparent-resistivity curve of a layered model on the
// AB/2 grid, or on the curve range of a sounding file (then with its
// composite and the SSQ, and on request at its measured spacings).

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "Commands.h"
#include "CsvOutput.h"
#include "LoadSounding.h"
#include "ModelArguments.h"
#include "OptionTable.h"
#include "core/AbGrid.h"
#include "core/ForwardAtSpacings.h"
#include "core/Forward.h"
#include "io/FormatPatterns.h"

namespace orma::cli {

namespace {

constexpr const char* kForwardUsage =
    "usage: ormacli forward [FILE [--record N]] --rho R0,R1,... --depth D0,D1,... [--kmin K] [--kmax K]\n"
    "                       [--accurate] [--measured-spacings] [--json] [--csv OUT.csv]\n";

constexpr OptionSpec kForwardOptions[] = {
    {"--record", Takes::Value, "N", "the record of an RST file, from 0 (default 0)"},
    {"--rho", Takes::Value, "R0,R1,...", "the layers' resistivities in ohm-m, top first"},
    {"--depth", Takes::Value, "D0,D1,...", "the depths of the interfaces in m, one fewer than --rho"},
    {"--kmin", Takes::Value, "K", "without FILE: the first AB/2 grid index, 0..98 (default 0)"},
    {"--kmax", Takes::Value, "K", "without FILE: the last AB/2 grid index, 0..98 (default 27)"},
    {"--accurate", Takes::Nothing, "", "the 201-point filter in double precision instead of the 13-tap filter"},
    {"--measured-spacings", Takes::Nothing, "", "compute each row at the mean measured AB/2 of FILE"},
    {"--json", Takes::Nothing, "", "print JSON instead of a table"},
    {"--csv", Takes::Value, "OUT.csv", "write the curves and the model as CSV (- for standard output)"},
};

struct ForwardOptions {
    std::string path;
    int record = 0;
    std::vector<double> rho;
    std::vector<double> depth;
    std::optional<int> kmin;
    std::optional<int> kmax;
    ComputationOptions computation;
    bool json = false;
    std::string csv;  ///< --csv target, empty when not asked for
};

/// Parses the value of --record, --kmin or --kmax into `options`; false after a message.
bool storeIndex(ForwardOptions& options, const std::string& arg, const std::string& value) {
    const std::optional<int> number = parseInteger(value);
    if (arg == "--record") {
        if (!number || *number < 0) {
            std::cerr << "ormacli forward: --record must be a record number from 0\n";
            return false;
        }
        options.record = *number;
        return true;
    }
    if (!number || *number < 0 || *number >= kGridPoints) {
        std::cerr << "ormacli forward: " << arg << " must be a grid index 0..98\n";
        return false;
    }
    (arg == "--kmin" ? options.kmin : options.kmax) = *number;
    return true;
}

std::optional<ForwardOptions> parseForwardOptions(const Args& args) {
    ForwardOptions options;
    bool haveRho = false;
    bool havePath = false;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        const std::string_view name = option.name;
        if (name == "--json") options.json = true;
        if (name == "--accurate") options.computation.accurateForward = true;
        if (name == "--measured-spacings") options.computation.measuredSpacings = true;
        if (value == nullptr) return true;
        if (name == "--csv") {
            options.csv = *value;
            return true;
        }
        if (name == "--kmin" || name == "--kmax" || name == "--record") return storeIndex(options, std::string(name), *value);
        std::optional<std::vector<double>> list = parseNumberList(*value);
        if (!list) {
            std::cerr << "ormacli forward: " << name << " expects numbers separated by commas\n";
            return false;
        }
        if (name == "--rho") {
            options.rho = std::move(*list);
            haveRho = true;
        } else {
            options.depth = std::move(*list);
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        if (havePath) {
            std::cerr << "ormacli forward: only one FILE is read\n";
            return false;
        }
        options.path = argument;
        havePath = true;
        return true;
    };
    if (!walkArguments(kForwardCommand, args, onOption, onPositional)) return std::nullopt;
    if (!haveRho) {
        std::cerr << kForwardUsage;
        return std::nullopt;
    }
    if (havePath && (options.kmin || options.kmax)) {
        std::cerr << "ormacli forward: the curve range of FILE is used; --kmin and --kmax go without FILE\n";
        return std::nullopt;
    }
    if (!havePath && options.computation.measuredSpacings) {
        std::cerr << "ormacli forward: --measured-spacings needs a FILE whose spacings to use\n";
        return std::nullopt;
    }
    if (options.kmin.value_or(0) > options.kmax.value_or(27)) {
        std::cerr << "ormacli forward: --kmin must not exceed --kmax\n";
        return std::nullopt;
    }
    return options;
}

const char* methodName(const ComputationOptions& options) {
    return options.accurateForward ? "201-point filter" : "13-point filter";
}

}  // namespace

const CommandSpec kForwardCommand{
    "forward", "the apparent-resistivity curve of a layered model, alone or against a sounding",
    kForwardUsage, kForwardOptions, "argument", true, false, runForward};

int runForward(const Args& args) {
    const std::optional<ForwardOptions> options = parseForwardOptions(args);
    if (!options) return kExitUsage;
    LayerModel model;
    const std::string problem = buildModel(options->rho, options->depth, model);
    if (!problem.empty()) {
        std::cerr << "ormacli forward: " << problem << '\n';
        return kExitUsage;
    }

    if (!options->csv.empty() && !csvTargetIsFree("forward", options->csv)) return kExitDataError;
    std::unique_ptr<Sounding> sounding;
    std::vector<std::string> messages;
    const bool withFile = !options->path.empty();
    if (withFile) {
        sounding = loadSounding(options->path, options->record, 2, messages);
        if (!sounding) return kExitDataError;
    } else {
        sounding = std::make_unique<Sounding>();
        sounding->minGridIndex = options->kmin.value_or(0);
        sounding->maxGridIndex = options->kmax.value_or(27);
    }
    sounding->model = model;
    const ComputationOptions& computation = options->computation;
    if (computeForward(*sounding, computation) != kSuccess) {
        std::cerr << "ormacli forward: Forward task unsuccessful\n";
        return kExitDataError;
    }

    if (!options->csv.empty()) {
        const int status = writeCsvOutput("forward", options->csv, *sounding, {withFile, true, true}, options->path);
        if (status != kExitOk || options->csv == "-") return status;
    }
    const int kmin = sounding->minGridIndex;
    const int kmax = sounding->maxGridIndex;
    if (options->json) {
        nlohmann::json rows = nlohmann::json::array();
        for (int k = kmin; k <= kmax; ++k) {
            nlohmann::json row = {{"k", k},
                                  {"ab2", rowSpacing(*sounding, k, computation.measuredSpacings)},
                                  {"rho", shortestDecimal(sounding->computedRho[k])}};
            if (withFile)
                row["composite"] = sounding->hasComposite(k) ? nlohmann::json(shortestDecimal(sounding->composite(k)))
                                                             : nlohmann::json();
            rows.push_back(std::move(row));
        }
        nlohmann::json out = {{"computedRho", std::move(rows)}, {"method", methodName(computation)}};
        if (withFile) {
            out["ssq"] = sounding->ssq;
            out["messages"] = messages;
        }
        std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return kExitOk;
    }
    if (withFile) {
        std::printf("%4s %14s %14s %14s\n", "k", "AB/2", "rho", "composite");
        for (int k = kmin; k <= kmax; ++k) {
            std::printf("%4d %14.6f %14.6f", k, rowSpacing(*sounding, k, computation.measuredSpacings),
                        static_cast<double>(sounding->computedRho[k]));
            if (sounding->hasComposite(k))
                std::printf(" %14.6f\n", static_cast<double>(sounding->composite(k)));
            else
                std::printf(" %14s\n", "-");
        }
        std::printf("SSQ = %.6f (%s)\n", sounding->ssq, methodName(computation));
        return kExitOk;
    }
    std::printf("%4s %14s %14s\n", "k", "AB/2", "rho");
    for (int k = kmin; k <= kmax; ++k)
        std::printf("%4d %14.6f %14.6f\n", k, abGridValue(k), static_cast<double>(sounding->computedRho[k]));
    return kExitOk;
}

}  // namespace orma::cli
