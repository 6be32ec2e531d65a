#include "io/CurveModelCsv.h"

#include <charconv>
#include <filesystem>

#include "io/Cp1250Text.h"
#include "io/CsvCells.h"

namespace orma {

namespace {

constexpr const char* kEol = "\r\n";

void appendModel(std::string& out, const Sounding& s, bool withSsq) {
    const LayerModel& m = s.model;
    if (withSsq) out += std::string("# SSQ,") + shortestNumberText(s.ssq) + kEol;
    out += std::string("# model,layer,resistivity (ohm.m),thickness (m),depth (m),resistivity fixed,thickness fixed,"
                       "depth fixed") + kEol;
    for (int i = 0; i <= m.interfaceCount && i < kMaxLayers; ++i) {
        out += "# model," + std::to_string(i + 1) + "," + shortestNumberText(m.resistivity[i]) + ",";
        if (i < m.interfaceCount) {
            out += shortestNumberText(static_cast<float>(m.thickness(i))) + "," + shortestNumberText(m.depth[i]) + "," +
                   std::to_string(m.resistivityFixed[i]) + "," + std::to_string(m.thicknessFixed[i]) + "," +
                   std::to_string(m.depthFixed[i]);
        } else {
            out += ",," + std::to_string(m.resistivityFixed[i]) + ",,";
        }
        out += kEol;
    }
}

}  // namespace

std::string formatCurveModelCsv(const Sounding& sounding, CurveCsvParts parts, std::string_view soundingName) {
    std::string out = std::string("# ORMA curve and model") + kEol;
    if (!soundingName.empty()) out += "# sounding," + csvCell(soundingName) + kEol;
    if (parts.model && sounding.model.exists()) appendModel(out, sounding, parts.measured);

    out += "AB/2 (m)";
    if (parts.measured) out += ",rhoa measured (ohm.m)";
    if (parts.computed) out += ",rhoa computed (ohm.m)";
    out += kEol;
    const int first = std::max(sounding.minGridIndex, 0);
    const int last = std::min(sounding.maxGridIndex, kGridPoints - 1);
    for (int k = first; k <= last; ++k) {
        if (parts.measured && !sounding.hasComposite(k)) continue;
        out += shortestNumberText(sounding.grid.value[k]);
        if (parts.measured) out += "," + shortestNumberText(sounding.composite(k));
        if (parts.computed) out += "," + shortestNumberText(sounding.computedRho[k]);
        out += kEol;
    }
    return out;
}

FileResult saveCurveModelCsv(const std::string& path, std::string_view text, ExistingFile existing) {
    return writeWholeFile(path, utf8ToCp1250(text), existing);
}

FileDialogOptions curveCsvSaveDialogOptions(const Sounding& sounding) {
    std::string proposed;
    // Never the sounding's own file, which may itself be a sheet.
    if (!sounding.gefPath.empty()) {
        std::filesystem::path path(sounding.gefPath);
        proposed = (path.parent_path() / (path.stem().string() + "_curve_model.csv")).string();
    }
    return FileDialogOptions{kCurveCsvFilter, kCurveCsvExtension, proposed, kCurveCsvTitle};
}

}  // namespace orma
