// ormacli interpret: every GEF file and field sheet of a directory fitted from
// an automatic starting model, in parallel; a new database and a summary.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "LoadSounding.h"
#include "io/Cp1250Text.h"
#include "io/FormatPatterns.h"
#include "io/ProfileInterpretation.h"
#include "io/SafeFile.h"
#include "io/VdbFile.h"

namespace orma::cli {

namespace {

constexpr const char* kInterpretUsage =
    "usage: ormacli interpret DIR --layers N [--vdb OUT.vdb] [--csv SUMMARY.csv] [--accurate] [--converge]\n"
    "                         [--threads N]\n";

struct InterpretOptions {
    std::string directory;
    std::string vdb;
    std::string csv;
    ProfileInterpretationOptions run;
    bool haveLayers = false;
};

std::optional<InterpretOptions> parseInterpretOptions(const Args& args) {
    InterpretOptions options;
    bool haveDirectory = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--accurate") {
            options.run.computation.accurateForward = true;
        } else if (arg == "--converge") {
            options.run.computation.fitUntilConverged = true;
        } else if (arg == "--layers" || arg == "--threads" || arg == "--vdb" || arg == "--csv") {
            if (i + 1 >= args.size()) {
                std::cerr << "ormacli interpret: " << arg << " needs a value\n";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--vdb" || arg == "--csv") {
                (arg == "--vdb" ? options.vdb : options.csv) = value;
                continue;
            }
            const std::optional<int> number = parseInteger(value);
            if (arg == "--layers") {
                if (!number || *number < 1 || *number > kMaxLayers) {
                    std::cerr << "ormacli interpret: --layers must be 1 to 30\n";
                    return std::nullopt;
                }
                options.run.layers = *number;
                options.haveLayers = true;
            } else {
                if (!number || *number < 1 || *number > 256) {
                    std::cerr << "ormacli interpret: --threads must be 1 to 256\n";
                    return std::nullopt;
                }
                options.run.threads = static_cast<unsigned>(*number);
            }
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "ormacli interpret: unknown option " << arg << '\n' << kInterpretUsage;
            return std::nullopt;
        } else if (!haveDirectory) {
            options.directory = arg;
            haveDirectory = true;
        } else {
            std::cerr << "ormacli interpret: only one DIR is read\n";
            return std::nullopt;
        }
    }
    if (!haveDirectory || !options.haveLayers) {
        std::cerr << kInterpretUsage;
        return std::nullopt;
    }
    return options;
}

bool samePath(const std::string& a, const std::string& b) {
    std::error_code error;
    return !b.empty() && std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

void printResult(const InterpretedSounding& r) {
    const VesPoint& p = r.point;
    std::printf("%-24s %8d %12.6f", r.fileName.c_str(), r.chainage, r.fit.summary.ssq);
    for (int i = 0; i <= p.MDLmx; ++i) {
        std::printf("  %.6g", static_cast<double>(std::fabs(p.resistivity[static_cast<std::size_t>(i)])));
        if (i < p.MDLmx) std::printf("/%.6g", static_cast<double>(std::fabs(p.depth[static_cast<std::size_t>(i)])));
    }
    std::printf("\n");
}

}  // namespace

int runInterpret(const Args& args) {
    const std::optional<InterpretOptions> options = parseInterpretOptions(args);
    if (!options) return kExitUsage;
    // The summary goes to a new file only; a database name in use gets a numbered copy.
    std::error_code error;
    if (!options->csv.empty() && (std::filesystem::exists(options->csv, error) ||
                                  std::filesystem::is_symlink(options->csv, error))) {
        std::cerr << "ormacli interpret: " << options->csv << " already exists; the summary goes to a new file\n";
        return kExitDataError;
    }
    std::string problem;
    std::vector<std::string> files = listSoundingFiles(options->directory, problem);
    if (!problem.empty()) {
        std::cerr << "ormacli interpret: " << problem << '\n';
        return kExitDataError;
    }
    std::erase_if(files, [&](const std::string& f) { return samePath(f, options->csv) || samePath(f, options->vdb); });
    if (files.empty()) {
        std::cerr << "ormacli interpret: no GEF files or sheets (*.GEF, *.csv, *.txt) in " << options->directory << '\n';
        return kExitDataError;
    }

    std::vector<InterpretedSounding> results = interpretSoundingFiles(
        files, options->run, [](std::size_t done, std::size_t total, const InterpretedSounding& r) {
            printMessages(r.path, r.messages);
            std::cerr << "ormacli interpret: " << done << " of " << total << ": " << r.fileName
                      << (r.interpreted ? "" : " skipped") << '\n';
        });
    const std::string name = std::filesystem::path(options->directory).lexically_normal().filename().string();
    VesDatabase db = profileDatabase(results, name.empty() ? options->directory : name);

    int status = kExitOk;
    std::printf("%-24s %8s %12s  %s\n", "file", "chainage", "SSQ", "resistivity/depth of each layer");
    for (const InterpretedSounding& r : results)
        if (r.interpreted) printResult(r);
    std::fflush(stdout);
    if (!options->vdb.empty()) {
        const std::string target = freeDatabaseName(options->vdb);
        const Outcome saved = writeVdbFile(db, target);
        if (!saved) {
            std::cerr << "ormacli interpret: " << saved.cause << '\n';
            status = kExitDataError;
        } else {
            std::cerr << "ormacli interpret: database written to " << target << '\n';
        }
    }
    if (!options->csv.empty()) {
        const FileResult saved = writeWholeFile(
            options->csv, utf8ToCp1250(interpretationSummaryCsv(results, options->run.layers)), ExistingFile::Refuse);
        if (!saved) {
            std::cerr << "ormacli interpret: " << saved.describe(options->csv) << '\n';
            status = kExitDataError;
        }
    }

    int skipped = 0;
    for (const InterpretedSounding& r : results) skipped += r.interpreted ? 0 : 1;
    std::cerr << "ormacli interpret: " << results.size() - static_cast<std::size_t>(skipped) << " of " << results.size()
              << " soundings interpreted\n";
    if (skipped > 0) {
        std::cerr << "ormacli interpret: skipped:\n";
        for (const InterpretedSounding& r : results)
            if (!r.interpreted) std::cerr << "  " << r.fileName << ": " << r.reason << '\n';
        status = kExitDataError;
    }
    return status;
}

}  // namespace orma::cli
