// ormacli interpret: every GEF file and field sheet of a directory fitted from
// an automatic starting model, in parallel; a new database and a summary.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

#include "Commands.h"
#include "LoadSounding.h"
#include "ModelArguments.h"
#include "OptionTable.h"
#include "io/Cp1250Text.h"
#include "io/DirectoryListing.h"
#include "io/FormatPatterns.h"
#include "io/ProfileInterpretation.h"
#include "io/ProfileJointFit.h"
#include "io/SafeFile.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"

namespace orma::cli {

namespace {

std::string noFreeCopyName(const std::string& path) {
    return path + ": every numbered copy up to .vdb_" + std::to_string(kMaxCopyNumber) + " is taken";
}

constexpr const char* kInterpretUsage =
    "usage: ormacli interpret DIR --layers N [--vdb OUT.vdb] [--csv SUMMARY.csv] [--accurate] [--converge]\n"
    "                         [--threads N] [--global [STARTS] [--seed S]]\n"
    "                         [--lci [--lateral-rho F] [--lateral-depth F] [--lateral-bend F]]\n";

bool isInterpretStartCount(std::string_view next);

constexpr OptionSpec kInterpretOptions[] = {
    {"--layers", Takes::Value, "N", "the number of layers of every model, 1..30"},
    {"--vdb", Takes::Value, "OUT.vdb", "write a new database with a point per file (a numbered copy when taken)"},
    {"--csv", Takes::Value, "SUMMARY.csv", "write the summary as CSV (- for standard output instead of the table)"},
    {"--accurate", Takes::Nothing, "", "the 201-point filter in double precision instead of the 13-tap filter"},
    {"--converge", Takes::Nothing, "", "repeat passes until one gains less than 0.1 % (at most 100)"},
    {"--threads", Takes::Value, "N", "fit on N threads, 1..256 (default: all cores)"},
    {"--global", Takes::OptionalValue, "STARTS", "fit each sounding globally, layer count by layer count, STARTS spread starts each (default 32)",
     {}, isInterpretStartCount},
    {"--seed", Takes::Value, "S", "with --global: the seed of the starts (a whole number from 0)"},
    {"--lci", Takes::Nothing, "", "then fit each profile jointly (laterally constrained inversion)"},
    {"--lateral-rho", Takes::Value, "F", "with --lci: the resistivity change expected per 100 m, a factor above 1 (default 1.3)"},
    {"--lateral-depth", Takes::Value, "F", "with --lci: the depth change expected per 100 m, a factor above 1 (default 1.25)"},
    {"--lateral-bend", Takes::Value, "F", "with --lci: the change of a boundary's dip expected per 100 m, a factor above 1 or 0 for none (default 1.15)"},
};

struct InterpretOptions {
    std::string directory;
    std::string vdb;
    std::string csv;
    ProfileInterpretationOptions run;
    bool haveLayers = false;
    bool haveSeed = false;
    bool lci = false;
    LateralInversionOptions joint;
    bool haveLateral = false;
};

/// --global takes an optional number of starts: the next argument when it is
/// a whole number.
bool isInterpretStartCount(std::string_view next) {
    return !next.empty() && next[0] != '-' && parseInteger(next).has_value();
}

bool storeInterpretGlobal(const std::string* value, InterpretOptions& options) {
    options.run.globalStarts = kDefaultInterpretGlobalStarts;
    if (value == nullptr) return true;
    const int starts = *parseInteger(*value);
    if (starts < 0 || starts > kMaxGlobalStarts) {
        std::cerr << "ormacli interpret: --global takes 0 to " << kMaxGlobalStarts << " starts\n";
        return false;
    }
    options.run.globalStarts = starts;
    return true;
}

/// The value of --seed or a --lateral-... factor; false after a message.
bool takeNumberOption(const std::string& arg, const std::string& value, InterpretOptions& options) {
    if (arg == "--seed") {
        // Any whole number from 0; the digits alone, so that "-1" is no seed.
        if (value.empty() || value.size() > 19 || value.find_first_not_of("0123456789") != std::string::npos) {
            std::cerr << "ormacli interpret: --seed must be a whole number from 0\n";
            return false;
        }
        options.run.seed = std::stoull(value);
        options.haveSeed = true;
        return true;
    }
    const std::optional<std::vector<double>> number = parseNumberList(value);
    const bool bend = arg == "--lateral-bend";
    if (!number || number->size() != 1 || !(number->front() > 1.0 || (bend && number->front() == 0.0))) {
        std::cerr << "ormacli interpret: " << arg << " is a factor per 100 m and must be above 1 (e.g. 1.2)"
                  << (bend ? ", or 0 for none" : "") << '\n';
        return false;
    }
    (bend ? options.joint.depthBendFactor
          : arg == "--lateral-rho" ? options.joint.resistivityFactor : options.joint.depthFactor) = number->front();
    options.haveLateral = true;
    return true;
}

bool takeValueOption(const std::string& arg, const std::string& value, InterpretOptions& options) {
    if (arg == "--vdb" || arg == "--csv") {
        (arg == "--vdb" ? options.vdb : options.csv) = value;
        return true;
    }
    if (arg == "--seed" || arg.starts_with("--lateral-")) return takeNumberOption(arg, value, options);
    const std::optional<int> number = parseInteger(value);
    if (arg == "--layers") {
        if (!number || *number < 1 || *number > kMaxLayers) {
            std::cerr << "ormacli interpret: --layers must be 1 to 30\n";
            return false;
        }
        options.run.layers = *number;
        options.haveLayers = true;
        return true;
    }
    if (!number || *number < 1 || *number > 256) {
        std::cerr << "ormacli interpret: --threads must be 1 to 256\n";
        return false;
    }
    options.run.threads = static_cast<unsigned>(*number);
    return true;
}

/// What the options need of each other; false after a message.
bool interpretOptionsAgree(const InterpretOptions& options) {
    const char* problem = nullptr;
    if (options.haveSeed && !options.run.globalStarts) problem = "--seed goes with --global";
    else if (options.haveLateral && !options.lci) problem = "--lateral-rho, --lateral-depth and --lateral-bend go with --lci";
    else if (options.lci && options.run.layers < 2) problem = "--lci fits models of 2 to 30 layers";
    if (problem != nullptr) std::cerr << "ormacli interpret: " << problem << '\n';
    return problem == nullptr;
}

std::optional<InterpretOptions> parseInterpretOptions(const Args& args) {
    InterpretOptions options;
    bool haveDirectory = false;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        const std::string arg(option.name);
        if (arg == "--accurate") {
            options.run.computation.accurateForward = true;
        } else if (arg == "--converge") {
            options.run.computation.fitUntilConverged = true;
        } else if (arg == "--lci") {
            options.lci = true;
        } else if (arg == "--global") {
            return storeInterpretGlobal(value, options);
        } else {
            return takeValueOption(arg, *value, options);
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        if (haveDirectory) {
            std::cerr << "ormacli interpret: only one DIR is read\n";
            return false;
        }
        options.directory = argument;
        haveDirectory = true;
        return true;
    };
    if (!walkArguments(kInterpretCommand, args, onOption, onPositional)) return std::nullopt;
    if (!haveDirectory || !options.haveLayers) {
        std::cerr << kInterpretUsage;
        return std::nullopt;
    }
    if (!interpretOptionsAgree(options)) return std::nullopt;
    options.joint.computation = options.run.computation;
    options.joint.threads = options.run.threads;
    return options;
}

bool samePath(const std::string& a, const std::string& b) {
    std::error_code error;
    return !b.empty() && b != "-" &&
           std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

void printResult(const InterpretedSounding& r) {
    const VesPoint& p = r.point;
    const double ssq = r.joint ? static_cast<double>(p.ssq) : r.fit.summary.ssq;
    std::printf("%-24s %8d %12.6f", r.fileName.c_str(), r.chainage, ssq);
    for (int i = 0; i <= p.MDLmx; ++i) {
        std::printf("  %.6g", static_cast<double>(std::fabs(p.resistivity[static_cast<std::size_t>(i)])));
        if (i < p.MDLmx) std::printf("/%.6g", static_cast<double>(std::fabs(p.depth[static_cast<std::size_t>(i)])));
    }
    std::printf("\n");
}

/// The files that take the results, made (as hidden temporary files) before
/// any fitting: a name that cannot take them stops the run at once instead of
/// after minutes of work.
struct InterpretOutputs {
    std::string vdbTarget;
    NewFileWriter vdb;
    NewFileWriter csv;
};

bool openOutputs(const InterpretOptions& options, InterpretOutputs& out) {
    std::error_code error;
    if (!options.vdb.empty()) {
        // A directory would only give its numbered copy DIR.vdb_1 (or a hidden DIR/.vdb_1).
        if (std::filesystem::is_directory(options.vdb, error) || options.vdb.back() == '/') {
            std::cerr << "ormacli interpret: " << options.vdb << " is a directory; --vdb names the database file\n";
            return false;
        }
        const std::optional<std::string> freeName = freeDatabaseName(options.vdb);
        if (!freeName) {
            std::cerr << "ormacli interpret: " << noFreeCopyName(options.vdb) << '\n';
            return false;
        }
        out.vdbTarget = *freeName;
        if (const FileResult opened = out.vdb.open(out.vdbTarget, ExistingFile::Refuse); !opened) {
            std::cerr << "ormacli interpret: " << opened.describe(out.vdbTarget) << '\n';
            return false;
        }
    }
    if (!options.csv.empty() && options.csv != "-") {
        if (std::filesystem::exists(options.csv, error) || std::filesystem::is_symlink(options.csv, error)) {
            std::cerr << "ormacli interpret: " << options.csv << " already exists; the summary goes to a new file\n";
            return false;
        }
        if (const FileResult opened = out.csv.open(options.csv, ExistingFile::Refuse); !opened) {
            std::cerr << "ormacli interpret: " << opened.describe(options.csv) << '\n';
            return false;
        }
    }
    return true;
}

/// Writes the database; a name taken meanwhile gives the next numbered copy.
bool writeDatabase(const VesDatabase& db, const InterpretOptions& options, InterpretOutputs& out) {
    Outcome saved = checkVdbWritable(db);
    if (saved) {
        FileResult written = out.vdb.write(formatVdb(db, out.vdbTarget));
        if (written) written = out.vdb.commit();
        if (written.problem == FileProblem::Exists) {
            const std::optional<std::string> freeName = freeDatabaseName(options.vdb);
            if (freeName) out.vdbTarget = *freeName;
            saved = freeName ? writeVdbFile(db, out.vdbTarget)
                             : Outcome::failure(kVdbCannotCreate, noFreeCopyName(options.vdb));
        } else if (!written) {
            saved = Outcome::failure(kVdbCannotCreate, written.describe(out.vdbTarget));
        }
    }
    if (!saved) {
        std::cerr << "ormacli interpret: " << saved.cause << '\n';
        return false;
    }
    int profiles = 0, points = 0;
    for (const Locality& locality : db.localities) {
        for (const Profile& profile : locality.profiles) {
            ++profiles;
            points += static_cast<int>(profile.points.size());
        }
    }
    std::cerr << "ormacli interpret: database written to " << out.vdbTarget << " (" << points << " points in "
              << profiles << (profiles == 1 ? " profile)\n" : " profiles)\n");
    return true;
}

/// Lists the soundings that `why` gives a reason for; true when there were any.
bool listLeftOut(const std::vector<InterpretedSounding>& results, const char* heading,
                 const std::string& (*why)(const InterpretedSounding&)) {
    bool any = false;
    for (const InterpretedSounding& r : results) {
        const std::string& reason = why(r);
        if (reason.empty()) continue;
        if (!any) std::cerr << "ormacli interpret: " << heading << ":\n";
        any = true;
        std::cerr << "  " << r.fileName << ": " << reason << '\n';
    }
    return any;
}

const std::string& skippedReason(const InterpretedSounding& r) {
    static const std::string none;
    return r.interpreted ? none : r.reason;
}

const std::string& notStoredReason(const InterpretedSounding& r) { return r.notStored; }

/// Each profile of the new database fitted jointly; what became of each is
/// told on stderr.
void fitJointly(const InterpretOptions& options, VesDatabase& db, std::vector<InterpretedSounding>& results) {
    const std::vector<ProfileJointFit> reports = fitProfilesJointly(
        db, results, options.run.layers, options.joint, [](int profile, int total, const std::string& name) {
            std::cerr << "ormacli interpret: joint fit of profile " << name << " (" << profile << " of " << total
                      << ")\n";
        });
    for (const ProfileJointFit& report : reports) {
        printMessages(report.profile, report.messages);
        if (!report.fitted) {
            std::cerr << "ormacli interpret: profile " << report.profile << " not fitted jointly: " << report.problem
                      << '\n';
            continue;
        }
        const LateralInversionSummary& s = report.summary;
        for (const std::string& sentence : s.leftOut) std::cerr << "ormacli interpret: " << sentence << '\n';
        std::fprintf(stderr,
                     "ormacli interpret: profile %s fitted jointly: %d points, total SSQ %.6f -> %.6f, "
                     "constraint misfit %.4f -> %.4f, %d linearisations\n",
                     report.profile.c_str(), s.points, s.startDataSsq, s.dataSsq, s.startConstraintMisfit,
                     s.constraintMisfit, s.linearisations);
    }
}

}  // namespace

const CommandSpec kInterpretCommand{
    "interpret", "every GEF file and sheet of a directory fitted unattended, into a new database",
    kInterpretUsage, kInterpretOptions, "option", true, false, runInterpret};

int runInterpret(const Args& args) {
    const std::optional<InterpretOptions> options = parseInterpretOptions(args);
    if (!options) return kExitUsage;
    InterpretOutputs outputs;
    if (!openOutputs(*options, outputs)) return kExitDataError;

    DirectoryListing listing = listDirectory(options->directory, ListedFiles::GefAndSheets);
    if (!listing.problem.empty()) {
        std::cerr << "ormacli interpret: " << listing.problem << '\n';
        return kExitDataError;
    }
    std::vector<std::string> files;
    for (const std::filesystem::path& file : listing.files) {
        if (!samePath(file, options->csv) && !samePath(file, options->vdb)) files.push_back(file.string());
    }
    if (files.empty()) {
        std::cerr << "ormacli interpret: no GEF files or sheets (*.GEF, *.csv, *.txt) in " << options->directory << '\n';
        for (const SkippedDirectoryEntry& entry : listing.skipped)
            std::cerr << "  " << entry.path.filename().string() << ": " << entry.reason << '\n';
        return kExitDataError;
    }

    std::vector<InterpretedSounding> results = interpretSoundingFiles(
        files, options->run, [](std::size_t done, std::size_t total, const InterpretedSounding& r) {
            printMessages(r.path, r.messages);
            std::cerr << "ormacli interpret: " << done << " of " << total << ": " << r.fileName
                      << (r.interpreted ? "" : " skipped") << '\n';
        });
    // Entries named like soundings that are no files to read are named with the skipped files.
    for (const SkippedDirectoryEntry& entry : listing.skipped) {
        InterpretedSounding& r = results.emplace_back();
        r.path = entry.path.string();
        r.fileName = entry.path.filename().string();
        r.reason = entry.reason;
    }
    std::stable_sort(results.begin(), results.end(), [](const InterpretedSounding& a, const InterpretedSounding& b) {
        return naturalLess(a.fileName, b.fileName);
    });

    int status = kExitOk;
    VesDatabase db;
    if (!options->vdb.empty() || options->lci) {
        const std::string name = std::filesystem::path(options->directory).lexically_normal().filename().string();
        db = profileDatabase(results, name.empty() ? options->directory : name);
    }
    if (options->lci) fitJointly(*options, db, results);
    SummaryColumns columns;
    columns.depthRanges = options->run.globalStarts.has_value();
    columns.joint = options->lci;
    const std::string summary = interpretationSummaryCsv(results, options->run.layers, columns);
    if (options->csv == "-") {
        std::cout << summary;
    } else {
        std::printf("%-24s %8s %12s  %s\n", "file", "chainage", "SSQ", "resistivity/depth of each layer");
        for (const InterpretedSounding& r : results)
            if (r.interpreted) printResult(r);
    }
    std::cout.flush();
    std::fflush(stdout);
    if (!options->vdb.empty() && !writeDatabase(db, *options, outputs)) status = kExitDataError;
    if (outputs.csv.isOpen()) {
        FileResult saved = outputs.csv.write(utf8ToCp1250(summary));
        if (saved) saved = outputs.csv.commit();
        if (!saved) {
            std::cerr << "ormacli interpret: " << saved.describe(options->csv) << '\n';
            status = kExitDataError;
        }
    }

    std::size_t interpreted = 0;
    for (const InterpretedSounding& r : results) interpreted += r.interpreted ? 1 : 0;
    std::cerr << "ormacli interpret: " << interpreted << " of " << results.size() << " soundings interpreted\n";
    if (listLeftOut(results, "skipped", skippedReason)) status = kExitDataError;
    if (listLeftOut(results, "not in the database", notStoredReason)) status = kExitDataError;
    return status;
}

}  // namespace orma::cli
