#include <gtest/gtest.h>

#include <sstream>

#include "SoundingFiles.h"
#include "core/Forward.h"
#include "io/CurveModelCsv.h"
#include "io/GefReader.h"
#include "io/SheetReader.h"

namespace orma {
namespace {

using test::ScratchDir;

Sounding interpretedSounding(const ScratchDir& dir) {
    const std::string gef = dir.file("VES7.GEF");
    test::writeBytes(gef, test::gefText("01.01.2020 x", {{150, 1.3, 0.5, 1}, {120, 2.18, 0.5, 1}, {80, 3.66, 0.5, 1},
                                                           {75, 3.66, 2, 2}, {60, 6.15, 2, 2}, {70, 10.3, 2, 2},
                                                           {90, 17.4, 2, 2}, {130, 37.8, 2, 2}}));
    Sounding s;
    std::vector<std::string> messages;
    EXPECT_EQ(openGefCurve(s, gef, messages), CurveFileEnd::Done);
    s.model.interfaceCount = 2;
    s.model.resistivity = {150.5f, 30.25f, 400.0f};
    s.model.depth = {2.5f, 10.0f, kHalfSpaceDepth};
    s.model.depthFixed[1] = 1;
    s.model.resistivityFixed[2] = 1;
    EXPECT_EQ(computeForward(s), kSuccess);
    return s;
}

std::vector<std::vector<std::string>> modelLines(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.starts_with("# model,") || line.starts_with("# model,layer")) continue;
        std::vector<std::string> cells;
        std::istringstream parts(line.substr(8));
        std::string cellText;
        while (std::getline(parts, cellText, ',')) cells.push_back(cellText);
        if (line.back() == ',') cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

TEST(CurveModelCsv, CurveReadsBackThroughTheSheetReaderAndTheModelLinesHoldTheModel) {
    ScratchDir dir{"curvecsv"};
    const Sounding s = interpretedSounding(dir);
    const std::string text = formatCurveModelCsv(s, {}, s.gefPath);
    const std::string path = dir.file("out.csv");
    ASSERT_TRUE(saveCurveModelCsv(path, text, ExistingFile::Refuse));
    EXPECT_FALSE(saveCurveModelCsv(path, text, ExistingFile::Refuse));  // never over a file unasked

    Sounding back;
    std::vector<std::string> messages;
    ASSERT_EQ(openSheetCurve(back, path, messages), CurveFileEnd::Done);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(back.minGridIndex, s.minGridIndex);
    EXPECT_EQ(back.maxGridIndex, s.maxGridIndex);
    int rows = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_EQ(back.hasComposite(k), s.hasComposite(k)) << k;
        if (!s.hasComposite(k)) continue;
        // The written point table is exact; the composite passes one geometric mean.
        EXPECT_FLOAT_EQ(back.points.rhoA[rows], s.composite(k));
        EXPECT_FLOAT_EQ(back.points.ab2[rows], s.grid.value[k]);
        EXPECT_NEAR(back.composite(k), s.composite(k), 1e-5 * s.composite(k));
        ++rows;
    }
    EXPECT_EQ(back.points.pointCount, rows);

    const auto model = modelLines(text);
    ASSERT_EQ(model.size(), 3u);
    EXPECT_EQ(model[0], (std::vector<std::string>{"1", "150.5", "2.5", "2.5", "0", "0", "0"}));
    EXPECT_EQ(model[1], (std::vector<std::string>{"2", "30.25", "7.5", "10", "0", "0", "1"}));
    EXPECT_EQ(model[2], (std::vector<std::string>{"3", "400", "", "", "1", "", ""}));
    const std::size_t ssqAt = text.find("# SSQ,");
    ASSERT_NE(ssqAt, std::string::npos);
    EXPECT_GT(s.ssq, 0.0);
    EXPECT_EQ(std::stod(text.substr(ssqAt + 6)), s.ssq);
    EXPECT_NE(text.find("AB/2 (m),rhoa measured (ohm.m),rhoa computed (ohm.m)\r\n"), std::string::npos);
}

TEST(CurveModelCsv, PartsLeaveOutTheirColumnsAndANameWithACommaIsQuoted) {
    ScratchDir dir{"curvecsv_parts"};
    Sounding s = interpretedSounding(dir);
    const std::string curveOnly = formatCurveModelCsv(s, {true, false, false}, "a,b.csv");
    EXPECT_NE(curveOnly.find("# sounding,\"a,b.csv\"\r\n"), std::string::npos);
    EXPECT_EQ(curveOnly.find("# model"), std::string::npos);
    EXPECT_EQ(curveOnly.find("computed"), std::string::npos);
    // Without a measured curve every grid point of the range has a row.
    const std::string computedOnly = formatCurveModelCsv(s, {false, true, true}, "");
    std::size_t lines = 0;
    for (std::size_t at = computedOnly.find("\r\n"); at != std::string::npos; at = computedOnly.find("\r\n", at + 2))
        ++lines;
    const std::size_t headerLines = 1 + 1 + 3 + 1;  // title, model header, layers, column header (no SSQ)
    EXPECT_EQ(lines, headerLines + static_cast<std::size_t>(s.maxGridIndex - s.minGridIndex + 1));
    EXPECT_EQ(curveCsvSaveDialogOptions(s).proposedName, dir.file("VES7_curve_model.csv"));
}

}  // namespace
}  // namespace orma
