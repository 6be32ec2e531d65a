// ormacli fit: fits a layered model to the composite curve of a sounding file,
// holding the values named by the --fix options; with --global, the best
// model that many starts find (core/GlobalFit.h) and its equivalent models.

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "Commands.h"
#include "CsvOutput.h"
#include "GlobalFitReport.h"
#include "LoadSounding.h"
#include "ModelArguments.h"
#include "OptionTable.h"
#include "RangeReport.h"
#include "core/Fit.h"
#include "core/FitWorkspace.h"
#include "core/GlobalFit.h"
#include "core/ParameterRanges.h"
#include "io/FormatPatterns.h"

namespace orma::cli {

namespace {

constexpr const char* kFitUsage =
    "usage: ormacli fit FILE [--record N] --rho R0,R1,... --depth D0,D1,... [--fix-rho i,...]\n"
    "                   [--fix-depth i,...] [--fix-thickness i,...] [--accurate] [--measured-spacings]\n"
    "                   [--converge] [--ranges [FACTOR]] [--json] [--csv OUT.csv]\n"
    "       ormacli fit FILE [--record N] --layers L --global [N] [--seed S] [--threads T]\n"
    "                   [--rho ... --depth ... --fix-...] [--equivalent MODELS.csv] [other options as above]\n";

bool isRangeFactor(std::string_view next);
bool isStartCount(std::string_view next);

constexpr OptionSpec kFitOptions[] = {
    {"--record", Takes::Value, "N", "the record of an RST file, from 0 (default 0)"},
    {"--rho", Takes::Value, "R0,R1,...", "the starting model's resistivities in ohm-m, top first"},
    {"--depth", Takes::Value, "D0,D1,...", "the starting model's interface depths in m, one fewer than --rho"},
    {"--fix-rho", Takes::Value, "i,...", "hold these layers' resistivities (indices from 0)"},
    {"--fix-depth", Takes::Value, "i,...", "hold these interfaces' depths (indices from 0)"},
    {"--fix-thickness", Takes::Value, "i,...", "hold these layers' thicknesses (indices from 0)"},
    {"--accurate", Takes::Nothing, "", "the 201-point filter in double precision instead of the 13-tap filter"},
    {"--measured-spacings", Takes::Nothing, "", "compute each row at the mean measured AB/2"},
    {"--converge", Takes::Nothing, "", "repeat passes until one gains less than 0.1 % (at most 100)"},
    {"--ranges", Takes::OptionalValue, "FACTOR",
     "each free value's range keeping the SSQ within FACTOR times the best (default 1.05)", {}, isRangeFactor},
    {"--layers", Takes::Value, "L", "with --global: the number of layers, 1..30"},
    {"--global", Takes::OptionalValue, "N", "the best model of N spread starts and its equivalent models (default 64)",
     {}, isStartCount},
    {"--seed", Takes::Value, "S", "with --global: the seed of the starts (a whole number from 0)"},
    {"--threads", Takes::Value, "T", "with --global: the threads, 1..256 (default: all cores)"},
    {"--equivalent", Takes::Value, "MODELS.csv",
     "with --global: write the equivalent models as CSV (- for standard output)"},
    {"--json", Takes::Nothing, "", "print JSON instead of a table"},
    {"--csv", Takes::Value, "OUT.csv", "write the curves and the fitted model as CSV (- for standard output)",
     "--csv needs a file name (- for standard output)"},
};

struct FitOptions {
    std::string path;
    int record = 0;
    std::vector<double> rho;
    std::vector<double> depth;
    std::vector<int> fixRho;
    std::vector<int> fixDepth;
    std::vector<int> fixThickness;
    ComputationOptions computation;
    std::optional<double> rangeFactor;  ///< set when the ranges are asked for
    bool json = false;
    std::string csv;  ///< --csv target, empty when not asked for
    int layers = 0;   ///< --layers, 0 when not given
    std::optional<int> globalStarts;  ///< set by --global
    std::optional<std::uint64_t> seed;
    std::optional<unsigned> threads;
    std::string equivalent;  ///< --equivalent target, empty when not asked for
};

bool isFlag(const std::string& arg) {
    return arg == "--json" || arg == "--accurate" || arg == "--measured-spacings" || arg == "--converge";
}

void setFlag(FitOptions& options, const std::string& arg) {
    if (arg == "--json") options.json = true;
    if (arg == "--accurate") options.computation.accurateForward = true;
    if (arg == "--measured-spacings") options.computation.measuredSpacings = true;
    if (arg == "--converge") options.computation.fitUntilConverged = true;
}

/// --ranges takes an optional factor: the next argument when it is a number.
bool isRangeFactor(std::string_view next) {
    const std::optional<std::vector<double>> number = parseNumberList(next);
    return number && number->size() == 1;
}

/// Returns false after a message when the factor is not a usable one.
bool storeRanges(FitOptions& options, const std::string* value) {
    options.rangeFactor = kDefaultRangeFactor;
    if (value == nullptr) return true;
    const double factor = parseNumberList(*value)->front();
    if (!(factor > 1.0) || factor > 100.0) {
        std::cerr << "ormacli fit: the --ranges factor must be above 1 and at most 100\n";
        return false;
    }
    options.rangeFactor = factor;
    return true;
}

/// --global takes an optional number of starts: the next argument when it is
/// a whole number.
bool isStartCount(std::string_view next) { return !next.empty() && next[0] != '-' && parseInteger(next).has_value(); }

bool storeGlobal(FitOptions& options, const std::string* value) {
    options.globalStarts = kDefaultGlobalStarts;
    if (value == nullptr) return true;
    const int starts = *parseInteger(*value);
    if (starts < 0 || starts > kMaxGlobalStarts) {
        std::cerr << "ormacli fit: --global takes 0 to " << kMaxGlobalStarts << " starts\n";
        return false;
    }
    options.globalStarts = starts;
    return true;
}

/// --layers, --seed, --threads and --equivalent, each with its value.
bool isGlobalValueOption(const std::string& arg) {
    return arg == "--layers" || arg == "--seed" || arg == "--threads" || arg == "--equivalent";
}

bool storeGlobalValue(FitOptions& options, const std::string& arg, const std::string& value) {
    if (arg == "--equivalent") {
        options.equivalent = value;
        return true;
    }
    if (arg == "--seed") {
        // Any whole number from 0; the digits alone, so that "-1" is no seed.
        const bool digits = !value.empty() && value.size() <= 19 &&
                            value.find_first_not_of("0123456789") == std::string::npos;
        if (!digits) {
            std::cerr << "ormacli fit: --seed must be a whole number from 0\n";
            return false;
        }
        options.seed = std::stoull(value);
        return true;
    }
    const std::optional<int> number = parseInteger(value);
    if (arg == "--layers") {
        if (!number || *number < 1 || *number > kMaxLayers) {
            std::cerr << "ormacli fit: --layers must be 1 to 30\n";
            return false;
        }
        options.layers = *number;
        return true;
    }
    if (!number || *number < 1 || *number > 256) {
        std::cerr << "ormacli fit: --threads must be 1 to 256\n";
        return false;
    }
    options.threads = static_cast<unsigned>(*number);
    return true;
}

/// What the global options need of each other; false after a message.
bool globalOptionsAgree(const FitOptions& options, bool haveRho) {
    const char* problem = nullptr;
    if (!options.globalStarts) {
        if (options.layers > 0) problem = "--layers goes with --global (a model by --rho/--depth has its own layers)";
        else if (options.seed || options.threads) problem = "--seed and --threads go with --global";
        else if (!options.equivalent.empty()) problem = "--equivalent goes with --global";
    } else if (options.layers == 0 && !haveRho) {
        problem = "--global needs --layers L or a model by --rho/--depth";
    } else if (options.layers > 0 && haveRho && static_cast<int>(options.rho.size()) != options.layers) {
        problem = "--layers does not match the number of --rho values";
    } else if (options.csv == "-" && options.equivalent == "-") {
        problem = "only one of --csv and --equivalent can go to standard output";
    }
    if (problem != nullptr) std::cerr << "ormacli fit: " << problem << '\n';
    return problem == nullptr;
}

bool storeList(FitOptions& options, const std::string& arg, const std::string& value) {
    if (arg == "--rho" || arg == "--depth") {
        std::optional<std::vector<double>> list = parseNumberList(value);
        if (!list) return false;
        (arg == "--rho" ? options.rho : options.depth) = std::move(*list);
        return true;
    }
    std::optional<std::vector<int>> list = parseIndexList(value);
    if (!list) return false;
    std::vector<int>& target = arg == "--fix-rho"     ? options.fixRho
                               : arg == "--fix-depth" ? options.fixDepth
                                                      : options.fixThickness;
    target.insert(target.end(), list->begin(), list->end());
    return true;
}

std::optional<FitOptions> parseFitOptions(const Args& args) {
    FitOptions options;
    bool havePath = false;
    bool haveRho = false;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        const std::string arg(option.name);
        if (isFlag(arg)) {
            setFlag(options, arg);
        } else if (arg == "--ranges") {
            return storeRanges(options, value);
        } else if (arg == "--global") {
            return storeGlobal(options, value);
        } else if (isGlobalValueOption(arg)) {
            return storeGlobalValue(options, arg, *value);
        } else if (arg == "--csv") {
            options.csv = *value;
        } else if (arg == "--record") {
            const std::optional<int> record = parseInteger(*value);
            if (!record || *record < 0) {
                std::cerr << "ormacli fit: --record must be a record number from 0\n";
                return false;
            }
            options.record = *record;
        } else {
            if (!storeList(options, arg, *value)) {
                std::cerr << "ormacli fit: " << arg << " expects "
                          << (arg == "--rho" || arg == "--depth" ? "numbers" : "indices") << " separated by commas\n";
                return false;
            }
            haveRho = haveRho || arg == "--rho";
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        if (havePath) {
            std::cerr << "ormacli fit: only one FILE is read\n";
            return false;
        }
        options.path = argument;
        havePath = true;
        return true;
    };
    if (!walkArguments(kFitCommand, args, onOption, onPositional)) return std::nullopt;
    if (!havePath || (!haveRho && !options.globalStarts)) {
        std::cerr << kFitUsage;
        return std::nullopt;
    }
    if (!globalOptionsAgree(options, haveRho)) return std::nullopt;
    return options;
}

/// Sets the hold flags; indices are 0-based as in the model. Returns what is
/// wrong, or an empty string.
std::string applyFixes(const FitOptions& options, LayerModel& model) {
    const int n = model.interfaceCount;
    for (int i : options.fixRho) {
        if (i < 0 || i > n) return "--fix-rho index " + std::to_string(i) + " is not a layer 0.." + std::to_string(n);
        model.resistivityFixed[i] = 1;
    }
    struct Flags {
        const std::vector<int>& indices;
        std::array<int, kFlagSlots>& flags;
        const char* name;
    };
    for (const Flags& set : {Flags{options.fixDepth, model.depthFixed, "--fix-depth"},
                             Flags{options.fixThickness, model.thicknessFixed, "--fix-thickness"}}) {
        for (int i : set.indices) {
            if (i < 0 || i >= n)
                return std::string(set.name) + " index " + std::to_string(i) + " is not an interface 0.." +
                       std::to_string(n - 1);
            set.flags[i] = 1;
        }
    }
    return {};
}

nlohmann::json modelJson(const LayerModel& model, double ssq) {
    nlohmann::json rho = nlohmann::json::array();
    nlohmann::json depth = nlohmann::json::array();
    for (int i = 0; i <= model.interfaceCount; ++i) rho.push_back(shortestDecimal(model.resistivity[i]));
    for (int i = 0; i < model.interfaceCount; ++i) depth.push_back(shortestDecimal(model.depth[i]));
    return {{"resistivity", std::move(rho)}, {"depth", std::move(depth)}, {"ssq", ssq}};
}

const char* statusName(FitStatus status) {
    switch (status) {
        case FitStatus::Converged: return "converged";
        case FitStatus::NoImprovement: return "no further improvement";
        case FitStatus::IterationLimit: return "linearisation limit";
        case FitStatus::PassLimit: return "pass limit";
        case FitStatus::NoComposite: return "no composite curve";
        case FitStatus::InvalidModel: return "invalid model";
        case FitStatus::ForwardFailed: return "forward task unsuccessful";
    }
    return "";
}

void printModel(const char* title, const LayerModel& model, double ssq) {
    std::printf("%s SSQ = %.6f\n%6s %14s %14s\n", title, ssq, "layer", "resistivity", "depth");
    for (int i = 0; i <= model.interfaceCount; ++i) {
        if (i < model.interfaceCount)
            std::printf("%6d %14.6f %14.6f\n", i, static_cast<double>(model.resistivity[i]),
                        static_cast<double>(model.depth[i]));
        else
            std::printf("%6d %14.6f %14s\n", i, static_cast<double>(model.resistivity[i]), "-");
    }
}

/// The fit itself: one from the given model, or the global search.
struct FitRun {
    FitSummary summary;
    std::optional<GlobalFitSummary> global;
    std::uint64_t seed = kDefaultGlobalSeed;
};

std::optional<FitRun> runTheFit(const FitOptions& options, Sounding& sounding, FitWorkspace& workspace) {
    FitRun run;
    if (!options.globalStarts) {
        run.summary = fitModel(sounding, workspace, options.computation);
        if (run.summary.refused()) {
            std::cerr << "ormacli fit: " << options.path << ": " << run.summary.outcome.message << '\n';
            return std::nullopt;
        }
        return run;
    }
    GlobalFitOptions global;
    global.layers = options.layers > 0 ? options.layers : static_cast<int>(options.rho.size());
    global.starts = *options.globalStarts;
    global.seed = run.seed = options.seed.value_or(kDefaultGlobalSeed);
    global.threads = options.threads.value_or(0);
    global.computation = options.computation;
    run.global = fitGlobally(sounding, global);
    if (!run.global->outcome) {
        std::cerr << "ormacli fit: " << options.path << ": " << run.global->outcome.text() << '\n';
        return std::nullopt;
    }
    run.summary = run.global->best;
    return run;
}

}  // namespace

const CommandSpec kFitCommand{"fit",
                              "a layered model fitted to a sounding (values held), or the best of many starts",
                              kFitUsage,
                              kFitOptions,
                              "option",
                              true,
                              false,
                              runFit};

int runFit(const Args& args) {
    const std::optional<FitOptions> options = parseFitOptions(args);
    if (!options) return kExitUsage;
    LayerModel start;
    const bool haveStart = !options->rho.empty();
    std::string problem = haveStart ? buildModel(options->rho, options->depth, start) : std::string();
    if (problem.empty() && haveStart) problem = applyFixes(*options, start);
    if (problem.empty() && !haveStart && !(options->fixRho.empty() && options->fixDepth.empty() && options->fixThickness.empty()))
        problem = "the --fix options hold values of a model given by --rho/--depth";
    if (!problem.empty()) {
        std::cerr << "ormacli fit: " << problem << '\n';
        return kExitUsage;
    }

    if (!options->csv.empty() && !csvTargetIsFree("fit", options->csv)) return kExitDataError;
    if (!options->equivalent.empty() && !csvTargetIsFree("fit", options->equivalent)) return kExitDataError;
    std::vector<std::string> messages;
    const std::unique_ptr<Sounding> sounding = loadSounding(options->path, options->record, 2, messages);
    if (!sounding) return kExitDataError;
    sounding->model = start;
    auto workspace = std::make_unique<FitWorkspace>();
    const std::optional<FitRun> run = runTheFit(*options, *sounding, *workspace);
    if (!run) return kExitDataError;
    const FitSummary& summary = run->summary;
    std::optional<RangeSummary> ranges;
    if (options->rangeFactor) {
        // After a global fit the ranges surround its best and start from its
        // equivalent models; a second search might end elsewhere.
        ranges = run->global ? computeParameterRanges(*sounding, *workspace, options->computation, *options->rangeFactor,
                                                      {}, run->global->equivalent)
                             : computeParameterRanges(*sounding, *workspace, options->computation, *options->rangeFactor);
        if (ranges->status != RangeStatus::Computed) {
            std::cerr << "ormacli fit: " << options->path << ": " << ranges->message << '\n';
            return kExitDataError;
        }
    }

    if (!options->csv.empty()) {
        // The fit leaves the computed curve and the SSQ of the final model in the record.
        const int status = writeCsvOutput("fit", options->csv, *sounding, {}, options->path);
        if (status != kExitOk || options->csv == "-") return status;
    }
    if (!options->equivalent.empty()) {
        const int status = writeEquivalentModels(options->equivalent, run->global->equivalent, options->path);
        if (status != kExitOk || options->equivalent == "-") return status;
    }
    if (options->json) {
        nlohmann::json out = modelJson(sounding->model, summary.ssq);
        if (haveStart && !run->global) out["start"] = modelJson(start, summary.startSsq);
        out["linearisations"] = summary.linearisations;
        out["trials"] = summary.trials;
        out["acceptedSteps"] = summary.acceptedSteps;
        out["status"] = statusName(summary.status);
        out["passes"] = summary.passes;
        out["method"] = options->computation.accurateForward ? "201-point filter" : "13-point filter";
        out["measuredSpacings"] = options->computation.measuredSpacings;
        if (run->global) out["global"] = globalFitJson(*run->global, run->seed);
        if (ranges) out["ranges"] = rangesJson(*ranges);
        out["messages"] = messages;
        std::cout << out.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return kExitOk;
    }
    if (haveStart && !run->global) printModel("start:", start, summary.startSsq);
    printModel("fitted:", sounding->model, summary.ssq);
    std::printf("linearisations: %d  trials: %d  accepted steps: %d  passes: %d  (%s)\n", summary.linearisations,
                summary.trials, summary.acceptedSteps, summary.passes, statusName(summary.status));
    if (run->global) printGlobalFit(*run->global, run->seed);
    if (ranges) printRanges(*ranges);
    std::fflush(stdout);
    for (const std::string& text : messages) std::cout << "message: " << text << '\n';
    return kExitOk;
}

}  // namespace orma::cli
