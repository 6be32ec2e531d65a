#include "GlobalFitReport.h"

#include <cstdio>
#include <iostream>

#include "Commands.h"
#include "ModelArguments.h"
#include "io/EquivalentModelsCsv.h"

namespace orma::cli {

namespace {

const char* kindName(StartKind kind) {
    switch (kind) {
        case StartKind::Given: return "given model";
        case StartKind::Automatic: return "automatic start";
        case StartKind::Extra: return "extra start";
        case StartKind::Sampled: return "sampled start";
        case StartKind::Hop: return "hop from a good fit";
    }
    return "";
}

struct ValueRow {
    const char* kind;
    int layer;
    ValueSpan span;
};

std::vector<ValueRow> valueRows(const EquivalentModels& set) {
    std::vector<ValueRow> rows;
    if (set.models.empty()) return rows;
    for (int i = 0; i <= set.interfaceCount; ++i) rows.push_back({"resistivity", i, set.resistivity[static_cast<std::size_t>(i)]});
    for (int i = 0; i < set.interfaceCount; ++i) rows.push_back({"thickness", i, set.thickness[static_cast<std::size_t>(i)]});
    for (int i = 0; i < set.interfaceCount; ++i) rows.push_back({"depth", i, set.depth[static_cast<std::size_t>(i)]});
    return rows;
}

}  // namespace

nlohmann::json globalFitJson(const GlobalFitSummary& summary, std::uint64_t seed) {
    const EquivalentModels& set = summary.equivalent;
    nlohmann::json values = nlohmann::json::array();
    for (const ValueRow& row : valueRows(set))
        values.push_back({{"kind", row.kind},
                          {"layer", row.layer},
                          {"min", shortestDecimal(static_cast<float>(row.span.min))},
                          {"max", shortestDecimal(static_cast<float>(row.span.max))}});
    return {{"starts", summary.startsTotal},
            {"startsFitted", summary.startsFitted},
            {"seed", seed},
            {"bestStart", summary.bestStart},
            {"bestStartKind", kindName(summary.bestKind)},
            {"linearisations", summary.linearisations},
            {"equivalent",
             {{"factor", set.factor},
              {"threshold", set.threshold},
              {"tolerance", set.tolerance},
              {"count", set.models.size()},
              {"candidates", set.candidates},
              {"values", std::move(values)}}}};
}

void printGlobalFit(const GlobalFitSummary& summary, std::uint64_t seed) {
    const EquivalentModels& set = summary.equivalent;
    std::printf("global fit: %d starts (seed %llu), %d ended within the value limits; best from start %d (%s)\n",
                summary.startsTotal, static_cast<unsigned long long>(seed), summary.startsFitted, summary.bestStart,
                kindName(summary.bestKind));
    std::printf("equivalent models: %zu with SSQ within %g x %.6f = %.6f\n", set.models.size(), set.factor,
                set.bestSsq, set.threshold);
    std::printf("%-16s %14s %14s\n", "value", "min", "max");
    for (const ValueRow& row : valueRows(set)) {
        char name[32];
        std::snprintf(name, sizeof name, "%s %d", row.kind, row.layer);
        std::printf("%-16s %14.6g %14.6g\n", name, row.span.min, row.span.max);
    }
}

int writeEquivalentModels(const std::string& target, const EquivalentModels& models, const std::string& soundingName) {
    const std::string text = formatEquivalentModelsCsv(models, soundingName);
    if (target == "-") {
        std::cout << text;
        return kExitOk;
    }
    const FileResult saved = saveEquivalentModelsCsv(target, text, ExistingFile::Refuse);
    if (!saved) {
        std::cerr << "ormacli fit: " << saved.describe(target) << '\n';
        return kExitDataError;
    }
    return kExitOk;
}

}  // namespace orma::cli
