#include "io/EquivalentModelsCsv.h"

#include "io/Cp1250Text.h"
#include "io/CsvCells.h"

namespace orma {

namespace {

constexpr const char* kCsvLineEnd = "\r\n";

}  // namespace

std::string formatEquivalentModelsCsv(const EquivalentModels& set, std::string_view soundingName) {
    std::string out = std::string("# ORMA equivalent models") + kCsvLineEnd;
    if (!soundingName.empty()) out += "# sounding," + csvCell(soundingName) + kCsvLineEnd;
    out += "# best SSQ," + shortestNumberText(set.bestSsq) + kCsvLineEnd;
    out += "# factor," + shortestNumberText(set.factor) + kCsvLineEnd;
    out += "# threshold," + shortestNumberText(set.threshold) + kCsvLineEnd;
    out += "# duplicate tolerance," + shortestNumberText(set.tolerance) + kCsvLineEnd;
    const int layers = set.interfaceCount + 1;
    out += "model,SSQ";
    for (int i = 1; i <= layers; ++i) out += ",rho" + std::to_string(i) + " (ohm.m)";
    for (int i = 1; i < layers; ++i) out += ",depth" + std::to_string(i) + " (m)";
    out += kCsvLineEnd;
    int number = 0;
    for (const ModelValues& m : set.models) {
        out += std::to_string(++number) + "," + shortestNumberText(m.ssq);
        for (int i = 0; i < layers; ++i) out += "," + shortestNumberText(m.resistivity[static_cast<std::size_t>(i)]);
        for (int i = 0; i + 1 < layers; ++i) out += "," + shortestNumberText(m.depth[static_cast<std::size_t>(i)]);
        out += kCsvLineEnd;
    }
    return out;
}

FileResult saveEquivalentModelsCsv(const std::string& path, std::string_view text, ExistingFile existing) {
    return writeWholeFile(path, utf8ToCp1250(text), existing);
}

}  // namespace orma
