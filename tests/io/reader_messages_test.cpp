// Every reading that takes no part in the curve is named, and every file that
// is not a sounding file is refused with a reason instead of an exception,
// a hang or a huge read.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "SoundingFiles.h"
#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/SheetReader.h"

namespace orma {
namespace {

using test::GefReading;
using test::gefText;
using test::ScratchDir;
using test::writeBytes;

class ReaderMessagesTest : public ::testing::Test {
protected:
    ScratchDir dir{"readermsg"};
    Sounding sounding;
    std::vector<std::string> messages;

    CurveFileOutcome openGef(const std::string& bytes) {
        writeBytes(dir.file("c.GEF"), bytes);
        messages.clear();
        return openGefCurve(sounding, dir.file("c.GEF"), messages);
    }
    CurveFileOutcome openRst(const std::string& readings) {
        writeBytes(dir.file("c.RST"), "n op\r\nb 1\r\np 1\r\nl here\r\nd today\r\n" + readings);
        messages.clear();
        return openRstFile(sounding, dir.file("c.RST"), messages);
    }
    /// The one message containing `part`; fails when there is none or several.
    std::string messageWith(const std::string& part) {
        std::string found;
        int count = 0;
        for (const std::string& text : messages) {
            if (text.find(part) != std::string::npos) {
                found = text;
                ++count;
            }
        }
        EXPECT_EQ(count, 1) << "'" << part << "' in " << ::testing::PrintToString(messages);
        return found;
    }
};

/// A short branch-1 curve ending with one reading at `lastAb2`.
std::vector<GefReading> curveEndingAt(double lastAb2) {
    return {{100, 22.5, 1, 1}, {110, 29.1, 1, 1}, {120, 37.8, 1, 1}, {130, lastAb2, 1, 1}};
}

TEST_F(ReaderMessagesTest, LastReadingAboveTheGridRangeIsNamed) {
    // In each of these spans the snapping table puts the largest AB/2 one row above the range's end.
    for (const auto& [ab2, text] : {std::pair{150.0, "150"}, std::pair{210.0, "210"}, std::pair{350.0, "350"},
                                    std::pair{470.0, "470"}, std::pair{610.0, "610"}}) {
        ASSERT_EQ(openGef(gefText("d", curveEndingAt(ab2))), CurveFileEnd::Done);
        const std::string message = messageWith("outside the curve's AB/2 range");
        EXPECT_NE(message.find(std::string("reading 4 (AB/2 = ") + text + " m, MN/2 = 1 m, grid point"),
                  std::string::npos)
            << message;
    }
    ASSERT_EQ(openGef(gefText("d", curveEndingAt(179.2))), CurveFileEnd::Done);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(ReaderMessagesTest, ReadingsInNoBranchAreNamed) {
    ASSERT_EQ(openGef(gefText("d", {{10, 1.0, 0.5, 1}, {20, 1.3, 0.5, 0}, {30, 1.68, 0.5, -3}})),
              CurveFileEnd::Done);
    EXPECT_EQ(messageWith("belong to no branch"),
              "Readings without a branch number from 1 up belong to no branch and take no part in the curve: "
              "reading 2 (AB/2 = 1.3 m, MN/2 = 0.5 m, branch 0), reading 3 (AB/2 = 1.68 m, MN/2 = 0.5 m, branch -3).");

    // With no reading in a branch at all the file still reads, and says why the curve is empty.
    ASSERT_EQ(openGef(gefText("d", {{10, 1.0, 0.5, 0}, {20, 1.3, 0.5, 0}})), CurveFileEnd::Done);
    messageWith("belong to no branch");
    EXPECT_FALSE(sounding.hasComposite(0));
}

TEST_F(ReaderMessagesTest, WhereTheReadingsStopIsSaid) {
    const std::string header = "h1\r\n01.01.2020 x\r\nh3\r\nh4\r\n";
    const std::string good = "1 2 100 4 5 6 7 1.0 9 0.5 11 1 13\r\n1 2 110 4 5 6 7 1.3 9 0.5 11 1 13\r\n";
    ASSERT_EQ(
        openGef(header + good + "1 2 120 4 5 6 7 abc 9 0.5 11 1 13\r\n1 2 130 4 5 6 7 2.18 9 0.5 11 1 13"),
        CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(messageWith("cannot be read"),
              "The GEF file cannot be read from line 7 on: number 8 of reading 3, 'abc', is not a number; the 2 "
              "readings before it were read.");

    ASSERT_EQ(openGef(header + good + "1 2 120 4 5 6 7 1.68 9 0.5 11 4294967297 13"), CurveFileEnd::Done);
    EXPECT_NE(messageWith("cannot be read").find("number 12 of reading 3, '4294967297', is not a branch number"),
              std::string::npos);

    ASSERT_EQ(openGef(header + good + "1 2 120 4 5 6 7"), CurveFileEnd::Done);
    EXPECT_EQ(messageWith("ends inside"),
              "The GEF file ends inside reading 3 (7 of its 13 numbers), which was left out; the 2 readings before "
              "it were read.");

    ASSERT_EQ(openGef(header + good + "\r\n\r\n  "), CurveFileEnd::Done);
    EXPECT_TRUE(messages.empty()) << "blank lines at the end are the clean end of the file";

    ASSERT_EQ(openRst("r10 s0 a1.0 m0.5\r\nr11 s0 a1.3\r\nr12 s0 a1.68 m0.5"), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 1);
    EXPECT_EQ(messageWith("stop"),
              "RST record 1: the readings stop at line 7 (reading 2), it has no MN/2 m; the 1 reading before it was "
              "read.");
    ASSERT_EQ(openRst("r10 s0 a1.0 m0.5\r\nr11 s0 a0.8 m0.5"), CurveFileEnd::Done);
    EXPECT_NE(messageWith("stop").find("its AB/2 of 0.800000 m is below 1 m"), std::string::npos);
    ASSERT_EQ(openRst("r10 s0 a1.0 m0.5\r\nr11 s0 a1.3 m0.5\r\n\r\nn next\r\nb 2"), CurveFileEnd::Done);
    EXPECT_TRUE(messages.empty()) << "the next record is the clean end of this one";
}

TEST_F(ReaderMessagesTest, BadReadingsAreLeftOutAloneAndNamedWithTheirValues) {
    // A spacing of zero or below, a resistivity of zero, one that is not a
    // number and one beyond the float range each cost only themselves.
    const std::string header = "h1\r\n01.01.2020 x\r\nh3\r\nh4\r\n";
    ASSERT_EQ(openGef(header + "1 2 100 4 5 6 7 1.0 9 0.5 11 1 13\r\n"
                               "1 2 100 4 5 6 7 0 9 0.5 11 1 13\r\n"
                               "1 2 100 4 5 6 7 -2 9 0.5 11 1 13\r\n"
                               "1 2 0 4 5 6 7 1.3 9 0.5 11 1 13\r\n"
                               "1 2 nan 4 5 6 7 1.68 9 0.5 11 1 13\r\n"
                               "1 2 1e39 4 5 6 7 2.18 9 0.5 11 1 13\r\n"
                               "1 2 -inf 4 5 6 7 2.82 9 0.5 11 1 13\r\n"
                               "1 2 120 4 5 6 7 3.66 9 0.5 11 1 13\r\n"),
              CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(messageWith("AB/2 of zero or below"),
              "Readings with an AB/2 of zero or below were left out: reading 2 (AB/2 = 0 m, MN/2 = 0.5 m), "
              "reading 3 (AB/2 = -2 m, MN/2 = 0.5 m).");
    EXPECT_EQ(messageWith("apparent resistivity of zero"),
              "Readings with an apparent resistivity of zero or below were left out: reading 4 (AB/2 = 1.3 m, "
              "MN/2 = 0.5 m, rhoA = 0).");
    EXPECT_NE(messageWith("not a number").find("reading 5 (AB/2 = 1.68 m, MN/2 = 0.5 m, rhoA = nan)"),
              std::string::npos);
    EXPECT_NE(messageWith("infinite").find("reading 6 (AB/2 = 2.18 m, MN/2 = 0.5 m, rhoA = inf), reading 7 "
                                           "(AB/2 = 2.82 m, MN/2 = 0.5 m, rhoA = -inf)"),
              std::string::npos);

    // The RST reader treats a resistivity of 0 alike (no longer 1e-6).
    ASSERT_EQ(openRst("r10 s0 a1.0 m0.5\r\nr0 s0 a1.3 m0.5\r\nr-12 s0 a1.68 m0.5"), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_NE(messageWith("zero or below").find("reading 2 (AB/2 = 1.3 m, MN/2 = 0.5 m, rhoA = 0)"),
              std::string::npos);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[1], 12.0f) << "a negative one is the instrument's sign";

    // Not a number in any column of an RST reading: named, never taken.
    ASSERT_EQ(openRst("r10 s0 a1.0 m0.5\r\nrnan s0 a1.3 m0.5\r\nr12 s0 anan m0.5\r\nr13 s0 a1.68 minf\r\n"
                      "r14 s0 a2.18 m0.5"),
              CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_NE(messageWith("apparent resistivity is not a number").find("reading 2"), std::string::npos);
    EXPECT_NE(messageWith("AB/2 is not a finite number").find("reading 3"), std::string::npos);
    EXPECT_NE(messageWith("MN/2 or s value is not a finite number").find("reading 4"), std::string::npos);
    // A sheet takes no "nan" or "inf" at all: such a cell is no number.
    writeBytes(dir.file("c.csv"), "ab2,mn2,rhoa\n1,0.5,100\n1.3,0.5,nan\n1.68,inf,120\n2.18,0.5,130\n");
    messages.clear();
    ASSERT_EQ(openSheetCurve(sounding, dir.file("c.csv"), messages), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(messages.front(),
              "Lines of the sheet that were left out: line 3, column 3 (apparent resistivity) 'nan' is not a number; "
              "line 4, column 2 (MN/2) 'inf' is not a number.");
}

TEST_F(ReaderMessagesTest, ResistivityNearTheLargestFloatKeepsTheCompositeFinite) {
    ASSERT_EQ(openGef(gefText("d", {{100, 1.0, 0.5, 1},
                                    {3.4e38, 1.3, 0.5, 1},
                                    {100, 1.68, 0.5, 1},
                                    {100, 1.68, 2, 2},
                                    {3.0e38, 2.18, 2, 2}})),
              CurveFileEnd::Done);
    for (int k = 0; k < kGridPoints; ++k) {
        if (sounding.hasComposite(k)) {
            EXPECT_TRUE(std::isfinite(sounding.composite(k))) << "row " << k;
        }
    }
}

/// Branches 1..6, each 1.5 times above the previous, overlapping on two grid rows.
std::vector<GefReading> sixLevelledBranches() {
    const double ab2[] = {1.0, 1.3, 1.68, 2.18, 2.82, 3.66, 4.74, 6.15, 7.97, 10.3, 13.4, 17.4, 22.5, 29.1};
    std::vector<GefReading> readings;
    for (int branch = 1; branch <= 6; ++branch) {
        const double level = 100.0 * std::pow(1.5, branch - 1);
        for (int i = 2 * (branch - 1); i < 2 * (branch - 1) + 4; ++i) {
            readings.push_back({level, ab2[i], 0.5 * branch, branch});
        }
    }
    return readings;
}

TEST_F(ReaderMessagesTest, BranchesAboveFiveAreLevelledBeforeTheyAreMerged) {
    ASSERT_EQ(openGef(gefText("d", sixLevelledBranches())), CurveFileEnd::Done);
    EXPECT_EQ(messageWith("Branch 6"),
              "Branch 6 has no column of its own: its readings were levelled onto branch 5 (by a factor of 0.6667, "
              "from 2 common grid points) and merged into it.");
    // Shifted onto branch 2, the whole composite lies on branch 2's level: no step is left.
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        ASSERT_TRUE(sounding.hasComposite(k)) << "row " << k;
        EXPECT_NEAR(sounding.composite(k), 150.0f, 0.01f) << "row " << k;
    }

    std::vector<GefReading> apart = sixLevelledBranches();
    for (GefReading& r : apart) {
        if (r.branch == 6) r.ab2 *= 10;  // no common grid row with branch 5
    }
    ASSERT_EQ(openGef(gefText("d", apart)), CurveFileEnd::Done);
    EXPECT_NE(messageWith("Branch 6").find("no grid point in common with branch 5"), std::string::npos);
}

TEST_F(ReaderMessagesTest, AnythingButARegularFileIsRefusedBeforeReading) {
    std::filesystem::create_directory(dir.file("d.GEF"));
    std::filesystem::create_directory(dir.file("d.RST"));
    ASSERT_EQ(::mkfifo(dir.file("p.GEF").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.file("z.RST"));
    writeBytes(dir.file("big.GEF"), "");
    std::filesystem::resize_file(dir.file("big.GEF"), 20u << 20);

    for (const std::string name : {"d.GEF", "p.GEF", "big.GEF"}) {
        messages.clear();
        EXPECT_EQ(openGefCurve(sounding, dir.file(name), messages), CurveFileEnd::CannotOpen) << name;
        ASSERT_EQ(messages.size(), 3u) << name;
        EXPECT_EQ(messages[0], "Cannot open GEF file.");
        EXPECT_NE(messages[1].find(dir.file(name)), std::string::npos) << messages[1];
        EXPECT_EQ(messages[2], "reading error");
    }
    EXPECT_EQ(messages[1], "The file " + dir.file("big.GEF") + " is larger than 16 MB, more than the program reads.");
    for (const std::string name : {"d.RST", "z.RST"}) {
        messages.clear();
        EXPECT_EQ(openRstFile(sounding, dir.file(name), messages), CurveFileEnd::CannotOpen) << name;
        EXPECT_EQ(messages.front(), "Cannot open RST file.");
        EXPECT_EQ(messages.back(), "record not red");
    }
    EXPECT_FALSE(sounding.curveLoaded);
}

}  // namespace
}  // namespace orma
