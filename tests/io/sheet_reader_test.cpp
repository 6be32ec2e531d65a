#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "SoundingFiles.h"
#include "core/PointProcessing.h"
#include "io/GefReader.h"
#include "io/SheetReader.h"

namespace orma {
namespace {

using test::GefReading;
using test::ScratchDir;
using test::writeBytes;

class SheetReaderTest : public ::testing::Test {
protected:
    ScratchDir dir{"sheet"};
    Sounding sounding;
    std::vector<std::string> messages;

    CurveFileOutcome open(const std::string& bytes, const std::string& name = "VES12.csv") {
        const std::string path = dir.file(name);
        writeBytes(path, bytes);
        messages.clear();
        return openSheetCurve(sounding, path, messages);
    }
    std::string allMessages() const {
        std::string all;
        for (const std::string& m : messages) all += m + "\n";
        return all;
    }
};

// Four MN/2 branches with overlaps at AB/2 = 40, 100 and 200, as field crews write them.
constexpr const char* kFourBranches =
    "ab2,mn2,rhoa\n5,1,1400.5\n10,1,1263\n20,1,789\n40,1,102\n40,5,407\n60,5,300\n100,5,287\n"
    "100,10,452\n140,10,450\n200,10,605\n200,20,1059\n300,20,1816\n400,20,1156\n";

TEST_F(SheetReaderTest, HeaderedCommaSheetGetsOneBranchPerMn2Ascending) {
    ASSERT_EQ(open(kFourBranches), CurveFileEnd::Done) << allMessages();
    const PointTable& p = sounding.points;
    ASSERT_EQ(p.pointCount, 13);
    EXPECT_EQ(p.branch[0], 1);
    EXPECT_EQ(p.branch[4], 2);
    EXPECT_EQ(p.branch[7], 3);
    EXPECT_EQ(p.branch[12], 4);
    EXPECT_FLOAT_EQ(p.rhoA[0], 1400.5f);
    EXPECT_EQ(sounding.branches.branchCount, 4);
    EXPECT_FLOAT_EQ(sounding.branches.branchMn2[4], 20.0f);
    EXPECT_TRUE(sounding.compositeBuilt);
    EXPECT_TRUE(sounding.curveLoaded);
    EXPECT_EQ(sounding.source, CurveSource::Gef);
    EXPECT_TRUE(messages.empty()) << allMessages();
    // Branch 2 is the reference: its values stay, branch 1 moves onto it.
    EXPECT_NEAR(sounding.branches.shiftedRho[p.gridIndex[5]][2], 300.0, 1e-3);
}

TEST_F(SheetReaderTest, SeparatorsDecimalCommasAndHeaderlessColumns) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"semicolon, decimal comma, units",
         "AB/2 [m];MN/2 [m];\xCF\x81" "a (Ohm.m)\r\n1,5;0,5;100,25\r\n3;0,5;120\r\n6;0,5;150,5\r\n"},
        {"tab, no header", "1.5\t0.5\t100.25\n3\t0.5\t120\n6\t0.5\t150.5\n"},
        {"blanks, decimal comma", "# AB/2 MN/2 rhoa\n1,5  0,5 100,25\n 3 0,5 120\n6 0,5   150,5\n"},
        {"comma, quoted decimal comma", "\"AB/2\",\"MN/2\",\"Rho_a\"\n\"1,5\",\"0,5\",\"100,25\"\n3,0.5,120\n6,.5,150.5\n"},
        {"comma and blank", "AB/2, MN/2, rho a\n1.5, 0.5, 100.25\n3, 0.5, 120\n6, 0.5, 150.5\n"},
        {"semicolon, empty trailing cells", "ab2;mn2;rhoa;;\n1,5;0,5;100,25;;\n3;0,5;120;;\n6;0,5;150,5;;\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(open(c.text), CurveFileEnd::Done) << allMessages();
        const PointTable& p = sounding.points;
        ASSERT_EQ(p.pointCount, 3);
        EXPECT_FLOAT_EQ(p.ab2[0], 1.5f);
        EXPECT_FLOAT_EQ(p.mn2[0], 0.5f);
        EXPECT_FLOAT_EQ(p.rhoA[0], 100.25f);
        EXPECT_FLOAT_EQ(p.rhoA[2], 150.5f);
        EXPECT_EQ(p.branch[2], 1);
        EXPECT_TRUE(messages.empty()) << allMessages();
    }
    // A line of separators only is left out and named like any other.
    ASSERT_EQ(open("ab2;mn2;rhoa;;\n1,5;0,5;100,25;;\n;;;;\n3;0,5;120;;\n"), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), "Lines of the sheet that were left out: line 3, column 1 (AB/2) is empty.");
    // Whole numbers with blanks after the commas: still comma-separated.
    ASSERT_EQ(open("ab2, mn2, rhoa\n2, 1, 120\n3, 1, 130\n"), CurveFileEnd::Done);
    EXPECT_FLOAT_EQ(sounding.points.ab2[1], 3.0f);
    EXPECT_FLOAT_EQ(sounding.points.mn2[1], 1.0f);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[1], 130.0f);
}

TEST_F(SheetReaderTest, BranchColumnWindows1250HeaderAndHeaderlessFourthColumn) {
    // "Větev" (branch) and a comment with Czech letters, in Windows-1250.
    const std::string cp1250 = "# m\xEC\xF8" "en\xED \x8E\xEF\xE1r\r\nAB/2;MN/2;rhoa [\xB7];V\xECtev\r\n"
                               "2;0,5;50;1\r\n3;0,5;60;1\r\n3;1;90;1\r\n6;1;120;1\r\n";
    ASSERT_EQ(open(cp1250), CurveFileEnd::Done) << allMessages();
    EXPECT_EQ(sounding.points.branch[1], 1);
    EXPECT_EQ(sounding.points.branch[2], 1);  // the branch column wins over MN/2
    EXPECT_EQ(sounding.branches.branchCount, 1);

    // Without a header, whole numbers 1..5 in a fourth column are branch numbers...
    ASSERT_EQ(open("2 0.5 50 2\n3 0.5 60 2\n3 1 90 3\n"), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.branch[0], 2);
    EXPECT_EQ(sounding.branches.branchCount, 3);
    // ...anything else there (a current in mA) is another quantity and ignored.
    ASSERT_EQ(open("2 0.5 50 38.8\n3 0.5 60 25\n3 1 90 35\n"), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.branch[0], 1);
    EXPECT_EQ(sounding.points.branch[2], 2);
}

TEST_F(SheetReaderTest, RepeatedSpacingsAreAveragedAndMoreThanFiveMn2AreLevelled) {
    ASSERT_EQ(open("ab2,mn2,rhoa\n2,0.5,100\n2,0.5,400\n3,0.5,300\n"), CurveFileEnd::Done);
    EXPECT_NEAR(sounding.composite(sounding.points.gridIndex[0]), 200.0, 1e-3);

    // Seven MN/2 values, each on two spacings shared with the next one.
    std::string seven = "ab2,mn2,rhoa\n";
    const double ab[] = {2, 3, 4.74, 6.15, 7.97, 10.3, 13.4, 17.4};
    for (int b = 0; b < 7; ++b) {
        for (int k = b; k < b + 2; ++k) seven += std::to_string(ab[k]) + "," + std::to_string(0.2 * (b + 1)) + ",100\n";
    }
    ASSERT_EQ(open(seven), CurveFileEnd::Done);
    EXPECT_EQ(sounding.branches.branchCount, 5);
    EXPECT_NE(allMessages().find("6"), std::string::npos) << allMessages();
}

TEST_F(SheetReaderTest, ReadingsOfClearlyDifferentSpacingsMergedIntoOneRowAreNamed) {
    // Branch 2 measured every 20 m from 220 to 280 m: one grid row (232.2 m)
    // takes all four. 10 and 10.3 m are one field spacing, and the two MN/2
    // at 40 m are an overlap of branches: neither is named.
    const std::string sheet =
        "ab2,mn2,rhoa\n10,1,100\n10.3,1,104\n40,1,120\n40,20,130\n220,20,230\n240,20,327\n260,20,324\n"
        "280,20,369\n";
    ASSERT_EQ(open(sheet), CurveFileEnd::Done) << allMessages();
    ASSERT_EQ(messages.size(), 1u) << allMessages();
    const std::string& named = messages.front();
    EXPECT_EQ(named.rfind(kMergedSpacingsIntro, 0), 0u) << named;
    EXPECT_NE(named.find("branch 2, grid AB/2 232.2 m: readings 5, 6, 7, 8 at AB/2 = 220, 240, 260, 280 m."),
              std::string::npos)
        << named;
    EXPECT_EQ(named.find("10.3"), std::string::npos) << named;
    EXPECT_EQ(named.find(" 40,"), std::string::npos) << named;
    EXPECT_NE(named.find("Model > Computation > Model at the measured AB/2"), std::string::npos) << named;
    EXPECT_NE(named.find("--measured-spacings"), std::string::npos) << named;
    // The rule stays: one row, the geometric mean of the four.
    const int k = sounding.points.gridIndex[4];
    EXPECT_EQ(sounding.points.gridIndex[7], k);
    EXPECT_NEAR(sounding.branches.branchRho[k][2], std::pow(230.0 * 327 * 324 * 369, 0.25), 0.05);

    // Two rows of one branch are named in one message, row by row.
    ASSERT_EQ(open("ab2,mn2,rhoa\n50,5,117\n60,5,122\n80,5,128\n90,5,132\n100,5,141\n"), CurveFileEnd::Done);
    ASSERT_EQ(messages.size(), 1u) << allMessages();
    EXPECT_NE(
        messages.front().find("branch 1, grid AB/2 48.97 m: readings 1, 2 at AB/2 = 50, 60 m; branch 1, "
                              "grid AB/2 82.28 m: readings 3, 4, 5 at AB/2 = 80, 90, 100 m."),
        std::string::npos)
        << messages.front();
}

TEST_F(SheetReaderTest, BadCellsAreNamedByLineAndColumnAndTheRestIsRead) {
    ASSERT_EQ(open("# field sheet\nab2;mn2;rhoa\n2;0,5;50\n3;0,5;6o\n4;;70\n6;0,5\n8;1;x\n10;0,5;90\n"),
              CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    ASSERT_EQ(messages.size(), 1u) << allMessages();
    EXPECT_EQ(messages[0],
              "Lines of the sheet that were left out: line 4, column 3 (apparent resistivity) '6o' is not a number; "
              "line 5, column 2 (MN/2) is empty; line 6, column 3 (apparent resistivity) is missing; line 7, column 3 "
              "(apparent resistivity) 'x' is not a number.");

    // A reading the curve cannot use takes the road of a GEF reading: left out and named.
    ASSERT_EQ(open("ab2,mn2,rhoa\n2,0.5,50\n3,0.5,-6\n"), CurveFileEnd::Done);
    EXPECT_NE(allMessages().find("reading 2 (AB/2 = 3 m, MN/2 = 0.5 m, rhoA = -6)"), std::string::npos)
        << allMessages();
}

TEST_F(SheetReaderTest, UnusableSheetsKeepThePreviousCurve) {
    ASSERT_EQ(open(kFourBranches), CurveFileEnd::Done);
    const PointTable before = sounding.points;
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "The sheet holds no readings."},
        {"# nothing\n\nab2,mn2,rhoa\n", "The sheet holds no readings."},
        {"ab2,mn2,k\n1,2,3\n",
         "The sheet cannot be read: the header in line 1 names no apparent resistivity column (names taken, ignoring "
         "case, blanks, _ - . / and units in brackets: rhoa, rho, ra, rhoapp, rhoapparent, apparentrho, appres, "
         "apparentresistivity, resistivity, res, rhoameasured, measuredrhoa, rhomeasured, rhoaohmm, rhoohmm, rmer)."},
        {"AB/2,rhoa,AO\n1,2,3\n",
         "The sheet cannot be read: the header in line 1 names two AB/2 columns (columns 1 and 3)."},
        {",,\n", "Lines of the sheet that were left out: line 1, column 1 (AB/2) is empty."},
        {"\n5;100\n",
         "The sheet cannot be read: line 2 has fewer than three columns; without a header line the columns are AB/2, "
         "MN/2 and apparent resistivity."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(open(c.text), CurveFileEnd::Failed);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.front(), c.message);
        EXPECT_EQ(messages.back().rfind("Between branch", 0) == 0 || messages.back() == "reading error", true);
        EXPECT_EQ(sounding.points.pointCount, before.pointCount);
        EXPECT_EQ(sounding.points.ab2, before.ab2);
    }
}

TEST_F(SheetReaderTest, SheetWithoutMn2IsOneBranch) {
    for (const char* text : {"AB/2,rhoa\n1,160\n2,158\n3,165\n", "ab2,mn2,rhoa\n1,,160\n2,,158\n3,,165\n"}) {
        ASSERT_EQ(open(text), CurveFileEnd::Done) << allMessages();
        EXPECT_EQ(sounding.points.pointCount, 3);
        EXPECT_EQ(sounding.branches.branchCount, 1);
        EXPECT_FLOAT_EQ(sounding.points.mn2[0], 0.0f);
        EXPECT_TRUE(messages.empty()) << allMessages();
    }
}

TEST_F(SheetReaderTest, SheetAndGefFileOfOneSoundingGiveTheSameComposite) {
    const std::vector<GefReading> readings{{120, 1.3, 0.5, 1}, {110, 2.18, 0.5, 1}, {95, 3.66, 0.5, 1},
                                           {97, 3.66, 2, 2},   {70, 6.15, 2, 2},    {72, 6.15, 2, 2},
                                           {40, 10.3, 2, 2},   {45, 10.3, 10, 3},   {60, 22.5, 10, 3}};
    std::string sheet = "ab2;mn2;rhoa;branch\n";
    for (const GefReading& r : readings) {
        std::string line = std::to_string(r.ab2) + ";" + std::to_string(r.mn2) + ";" + std::to_string(r.rho) + ";" +
                           std::to_string(r.branch) + "\n";
        for (char& ch : line) ch = ch == '.' ? ',' : ch;
        sheet += line;
    }
    ASSERT_EQ(open(sheet), CurveFileEnd::Done);
    const Sounding fromSheet = sounding;
    const std::string gef = dir.file("VES12.GEF");
    writeBytes(gef, test::gefText("01.01.2020 x", readings));
    ASSERT_EQ(openGefCurve(sounding, gef, messages), CurveFileEnd::Done);
    EXPECT_EQ(fromSheet.minGridIndex, sounding.minGridIndex);
    EXPECT_EQ(fromSheet.maxGridIndex, sounding.maxGridIndex);
    for (int k = 0; k < kGridPoints; ++k) {
        EXPECT_EQ(fromSheet.branches.shiftedRho[k], sounding.branches.shiftedRho[k]) << "row " << k;
    }
}

TEST_F(SheetReaderTest, OnlyRegularFilesAreRead) {
    sounding.gefPath = dir.file("");
    messages.clear();
    EXPECT_EQ(readSheetFile(sounding, messages), CurveFileEnd::CannotOpen);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Cannot open the sheet.");
    EXPECT_TRUE(isSheetFileName("a/VES.CSV"));
    EXPECT_TRUE(isSheetFileName("x.txt"));
    EXPECT_FALSE(isSheetFileName("x.GEF"));
}

}  // namespace
}  // namespace orma

namespace orma {
namespace {

// Sheets made of the characters that matter to the reader, in random order:
// whatever they hold, the reader answers with a code and leaves a sane record.
TEST(SheetReaderGarbage, RandomSheetsGiveACodeAndASaneRecord) {
    std::mt19937 rng(4242);
    const std::string alphabet = "0123456789.,;\t \"#\r\neE+-abρ\xE9\xFF/2";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 400);
    for (int n = 0; n < 3000; ++n) {
        std::string bytes(length(rng), ' ');
        for (char& c : bytes) c = alphabet[pick(rng)];
        if (n % 3 == 0) bytes = "ab2;mn2;rhoa;branch\n" + bytes;
        Sounding s;
        std::vector<std::string> messages;
        const CurveFileOutcome result = readSheetBytes(s, bytes, messages);
        ASSERT_TRUE(result == CurveFileEnd::Done || result == CurveFileEnd::Failed);
        ASSERT_GE(s.points.pointCount, 0);
        ASSERT_LE(s.points.pointCount, kMaxPoints);
        if (result == CurveFileEnd::Done) {
            ASSERT_GE(s.minGridIndex, 0);
            ASSERT_LE(s.maxGridIndex, kGridPoints - 1);
        }
    }
}

}  // namespace
}  // namespace orma
