// Files keep the decimal point under a comma locale. A Qt program sets the C
// library's locale from the environment at start, so on a Czech desktop every
// printf, scanf and strtod of the process writes and expects a comma. Here the
// glibc locale cs_CZ.UTF-8 is really switched on (scripts/install-deps.sh
// generates it) and every file the program writes and reads must come out
// byte for byte as under "C".

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "SoundingFiles.h"
#include "core/BranchShift.h"
#include "core/Forward.h"
#include "core/SectionFrame.h"
#include "core/VesDatabase.h"
#include "io/CLocaleFormat.h"
#include "io/CurveModelCsv.h"
#include "io/FormatPatterns.h"
#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/RstRecordText.h"
#include "io/SectionSettingsFile.h"
#include "io/SheetReader.h"
#include "io/TerrainFile.h"
#include "io/UcmWriter.h"
#include "io/VdbFile.h"
#include "io/WindowSettingsFile.h"
#include "support/OutcomeAssertions.h"

namespace orma {
namespace {

constexpr const char* kCommaLocale = "cs_CZ.UTF-8";

std::string samplePath(const std::string& name) { return std::string(ORMA_SOURCE_DIR) + "/samples/" + name; }

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

/// Every file text the program makes from the samples, and the same read
/// back and made again, named for the failure message.
std::vector<std::pair<std::string, std::string>> everyFile(const std::string& scratch) {
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> messages;

    // GEF in, shifted, a model computed: the RST record and the curve CSV out.
    Sounding s;
    EXPECT_EQ(openGefCurve(s, samplePath("profile1/VES150.GEF"), messages), CurveFileEnd::Done);
    shiftBranches(s, 2);
    s.model.interfaceCount = 2;
    s.model.resistivity[0] = 152.5f;
    s.model.resistivity[1] = 31.25f;
    s.model.resistivity[2] = 1987.75f;
    s.model.depth[0] = 2.125f;
    s.model.depth[1] = 17.5f;
    EXPECT_EQ(computeForward(s), kSuccess);
    s.ssq = static_cast<float>(computeSsq(s));
    const std::string record = joined(rstRecordLines(s));
    files.emplace_back("RST record", record);
    Sounding fromRst;
    EXPECT_EQ(readRstRecordText(fromRst, record, 0, messages), CurveFileEnd::Done);
    files.emplace_back("RST record read back and written again", joined(rstRecordLines(fromRst)));
    files.emplace_back("RST sample read and written", [&] {
        Sounding r;
        EXPECT_EQ(openRstFile(r, samplePath("ves.rst"), messages), CurveFileEnd::Done);
        return joined(rstRecordLines(r));
    }());
    const std::string csv = formatCurveModelCsv(s, CurveCsvParts{}, "VES150.GEF");
    files.emplace_back("curve CSV", csv);
    Sounding fromCsv;
    EXPECT_EQ(readSheetBytes(fromCsv, csv, messages), CurveFileEnd::Done);
    shiftBranches(fromCsv, 2);
    files.emplace_back("curve CSV read as a sheet and written again",
                       formatCurveModelCsv(fromCsv, CurveCsvParts{false, false, false}, ""));
    files.emplace_back("sheet with decimal commas", [&] {
        Sounding sheet;
        EXPECT_EQ(
            readSheetBytes(sheet, "AB/2;MN/2;rhoa\r\n1,5;0,5;101,25\r\n2,5;0,5;98,5\r\n3,5;0,5;90,75\r\n",
                           messages),
            CurveFileEnd::Done);
        return formatPattern("%f %f %f", {sheet.points.ab2[1], sheet.points.mn2[1], sheet.points.rhoA[1]});
    }());

    // The sample database read, written, read and written again; its UCM.
    VesDatabase db;
    EXPECT_TRUE(test::succeeded(readVdbFile(samplePath("ves-ukazkova-data/ukazkova-ves-databaze.vdb"), db)));
    db.localities[0].profiles[0].xScale = 0.000058f;
    const std::string vdb = formatVdb(db, "ukazkova-ves-databaze.vdb");
    files.emplace_back(".vdb", vdb);
    VesDatabase again;
    EXPECT_TRUE(parseVdb(vdb, again).ok);
    files.emplace_back(".vdb read back and written again", formatVdb(again, "ukazkova-ves-databaze.vdb"));
    const Profile& profile = db.localities[0].profiles[0];
    UcmParameters ucm;
    ucm.minorTextSize = 0.1234f;
    ucm.exaggeration = 2.5f;
    const UcmScripts scripts = formatUcmScripts(db.localities[0].name, profile, exportFrame(profile, SectionLimits{}),
                                                ucm, SectionLabelSwitches{});
    files.emplace_back("UCM", scripts.main);
    files.emplace_back("UCM_b", scripts.second);

    // Both settings files, through the disk.
    const std::string sectionIni = scratch + "/orma.ini";
    EXPECT_TRUE(writeSectionSettings(sectionIni, ucm));
    files.emplace_back("orma.ini", test::readBytes(sectionIni));
    UcmParameters fromIni;
    EXPECT_FALSE(readSectionSettings(sectionIni, fromIni));
    files.emplace_back("orma.ini read back and written again", formatSectionSettings(fromIni));
    DisplaySettings display;
    display.modelLineWidth = 3;
    const std::string windowIni = formatWindowSettings(display);
    DisplaySettings fromWindowIni;
    parseWindowSettings(windowIni, fromWindowIni);
    files.emplace_back("ormawin.ini", windowIni + formatWindowSettings(fromWindowIni));

    // A terrain list, and a core message that quotes spacings.
    const TerrainFileContents terrain = readTerrainText("teren 2\r\n0.5 100.25\r\n10.75 101.5\r\n");
    EXPECT_EQ(terrain.vertices.size(), 2u);
    std::string vertices;
    for (const TerrainVertex& v : terrain.vertices) vertices += formatPattern("%f %f\r\n", {v.x, v.z});
    files.emplace_back("terrain read", vertices);
    VesPoint longPoint = profile.points[0];
    longPoint.Mermx = 101;
    for (int k = 99; k < 101; ++k) longPoint.ab2[static_cast<std::size_t>(k)] = 1000.5f + k;
    Sounding loaded;
    files.emplace_back("core message", joined(loadPointIntoSounding(longPoint, loaded)));
    files.emplace_back("printf in a C-locale scope", [] {
        const CLocaleScope c;
        char text[64];
        std::snprintf(text, sizeof text, "%f %.3g %e", 0.5, 1.5, 2.5);
        return std::string(text);
    }());
    return files;
}

TEST(FilesUnderACommaLocale, EveryFileIsWrittenAndReadAsUnderTheCLocale) {
    const test::ScratchDir dir("locale");
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const auto plain = everyFile(dir.file(""));

    // Not skipped when missing: a machine without the locale guards nothing.
    ASSERT_NE(std::setlocale(LC_ALL, kCommaLocale), nullptr)
        << kCommaLocale << " is not installed: bash scripts/install-deps.sh generates it";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::string probed = probe;
    const auto czech = everyFile(dir.file(""));
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(probed, "1,5") << "the locale is on, so plain printf writes a comma";

    ASSERT_EQ(plain.size(), czech.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_FALSE(plain[i].second.empty()) << plain[i].first;
        EXPECT_EQ(czech[i].second, plain[i].second) << plain[i].first;
        EXPECT_EQ(czech[i].second.find(','), plain[i].second.find(',')) << plain[i].first;
    }
    EXPECT_EQ(plain[6].second, plain[7].second) << ".vdb read back and written again";
}

}  // namespace
}  // namespace orma
