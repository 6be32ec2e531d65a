// ormacli db: the contents of a VES database file as the section window
// reads it: localities, profiles and points, or one point in full.

#include <cmath>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "Commands.h"
#include "ModelArguments.h"
#include "OptionTable.h"
#include "core/AbGrid.h"
#include "core/VesDatabase.h"
#include "io/FormatPatterns.h"
#include "io/VdbFile.h"

namespace orma::cli {

namespace {

constexpr const char* kDbUsage = "usage: ormacli db FILE.vdb [--point L/P/K] [--json]\n";

constexpr OptionSpec kDbOptions[] = {
    {"--point", Takes::Value, "L/P/K", "one point in full: locality/profile/point indices from 0", "--point needs L/P/K"},
    {"--json", Takes::Nothing, "", "print JSON instead of a table"},
};

struct PointAddress {
    int locality = 0;
    int profile = 0;
    int point = 0;
};

struct DbOptions {
    std::string path;
    std::optional<PointAddress> point;
    bool json = false;
};

/// "0/1/5" -> locality 0, profile 1, point 5.
std::optional<PointAddress> parseAddress(const std::string& text) {
    const std::size_t first = text.find('/');
    const std::size_t second = first == std::string::npos ? first : text.find('/', first + 1);
    if (second == std::string::npos) return std::nullopt;
    const auto l = parseInteger(std::string_view(text).substr(0, first));
    const auto p = parseInteger(std::string_view(text).substr(first + 1, second - first - 1));
    const auto k = parseInteger(std::string_view(text).substr(second + 1));
    if (!l || !p || !k || *l < 0 || *p < 0 || *k < 0) return std::nullopt;
    return PointAddress{*l, *p, *k};
}

std::optional<DbOptions> parseDbOptions(const Args& args) {
    DbOptions options;
    bool havePath = false;
    const auto onOption = [&](const OptionSpec& option, const std::string* value) {
        if (option.name == "--json") {
            options.json = true;
            return true;
        }
        options.point = parseAddress(*value);
        if (!options.point) {
            std::cerr << "ormacli db: --point expects locality/profile/point indices from 0, e.g. 0/1/5\n";
            return false;
        }
        return true;
    };
    const auto onPositional = [&](const std::string& argument) {
        if (havePath) {
            std::cerr << "ormacli db: only one FILE is read\n";
            return false;
        }
        options.path = argument;
        havePath = true;
        return true;
    };
    if (!walkArguments(kDbCommand, args, onOption, onPositional)) return std::nullopt;
    if (!havePath) {
        std::cerr << kDbUsage;
        return std::nullopt;
    }
    return options;
}

nlohmann::json pointSummaryJson(int index, const VesPoint& point) {
    return {{"index", index},
            {"name", point.name},
            {"date", point.date},
            {"operator", point.operatorName},
            {"comment", point.comment},
            {"terrainChainage", shortestDecimal(point.terrainChainage)},
            {"profileChainage", shortestDecimal(point.profileChainage)},
            {"x", shortestDecimal(point.x)},
            {"y", shortestDecimal(point.y)},
            {"z", shortestDecimal(point.z)},
            {"layers", point.layerCount()},
            {"ssq", shortestDecimal(point.ssq)}};
}

nlohmann::json databaseJson(const std::string& path, const VesDatabase& db) {
    using nlohmann::json;
    json localities = json::array();
    for (std::size_t l = 0; l < db.localities.size(); ++l) {
        const Locality& locality = db.localities[l];
        json profiles = json::array();
        for (std::size_t p = 0; p < locality.profiles.size(); ++p) {
            const Profile& profile = locality.profiles[p];
            json points = json::array();
            for (std::size_t k = 0; k < profile.points.size(); ++k) {
                points.push_back(pointSummaryJson(static_cast<int>(k), profile.points[k]));
            }
            profiles.push_back({{"index", p},
                                {"name", profile.name},
                                {"xScale", shortestDecimal(profile.xScale)},
                                {"zScale", shortestDecimal(profile.zScale)},
                                {"points", std::move(points)}});
        }
        localities.push_back({{"index", l},
                              {"name", locality.name},
                              {"country", locality.country},
                              {"region", locality.region},
                              {"profiles", std::move(profiles)}});
    }
    return {{"file", path}, {"localities", std::move(localities)}};
}

/// 1:N of a display scale stored as 1/N.
std::string scaleText(float scale) {
    return scale > 0.0f ? "1:" + std::to_string(std::lround(1.0 / scale)) : "?";
}

void printDatabase(const std::string& path, const VesDatabase& db) {
    std::cout << "database: " << path << '\n';
    for (std::size_t l = 0; l < db.localities.size(); ++l) {
        const Locality& locality = db.localities[l];
        std::cout << "\nlocality " << l << ": " << locality.name << "  (country: " << locality.country
                  << ", region: " << locality.region << ")  profiles: " << locality.profiles.size() << '\n';
        for (std::size_t p = 0; p < locality.profiles.size(); ++p) {
            const Profile& profile = locality.profiles[p];
            std::cout << "  profile " << l << '/' << p << ": " << profile.name << "  points: " << profile.points.size()
                      << "  scale X " << scaleText(profile.xScale) << "  scale Z " << scaleText(profile.zScale) << '\n';
            if (profile.points.empty()) continue;
            std::cout << "    #\tname\tterrain chainage\tprofile chainage\tX\tY\tZ\tlayers\tSSQ\n";
            for (std::size_t k = 0; k < profile.points.size(); ++k) {
                const VesPoint& point = profile.points[k];
                std::cout << "    " << k << '\t' << point.name << '\t' << formatFixed(point.terrainChainage) << '\t'
                          << formatFixed(point.profileChainage) << '\t' << formatFixed(point.x) << '\t'
                          << formatFixed(point.y) << '\t' << formatFixed(point.z) << '\t' << point.layerCount()
                          << '\t' << formatFixed(point.ssq) << '\n';
            }
        }
    }
}

nlohmann::json pointJson(const PointAddress& address, const VesPoint& point) {
    using nlohmann::json;
    json result = pointSummaryJson(address.point, point);
    result["locality"] = address.locality;
    result["profile"] = address.profile;
    result["ABmx"] = point.ABmx;
    result["nABmn"] = point.nABmn;
    result["MNmx"] = point.MNmx;
    result["MDLmx"] = point.MDLmx;
    result["Mermx"] = point.Mermx;
    json samples = json::array();
    for (int s = 0; s < point.Mermx; ++s) {
        samples.push_back({{"ab2", shortestDecimal(point.ab2[s])},
                           {"mn2", shortestDecimal(point.mn2[s])},
                           {"rhoA", shortestDecimal(point.rhoA[s])},
                           {"branch", point.branch[s]}});
    }
    json composite = json::array();
    for (int k = point.nABmn; k <= point.ABmx && k < kMaxPointSamples; ++k) {
        composite.push_back({{"k", k}, {"ab2", abGridValue(k)}, {"rho", shortestDecimal(point.composite[k])}});
    }
    json model = json::array();
    for (int i = 0; i <= point.MDLmx; ++i) {
        json layer{{"resistivity", shortestDecimal(std::fabs(point.resistivity[i]))},
                   {"resistivityFixed", point.resistivity[i] < 0.0f}};
        if (i < point.MDLmx) {
            layer["depth"] = shortestDecimal(std::fabs(point.depth[i]));
            layer["depthFixed"] = point.depth[i] < 0.0f;
        }
        model.push_back(std::move(layer));
    }
    result["samples"] = std::move(samples);
    result["composite"] = std::move(composite);
    result["model"] = std::move(model);
    return result;
}

void printPoint(const PointAddress& address, const VesPoint& point) {
    std::cout << "point " << address.locality << '/' << address.profile << '/' << address.point << ": " << point.name
              << "\ndate: " << point.date << "\noperator: " << point.operatorName << "\ncomment: " << point.comment
              << "\nterrain chainage: " << formatFixed(point.terrainChainage)
              << "  profile chainage: " << formatFixed(point.profileChainage) << "\nX: " << formatFixed(point.x)
              << "  Y: " << formatFixed(point.y) << "  Z: " << formatFixed(point.z)
              << "\nSSQ: " << formatFixed(point.ssq) << "\n\nsamples: " << point.Mermx << "\n#\tAB/2\tMN/2\trhoA\tbranch\n";
    for (int s = 0; s < point.Mermx; ++s) {
        std::cout << s + 1 << '\t' << formatFixed(point.ab2[s]) << '\t' << formatFixed(point.mn2[s]) << '\t'
                  << formatFixed(point.rhoA[s]) << '\t' << point.branch[s] << '\n';
    }
    std::cout << "\ncomposite curve (k, AB/2, rho), grid " << point.nABmn << " .. " << point.ABmx << ":\n";
    for (int k = point.nABmn; k <= point.ABmx && k < kMaxPointSamples; ++k) {
        std::cout << k << '\t' << formatFixed(abGridValue(k)) << '\t' << formatFixed(point.composite[k]) << '\n';
    }
    std::cout << "\nmodel: " << point.layerCount() << " layers (* = held in the fit)\n#\tresistivity\tbottom depth\n";
    for (int i = 0; i <= point.MDLmx; ++i) {
        std::cout << i + 1 << '\t' << formatFixed(std::fabs(point.resistivity[i]))
                  << (point.resistivity[i] < 0.0f ? "*" : "") << '\t';
        if (i < point.MDLmx) {
            std::cout << formatFixed(std::fabs(point.depth[i])) << (point.depth[i] < 0.0f ? "*" : "");
        } else {
            std::cout << "half-space";
        }
        std::cout << '\n';
    }
}

const VesPoint* findPoint(const VesDatabase& db, const PointAddress& at, std::string& why) {
    if (at.locality >= static_cast<int>(db.localities.size())) {
        why = "the database has " + std::to_string(db.localities.size()) + " localities";
        return nullptr;
    }
    const Locality& locality = db.localities[at.locality];
    if (at.profile >= static_cast<int>(locality.profiles.size())) {
        why = "locality " + std::to_string(at.locality) + " has " + std::to_string(locality.profiles.size()) +
              " profiles";
        return nullptr;
    }
    const Profile& profile = locality.profiles[at.profile];
    if (at.point >= static_cast<int>(profile.points.size())) {
        why = "profile " + std::to_string(at.locality) + '/' + std::to_string(at.profile) + " has " +
              std::to_string(profile.points.size()) + " points";
        return nullptr;
    }
    return &profile.points[at.point];
}

}  // namespace

const CommandSpec kDbCommand{"db", "a profile database (.vdb): its localities, profiles and points, or one point",
                             kDbUsage, kDbOptions, "option", true, false, runDb};

int runDb(const Args& args) {
    const std::optional<DbOptions> options = parseDbOptions(args);
    if (!options) return kExitUsage;
    auto db = std::make_unique<VesDatabase>();
    if (const Outcome read = readVdbFile(options->path, *db); !read) {
        const std::string& message = read.message;
        std::cerr << "ormacli db: " << (message == kVdbCannotOpen ? options->path + ": " + message : message) << '\n';
        return kExitDataError;
    }
    const auto dump = [](const nlohmann::json& value) {
        std::cout << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    };
    if (!options->point) {
        if (options->json) dump(databaseJson(options->path, *db));
        else printDatabase(options->path, *db);
        return kExitOk;
    }
    std::string why;
    const VesPoint* point = findPoint(*db, *options->point, why);
    if (point == nullptr) {
        std::cerr << "ormacli db: no point " << options->point->locality << '/' << options->point->profile << '/'
                  << options->point->point << " in " << options->path << ": " << why << '\n';
        return kExitDataError;
    }
    if (options->json) dump(pointJson(*options->point, *point));
    else printPoint(*options->point, *point);
    return kExitOk;
}

}  // namespace orma::cli
