// Texts with awkward characters through every writer and back: names,
// operators, dates and comments with line breaks, tabs, leading and trailing
// blanks, semicolons, commas, quotes and apostrophes, Czech and other Central
// European letters. Each file opens again and the text comes back as its
// writer's header says.
//
// Letters that Windows-1250 cannot hold are written as '?' by the RST, CSV
// and UCM writers; what the .vdb writer does with them is settled there.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SoundingFiles.h"
#include "io/Cp1250Text.h"
#include "io/CsvCells.h"
#include "io/CurveModelCsv.h"
#include "io/GefReader.h"
#include "io/ProfileInterpretation.h"
#include "io/RstReader.h"
#include "io/RstWriter.h"
#include "io/SheetReader.h"
#include "io/UcmWriter.h"
#include "io/VdbFile.h"
#include "support/OutcomeAssertions.h"
#include "support/ScriptedDialogs.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

using test::readBytes;
using test::ScratchDir;
using test::ScriptedDialogs;

/// Every kind of awkward character Windows-1250 can hold.
const std::string kAwkward = "  Příbram – „Na Vápenci“; 'U Tří lip', \"sever\"\tűőłß € ";

/// Windows-1250 holds none of these.
const std::string kForeign = "Ørsted ✓ 東";

// ---- the VES database -----------------------------------------------------

TEST(SpecialTexts, VdbKeepsEveryTextOnItsLineWithItsBlanksAndLetters) {
    VesDatabase db = test::makeDatabase(1, 1, 2, 6, 2);
    Locality& locality = db.localities[0];
    locality.name = kAwkward;
    locality.country = "Česká republika";
    locality.region = "\tkraj ";
    Profile& profile = locality.profiles[0];
    profile.name = " ; ";
    VesPoint& p = profile.points[0];
    p.name = "VES 7\"a\"";
    p.date = "1. 5. 2024 ";
    p.operatorName = "Jan 'Honza' Novák";
    p.comment = "first line\nsecond line\n\nafter an empty one\tend ";
    VesPoint& q = profile.points[1];
    q.name = "";
    q.comment = std::string(450, 'a');  // longer than its field
    q.operatorName = "žluťoučký kůň úpěl ďábelské ódy";

    VesDatabase back;
    const VdbReadResult result = parseVdb(formatVdb(db, "names.vdb"), back);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    const Locality& l = back.localities.at(0);
    EXPECT_EQ(l.name, kAwkward);
    EXPECT_EQ(l.country, "Česká republika");
    EXPECT_EQ(l.region, "\tkraj ");
    EXPECT_EQ(l.profiles.at(0).name, " ; ");
    const VesPoint& bp = l.profiles[0].points.at(0);
    EXPECT_EQ(bp.name, "VES 7\"a\"");
    EXPECT_EQ(bp.date, "1. 5. 2024 ");
    EXPECT_EQ(bp.operatorName, "Jan 'Honza' Novák");
    // A line break becomes a blank: the comment stays on its line.
    EXPECT_EQ(bp.comment, "first line second line  after an empty one\tend ");
    const VesPoint& bq = l.profiles[0].points.at(1);
    EXPECT_EQ(bq.name, "");
    EXPECT_EQ(bq.comment, std::string(kCommentFieldLength, 'a'));
    EXPECT_EQ(bq.operatorName, "žluťoučký kůň úpěl ďábelské ódy");
    // The numbers after the texts are where they were.
    EXPECT_EQ(bq.profileChainage, q.profileChainage);
    EXPECT_EQ(bp.resistivity, p.resistivity);

    // And through the file: it opens again with the same texts.
    ScratchDir dir("special_vdb");
    const std::string path = dir.file("names.vdb");
    ASSERT_TRUE(writeVdbFile(db, path));
    VesDatabase fromFile;
    ASSERT_TRUE(test::succeeded(readVdbFile(path, fromFile)));
    EXPECT_EQ(fromFile.localities.at(0).name, kAwkward);
    EXPECT_EQ(fromFile.localities[0].profiles.at(0).points.at(0).comment, bp.comment);
    // Written once more it is the same file, byte for byte.
    EXPECT_EQ(formatVdb(fromFile, "names.vdb"), formatVdb(back, "names.vdb"));
}

TEST(SpecialTexts, VdbCutsLongTextsByLettersNotBytes) {
    VesDatabase db = test::makeDatabase(1, 1, 1, 4, 2);
    std::string longName;
    for (int i = 0; i < 250; ++i) longName += "č";
    db.localities[0].profiles[0].points[0].name = longName;
    VesDatabase back;
    ASSERT_TRUE(parseVdb(formatVdb(db, "x.vdb"), back).ok);
    std::string expected;
    for (std::size_t i = 0; i < kNameFieldLength; ++i) expected += "č";
    EXPECT_EQ(back.localities[0].profiles[0].points[0].name, expected);
}

// ---- RST records ----------------------------------------------------------

class RstTexts : public ::testing::Test {
protected:
    ScratchDir dir{"special_rst"};
    Sounding sounding;
    RstOutputFile output;
    ScriptedDialogs dialogs;

    void SetUp() override {
        const std::string gef = dir.file("curve.GEF");
        test::writeBytes(
            gef, test::gefText(
                     "03.04.2022 9:00",
                     {{100, 1.0, 0.5, 1}, {110, 1.3, 0.5, 1}, {120, 1.68, 0.5, 1}, {130, 2.18, 0.5, 1}}));
        std::vector<std::string> messages;
        ASSERT_EQ(openGefCurve(sounding, gef, messages), CurveFileEnd::Done);
    }
    void TearDown() override { dialogs.verifyDone(); }

    /// Writes a new file with these answers and reads its first record back.
    Sounding writeAndReadBack(const std::string& operatorName, const std::string& locality,
                              const std::string& date) {
        const std::string path = dir.file("texts.RST");
        sounding.date = date;
        dialogs.expectSave(path);
        dialogs.expectInput("Enter the operator name:", "operator name:", operatorName);
        dialogs.expectInput("Enter the locality name:", "locality name:", locality);
        dialogs.expectInput("Enter point number or chainage on the profile: ", " point: ", "7");
        dialogs.expectInput("Enter profile number:", " profile number:", "2");
        EXPECT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
        closeRstOutput(sounding, output, dialogs);
        Sounding back;
        std::vector<std::string> messages;
        EXPECT_EQ(openRstFile(back, path, messages), CurveFileEnd::Done);
        for (const std::string& m : messages) ADD_FAILURE() << m;
        EXPECT_EQ(back.pointNumber, 7);
        EXPECT_EQ(back.profileNumber, 2);
        EXPECT_EQ(back.points.pointCount, 4);
        return back;
    }
};

TEST_F(RstTexts, HeaderTextsLoseLeadingBlanksAndControlCharactersAndKeepTheRest) {
    const Sounding back = writeAndReadBack(kAwkward, "Horní\r\nDolní;\t\"x\" ", "1.\t5.\r\n2024 ");
    // Leading blanks cannot be told from the blanks after the key letter; a
    // tab or a line break becomes one blank each.
    EXPECT_EQ(back.operatorName, "Příbram – „Na Vápenci“; 'U Tří lip', \"sever\" űőłß € ");
    EXPECT_EQ(back.locality, "Horní  Dolní; \"x\" ");
    EXPECT_EQ(back.date, "1. 5.  2024 ");
}

TEST_F(RstTexts, LettersOutsideTheCodePageBecomeQuestionMarksAndLongTextsAreCut) {
    std::string longLocality;
    for (int i = 0; i < 120; ++i) longLocality += "ř";
    const Sounding back = writeAndReadBack(kForeign, longLocality, "");
    EXPECT_EQ(back.operatorName, "?rsted ? ?");
    EXPECT_EQ(back.locality, longLocality.substr(0, 2 * kMaxNameLength));  // 99 letters of two bytes
    EXPECT_EQ(back.date, "");
}

// ---- CSV ------------------------------------------------------------------

/// The cells of one CSV row as a spreadsheet reads them (RFC 4180).
std::vector<std::string> csvRow(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                cells.back() += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    EXPECT_FALSE(quoted) << "an open quote at the end of " << line;
    return cells;
}

TEST(SpecialTexts, CsvCellsReadBackAsTheTextWithLineBreaksAsBlanks) {
    for (const std::string& text :
         {kAwkward, std::string("a,b"), std::string("\"quoted\""), std::string("x\r\ny\nz\r"),
          std::string(";"), std::string(" lead"), std::string("")}) {
        SCOPED_TRACE(text);
        const std::string cell = csvCell(text);
        EXPECT_EQ(cell.find_first_of("\r\n"), std::string::npos);
        std::string expected = text;
        for (char& c : expected)
            if (c == '\r' || c == '\n') c = ' ';
        const std::vector<std::string> cells = csvRow("# x," + cell + ",end");
        ASSERT_EQ(cells.size(), 3u);
        EXPECT_EQ(cells[1], expected);
    }
}

TEST(SpecialTexts, CurveCsvNamesTheSoundingOnOneLineAndStillOpensAsASheet) {
    ScratchDir dir("special_csv");
    const std::string gef = dir.file("curve.GEF");
    test::writeBytes(gef, test::gefText("x", {{100, 1.0, 0.5, 1}, {110, 1.3, 0.5, 1}, {120, 1.68, 0.5, 1}}));
    Sounding s;
    std::vector<std::string> messages;
    ASSERT_EQ(openGefCurve(s, gef, messages), CurveFileEnd::Done);
    const std::string name = "VES, \"7\"\n1.0,2,3\n" + kAwkward + kForeign;
    const std::string text = formatCurveModelCsv(s, {true, false, false}, name);
    const std::string path = dir.file("out.csv");
    ASSERT_TRUE(saveCurveModelCsv(path, text, ExistingFile::Refuse));

    const std::vector<std::string> lines = splitLines(cp1250ToUtf8(readBytes(path)));
    ASSERT_GE(lines.size(), 3u);
    const std::vector<std::string> cells = csvRow(lines[1]);
    ASSERT_EQ(cells.size(), 2u) << lines[1];
    EXPECT_EQ(cells[0], "# sounding");
    EXPECT_EQ(cells[1], "VES, \"7\" 1.0,2,3 " + kAwkward + "?rsted ? ?");
    // The name's line break did not make a reading: the sheet has the three.
    Sounding sheet;
    messages.clear();
    ASSERT_EQ(openSheetCurve(sheet, path, messages), CurveFileEnd::Done);
    EXPECT_EQ(sheet.points.pointCount, 3);
}

TEST(SpecialTexts, InterpretationSummaryKeepsFileNamesAndReasonsInTheirCells) {
    std::vector<InterpretedSounding> results(2);
    results[0].fileName = "VES 1, \"north\".GEF";
    results[0].interpreted = true;
    results[0].chainage = 10;
    results[0].point.MDLmx = 1;
    results[0].point.resistivity[0] = 10;
    results[0].point.resistivity[1] = 100;
    results[0].point.depth[0] = 2;
    results[1].fileName = "VES;2\n.csv";
    results[1].reason = "line 3, column 2: \"x\" is not a number\r\nsecond line";
    const std::vector<std::string> lines = splitLines(interpretationSummaryCsv(results, 2));
    bool sawFirst = false, sawSkipped = false;
    for (const std::string& line : lines) {
        const std::vector<std::string> cells = csvRow(line);
        if (cells[0] == "VES 1, \"north\".GEF") {
            sawFirst = true;
            EXPECT_EQ(cells.at(1), "10");
        }
        if (cells[0] == "# skipped") {
            sawSkipped = true;
            ASSERT_EQ(cells.size(), 3u) << line;
            EXPECT_EQ(cells[1], "VES;2 .csv");
            EXPECT_EQ(cells[2], "line 3, column 2: \"x\" is not a number  second line");
        }
    }
    EXPECT_TRUE(sawFirst);
    EXPECT_TRUE(sawSkipped);
}

// ---- UCM scripts ----------------------------------------------------------

std::vector<std::string> scriptLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 2;
    }
}

TEST(SpecialTexts, UcmKeepsNamesOnTheirLinesAndInsideTheScriptsQuotes) {
    Profile plain;
    plain.name = "P1";
    VesPoint p;
    p.profileChainage = p.terrainChainage = 100;
    p.z = 250;
    p.MDLmx = 1;
    p.resistivity[0] = 40;
    p.resistivity[1] = 300;
    p.depth[0] = 5;
    p.depth[1] = kHalfSpaceDepth;
    plain.points = {p};
    Profile awkward = plain;
    awkward.name = "P'1\r\nKEY 'DELETE ALL'\t;";
    const ExportFrame frame{50, 150, 200, 260};
    SectionLabelSwitches labels;
    labels.profileNamePrefix = true;
    UcmParameters parameters;
    const UcmScripts reference = formatUcmScripts("Lok", plain, frame, parameters, labels);
    UcmParameters same;
    const UcmScripts scripts = formatUcmScripts("U Tří lip 'Na kopci'\n", awkward, frame, same, labels);

    const std::vector<std::string> main = scriptLines(scripts.main), second = scriptLines(scripts.second);
    EXPECT_EQ(main.size(), scriptLines(reference.main).size()) << "a name broke a line of the script";
    EXPECT_EQ(second.size(), scriptLines(reference.second).size()) << "a name broke a line of the script";
    EXPECT_EQ(
        main.front(),
        ";  ucm soubor vysledku VES z lokality: U Tří lip ’Na kopci’  - profil P’1  KEY ’DELETE ALL’ ;");
    bool title = false;
    for (const std::string& line : main) {
        if (line.find("lokalita:") == std::string::npos) continue;
        title = true;
        EXPECT_EQ(line, "         KEY 'lokalita:U Tří lip ’Na kopci’ , profil:P’1  KEY ’DELETE ALL’ ;'");
    }
    EXPECT_TRUE(title);
    // Every KEY line holds exactly one quoted text.
    for (const std::vector<std::string>* lines : {&main, &second}) {
        for (const std::string& line : *lines) {
            const std::size_t key = line.find("KEY '");
            if (key == std::string::npos) continue;
            EXPECT_EQ(std::count(line.begin(), line.end(), '\''), 2) << line;
            EXPECT_EQ(line.back(), '\'') << line;
        }
    }
    std::string pointLabels;
    for (const std::string& line : second)
        if (line.find("DELETE") != std::string::npos) pointLabels += line + "|";
    EXPECT_EQ(pointLabels, "         KEY P’1  KEY ’DELETE ALL’ ;100|")
        << "the point's label with the profile name in front";

    // On the disk: Windows-1250, the typographic apostrophe is byte 0x92.
    ScratchDir dir("special_ucm");
    const std::string path = dir.file("pf.UCM");
    ASSERT_FALSE(writeUcmFiles(path, scripts).has_value());
    const std::string bytes = readBytes(path);
    EXPECT_NE(bytes.find("profil:P\x92"
                         "1  KEY \x92"
                         "DELETE ALL\x92 ;'"),
              std::string::npos);
    EXPECT_EQ(cp1250ToUtf8(bytes), scripts.main);
}

}  // namespace
}  // namespace orma
