// ormacli forward: the apparent-resistivity curve of a layered model on the AB/2 grid.

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "Commands.h"
#include "ModelArguments.h"
#include "core/AbGrid.h"
#include "core/Forward.h"
#include "io/FormatPatterns.h"

namespace orma::cli {

namespace {

constexpr const char* kForwardUsage =
    "usage: ormacli forward --rho R0,R1,... --depth D0,D1,... [--kmin K] [--kmax K] [--json]\n";

struct ForwardOptions {
    std::vector<double> rho;
    std::vector<double> depth;
    int kmin = 0;
    int kmax = 27;
    bool json = false;
};

std::optional<ForwardOptions> parseForwardOptions(const Args& args) {
    ForwardOptions options;
    bool haveRho = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg != "--rho" && arg != "--depth" && arg != "--kmin" && arg != "--kmax") {
            std::cerr << "ormacli forward: unknown argument " << arg << '\n' << kForwardUsage;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            std::cerr << "ormacli forward: " << arg << " needs a value\n";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--kmin" || arg == "--kmax") {
            const std::optional<int> k = parseInteger(value);
            if (!k || *k < 0 || *k >= kGridPoints) {
                std::cerr << "ormacli forward: " << arg << " must be a grid index 0..98\n";
                return std::nullopt;
            }
            (arg == "--kmin" ? options.kmin : options.kmax) = *k;
            continue;
        }
        std::optional<std::vector<double>> list = parseNumberList(value);
        if (!list) {
            std::cerr << "ormacli forward: " << arg << " expects numbers separated by commas\n";
            return std::nullopt;
        }
        if (arg == "--rho") {
            options.rho = std::move(*list);
            haveRho = true;
        } else {
            options.depth = std::move(*list);
        }
    }
    if (!haveRho) {
        std::cerr << kForwardUsage;
        return std::nullopt;
    }
    if (options.kmin > options.kmax) {
        std::cerr << "ormacli forward: --kmin must not exceed --kmax\n";
        return std::nullopt;
    }
    return options;
}

}  // namespace

int runForward(const Args& args) {
    const std::optional<ForwardOptions> options = parseForwardOptions(args);
    if (!options) return kExitUsage;
    auto sounding = std::make_unique<Sounding>();
    const std::string problem = buildModel(options->rho, options->depth, sounding->model);
    if (!problem.empty()) {
        std::cerr << "ormacli forward: " << problem << '\n';
        return kExitUsage;
    }
    sounding->minGridIndex = options->kmin;
    sounding->maxGridIndex = options->kmax;
    if (computeForward(*sounding) != kSuccess) {
        std::cerr << "ormacli forward: Forward task unsuccessful\n";
        return kExitDataError;
    }

    if (options->json) {
        nlohmann::json rows = nlohmann::json::array();
        for (int k = options->kmin; k <= options->kmax; ++k)
            rows.push_back({{"k", k}, {"ab2", abGridValue(k)}, {"rho", shortestDecimal(sounding->computedRho[k])}});
        std::cout << nlohmann::json{{"computedRho", std::move(rows)}}.dump(2) << '\n';
        return kExitOk;
    }
    std::printf("%4s %14s %14s\n", "k", "AB/2", "rho");
    for (int k = options->kmin; k <= options->kmax; ++k)
        std::printf("%4d %14.6f %14.6f\n", k, abGridValue(k), static_cast<double>(sounding->computedRho[k]));
    return kExitOk;
}

}  // namespace orma::cli
