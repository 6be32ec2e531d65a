// ormacli lci: one profile of a VES database fitted jointly (laterally
// constrained inversion), the joint models written into a new database.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "Commands.h"
#include "LoadSounding.h"
#include "ModelArguments.h"
#include "OptionTable.h"
#include "core/LateralInversionProfile.h"
#include "io/FormatPatterns.h"
#include "io/VdbFile.h"

namespace orma::cli {

namespace {

constexpr const char* kLciUsage =
    "usage: ormacli lci FILE.vdb --profile L/P --out NEW.vdb [--layers N] [--lateral-rho F] [--lateral-depth "
    "F]\n"
    "                   [--lateral-bend F] [--data-error E] [--accurate] [--measured-spacings] [--threads N] "
    "[--json]\n";

constexpr OptionSpec kLciOptions[] = {
    {"--profile", Takes::Value, "L/P", "the profile fitted: locality/profile indices from 0"},
    {"--out", Takes::Value, "NEW.vdb", "the new database with the joint models (a numbered copy when taken)"},
    {"--layers", Takes::Value, "N", "the layers of every model, 2..30 (default: the count most points have)"},
    {"--lateral-rho", Takes::Value, "F", "the resistivity change expected per 100 m, a factor above 1 (default 1.3)"},
    {"--lateral-depth", Takes::Value, "F", "the depth change expected per 100 m, a factor above 1 (default 1.25)"},
    {"--lateral-bend", Takes::Value, "F", "the change of a boundary's dip expected per 100 m, a factor above 1 or 0 for none (default 1.15)"},
    {"--data-error", Takes::Value, "E", "the data error, e.g. 0.03 for 3 % (default 0: estimated from the fits)"},
    {"--accurate", Takes::Nothing, "", "the 201-point filter in double precision instead of the 13-tap filter"},
    {"--measured-spacings", Takes::Nothing, "", "compute each row at the mean measured AB/2"},
    {"--threads", Takes::Value, "N", "threads, 1..256 (default: all cores)"},
    {"--json", Takes::Nothing, "", "print JSON instead of a table"},
};

struct LciArguments {
    std::string database;
    std::string out;
    int locality = -1;
    int profile = -1;
    int layers = 0;  ///< 0: the layer count most points have
    LateralInversionOptions run;
    bool json = false;
};

bool parseLciProfile(const std::string& text, LciArguments& a) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) return false;
    const auto l = parseInteger(std::string_view(text).substr(0, slash));
    const auto p = parseInteger(std::string_view(text).substr(slash + 1));
    if (!l || !p || *l < 0 || *p < 0) return false;
    a.locality = *l;
    a.profile = *p;
    return true;
}

/// One number of an option; a message on stderr when it is not one.
std::optional<double> lciOptionNumber(const std::string& option, const std::string& value) {
    const auto list = parseNumberList(value);
    if (!list || list->size() != 1) {
        std::cerr << "ormacli lci: " << option << " expects one number\n";
        return std::nullopt;
    }
    return list->front();
}

/// Takes the value of an option that has one; false (with a message) when it is wrong.
bool takeLciValue(const std::string& option, const std::string& value, LciArguments& a) {
    if (option == "--out") {
        a.out = value;
    } else if (option == "--profile") {
        if (!parseLciProfile(value, a)) {
            std::cerr << "ormacli lci: --profile expects locality/profile indices from 0, e.g. 0/1\n";
            return false;
        }
    } else if (option == "--layers" || option == "--threads") {
        const std::optional<int> n = parseInteger(value);
        const int most = option == "--layers" ? kMaxLayers : 256;
        if (!n || *n < (option == "--layers" ? 2 : 1) || *n > most) {
            std::cerr << "ormacli lci: " << option
                      << (option == "--layers" ? " must be 2 to 30\n" : " must be 1 to 256\n");
            return false;
        }
        if (option == "--layers")
            a.layers = *n;
        else
            a.run.threads = static_cast<unsigned>(*n);
    } else {
        const std::optional<double> number = lciOptionNumber(option, value);
        if (!number) return false;
        if (option == "--data-error") {
            if (!(*number >= 0.0)) {
                std::cerr << "ormacli lci: --data-error must be 0 (estimated) or above, e.g. 0.03 for 3 %\n";
                return false;
            }
            a.run.dataError = *number;
            return true;
        }
        const bool bend = option == "--lateral-bend";
        if (!(*number > 1.0 || (bend && *number == 0.0))) {
            std::cerr << "ormacli lci: " << option << " is a factor per 100 m and must be above 1 (e.g. 1.2)"
                      << (bend ? ", or 0 for none" : "") << '\n';
            return false;
        }
        (bend ? a.run.depthBendFactor : option == "--lateral-rho" ? a.run.resistivityFactor : a.run.depthFactor) =
            *number;
    }
    return true;
}

std::optional<LciArguments> parseLciArguments(const Args& args) {
    LciArguments a;
    bool havePath = false;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        const std::string arg(option.name);
        if (arg == "--json") {
            a.json = true;
        } else if (arg == "--accurate") {
            a.run.computation.accurateForward = true;
        } else if (arg == "--measured-spacings") {
            a.run.computation.measuredSpacings = true;
        } else {
            return takeLciValue(arg, *value, a);
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        if (havePath) {
            std::cerr << "ormacli lci: only one FILE.vdb is read\n";
            return false;
        }
        a.database = argument;
        havePath = true;
        return true;
    };
    if (!walkArguments(kLciCommand, args, onOption, onPositional)) return std::nullopt;
    if (!havePath || a.profile < 0 || a.out.empty()) {
        std::cerr << kLciUsage;
        return std::nullopt;
    }
    return a;
}

}  // namespace

const CommandSpec kLciCommand{"lci", "one profile of a database fitted jointly (laterally constrained inversion)",
                              kLciUsage, kLciOptions, "option", true, true, runLci};

namespace {

const char* lciStatusText(LciStatus status) {
    switch (status) {
        case LciStatus::Converged:
            return "converged";
        case LciStatus::NoImprovement:
            return "no further improvement";
        case LciStatus::LinearisationLimit:
            return "linearisation limit";
    }
    return "";
}

/// Resistivities and depths of a stored model, held values flagged.
nlohmann::json storedModelJson(const VesPoint& point) {
    nlohmann::json rho = nlohmann::json::array(), depth = nlohmann::json::array();
    nlohmann::json heldRho = nlohmann::json::array(), heldDepth = nlohmann::json::array();
    for (int k = 0; k <= point.MDLmx; ++k) {
        rho.push_back(shortestDecimal(std::fabs(point.resistivity[k])));
        if (point.resistivity[k] < 0.0f) heldRho.push_back(k);
        if (k == point.MDLmx) break;
        depth.push_back(shortestDecimal(std::fabs(point.depth[k])));
        if (point.depth[k] < 0.0f) heldDepth.push_back(k);
    }
    return {{"resistivity", rho}, {"depth", depth}, {"heldResistivity", heldRho}, {"heldDepth", heldDepth}};
}

void printLciPoint(const VesPoint& point, double before, double after) {
    std::printf("%-20s %10.2f %12.6f %12.6f ", point.name.c_str(), static_cast<double>(point.profileChainage),
                before, after);
    for (int k = 0; k <= point.MDLmx; ++k) {
        const bool heldRho = point.resistivity[k] < 0.0f;
        std::printf(" %.6g%s", static_cast<double>(std::fabs(point.resistivity[k])), heldRho ? "*" : "");
        if (k < point.MDLmx)
            std::printf("/%.6g%s", static_cast<double>(std::fabs(point.depth[k])),
                        point.depth[k] < 0.0f ? "*" : "");
    }
    std::printf("\n");
}

void printLciSummary(const LciArguments& a, const Profile& profile, const ProfileInversion& problem,
                     int layers, const LateralInversionSummary& s) {
    std::printf("profile %d/%d %s: %d of %zu points fitted jointly with %d layers", a.locality, a.profile,
                profile.name.c_str(), s.points, profile.points.size(), layers);
    if (s.automaticStarts > 0) std::printf(" (%d from an automatic start)", s.automaticStarts);
    std::printf("\nlateral factors per 100 m: resistivity %g, depth %g, depth bend %g; data error %.4g%s\n",
                a.run.resistivityFactor, a.run.depthFactor, a.run.depthBendFactor, s.dataError,
                a.run.dataError > 0.0 ? "" : " (estimated from the start models)");
    std::printf("%s after %d linearisations\n", lciStatusText(s.status), s.linearisations);
    std::printf("total SSQ %.6f -> %.6f; constraint misfit %.4f -> %.4f (%d rows); objective %.4f -> %.4f\n",
                s.startDataSsq, s.dataSsq, s.startConstraintMisfit, s.constraintMisfit, s.constraintRows,
                s.startObjective, s.objective);
    std::printf("%-20s %10s %12s %12s  %s\n", "point", "chainage", "SSQ before", "SSQ after",
                "resistivity/depth of each layer (* held)");
    for (std::size_t i = 0; i < problem.soundings.size(); ++i)
        if (problem.soundings[i].included) printLciPoint(profile.points[i], s.startSsq[i], s.ssq[i]);
}

nlohmann::json lciSummaryJson(const LciArguments& a, const Profile& profile, const ProfileInversion& problem,
                              int layers, const LateralInversionSummary& s) {
    nlohmann::json points = nlohmann::json::array();
    for (std::size_t i = 0; i < problem.soundings.size(); ++i) {
        if (!problem.soundings[i].included) continue;
        const VesPoint& point = profile.points[i];
        nlohmann::json entry = {{"index", i},
                                {"name", point.name},
                                {"chainage", shortestDecimal(point.profileChainage)},
                                {"ssqBefore", s.startSsq[i]},
                                {"ssq", s.ssq[i]}};
        entry.update(storedModelJson(point));
        points.push_back(std::move(entry));
    }
    return {{"file", a.database},
            {"out", a.out},
            {"profile", std::to_string(a.locality) + "/" + std::to_string(a.profile)},
            {"profileName", profile.name},
            {"layers", layers},
            {"lateralRho", a.run.resistivityFactor},
            {"lateralDepth", a.run.depthFactor},
            {"lateralBend", a.run.depthBendFactor},
            {"dataError", s.dataError},
            {"dataErrorEstimated", !(a.run.dataError > 0.0)},
            {"status", lciStatusText(s.status)},
            {"linearisations", s.linearisations},
            {"automaticStarts", s.automaticStarts},
            {"totalSsqBefore", s.startDataSsq},
            {"totalSsq", s.dataSsq},
            {"constraintMisfitBefore", s.startConstraintMisfit},
            {"constraintMisfit", s.constraintMisfit},
            {"constraintRows", s.constraintRows},
            {"objectiveBefore", s.startObjective},
            {"objective", s.objective},
            {"points", std::move(points)},
            {"leftOut", s.leftOut},
            {"messages", problem.messages}};
}

}  // namespace

int runLci(const Args& args) {
    const std::optional<LciArguments> a = parseLciArguments(args);
    if (!a) return kExitUsage;
    std::error_code error;
    if (std::filesystem::exists(a->out, error) || std::filesystem::is_symlink(a->out, error)) {
        std::cerr << "ormacli lci: " << a->out << " already exists; the joint models go to a new database\n";
        return kExitDataError;
    }
    auto db = std::make_unique<VesDatabase>();
    if (const Outcome read = readVdbFile(a->database, *db); !read) {
        std::cerr << "ormacli: " << a->database << ": " << read.text() << '\n';
        return kExitDataError;
    }
    if (a->locality > db->mxindex_lokalit() || a->profile > db->localities[a->locality].mxindex_profilu()) {
        std::cerr << "ormacli: " << a->database << ": there is no profile " << a->locality << '/'
                  << a->profile << '\n';
        return kExitDataError;
    }
    Profile& profile = db->localities[a->locality].profiles[a->profile];
    const int layers = a->layers > 0 ? a->layers : commonLayerCount(profile);
    if (layers < 2) {
        std::cerr << "ormacli lci: no point of profile " << a->locality << '/' << a->profile
                  << " has a model; give the layer count with --layers N\n";
        return kExitDataError;
    }

    ProfileInversion problem = profileInversion(profile, a->run.computation);
    printMessages(a->database, problem.messages);
    LateralInversionSummary summary;
    const Outcome run =
        runLateralInversion(problem.soundings, layers, a->run, summary, [](const LciProgress& p) {
            if (p.phase == LciProgress::Phase::AutomaticStart)
                std::cerr << "ormacli lci: automatic start " << p.done << " of " << p.total << '\n';
            else
                std::cerr << "ormacli lci: linearisation " << p.done << ", objective " << p.objective << '\n';
        });
    for (const std::string& text : summary.leftOut) std::cerr << "ormacli lci: " << text << '\n';
    if (!run) {
        std::cerr << "ormacli lci: " << run.text() << '\n';
        return kExitDataError;
    }

    applyProfileInversion(problem, profile);
    if (const Outcome written = writeVdbFile(*db, a->out); !written) {
        std::cerr << "ormacli lci: " << a->out << ": " << written.text() << '\n';
        return kExitDataError;
    }
    if (a->json) {
        std::cout << lciSummaryJson(*a, profile, problem, layers, summary).dump(2) << '\n';
    } else {
        printLciSummary(*a, profile, problem, layers, summary);
        std::printf("database written to %s\n", a->out.c_str());
    }
    return kExitOk;
}

}  // namespace orma::cli
