#include <gtest/gtest.h>

#include <cmath>

#include "SoundingFiles.h"
#include "core/AbGrid.h"
#include "core/PointProcessing.h"
#include "io/GefReader.h"
#include "io/ReadingsCommit.h"

namespace orma {
namespace {

using test::GefReading;
using test::gefText;
using test::ScratchDir;
using test::writeBytes;

class GefReaderTest : public ::testing::Test {
protected:
    ScratchDir dir{"gef"};
    Sounding sounding;
    std::vector<std::string> messages;

    CurveFileOutcome open(const std::string& bytes, const std::string& name = "curve.GEF") {
        const std::string path = dir.file(name);
        writeBytes(path, bytes);
        messages.clear();
        return openGefCurve(sounding, path, messages);
    }
};

TEST_F(GefReaderTest, SnapsFieldSpacingsGapsAndValuesBeyondTheTable) {
    ASSERT_EQ(
        open(gefText("01.02.2020 x",
                     {{100, 1.0, 0.5, 1}, {100, 1.1, 0.5, 1}, {100, 1.5, 0.5, 1}, {100, 2000, 0.5, 1}})),
        CurveFileEnd::Done);
    const PointTable& p = sounding.points;
    ASSERT_EQ(p.pointCount, 4);
    EXPECT_EQ(p.gridIndex[0], 0);
    // The point table holds floats: 1.1 m is stored a little above the bound
    // 1.1 and so lies inside the 1.1..1.4 row.
    EXPECT_EQ(p.gridIndex[1], 1);
    EXPECT_EQ(p.gridIndex[2], 1);  // the gap 1.4..1.6 as well
    EXPECT_EQ(p.gridIndex[3], 29);
    EXPECT_FLOAT_EQ(sounding.grid.value[1], static_cast<float>(abGridValue(1)));
    EXPECT_FLOAT_EQ(sounding.grid.value[29], static_cast<float>(abGridValue(29)));
    EXPECT_EQ(sounding.minGridIndex, 0);
    EXPECT_EQ(sounding.maxGridIndex, 29);
    EXPECT_EQ(sounding.source, CurveSource::Gef);
}

TEST_F(GefReaderTest, LargestSpacingOf150mSnapsOutsideTheCurveRange) {
    ASSERT_EQ(open(gefText("d", {{50, 10.3, 1, 1}, {60, 13.4, 1, 1}, {80, 150, 1, 1}})), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.gridIndex[2], 20);
    EXPECT_EQ(sounding.maxGridIndex, 19);
    EXPECT_FALSE(sounding.hasComposite(20));
    EXPECT_TRUE(sounding.hasComposite(9));
    EXPECT_NEAR(sounding.composite(10), 60.0, 1e-3);
}

TEST_F(GefReaderTest, RepeatedReadingsOfOneBranchAreAveragedGeometrically) {
    ASSERT_EQ(
        open(gefText("d", {{10, 1.05, 0.5, 1}, {20, 1.3, 0.5, 1}, {100, 10.0, 0.5, 1}, {400, 10.3, 0.5, 1}})),
        CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.gridIndex[0], 0);
    EXPECT_EQ(sounding.points.gridIndex[1], 1);
    EXPECT_EQ(sounding.points.gridIndex[2], 9);
    EXPECT_EQ(sounding.points.gridIndex[3], 9);
    EXPECT_NEAR(sounding.branches.branchRho[9][1], 200.0, 1e-3);
    EXPECT_NEAR(sounding.composite(9), 200.0, 1e-3);
}

TEST_F(GefReaderTest, ReadingsAreAStreamOfNumbersWhateverTheLineBreaks) {
    const std::string text =
        "head\r\n05.06.2019   14:30:00\r\nx\r\ny\r\n"
        "1 2 100 4 5 6 7\r\n 1.0 9 0.5 11 1 13\r\n"
        "1 2 120\n4 5 6 7 1.3 9 0.5 11 1 13 "
        "1 2 999 4 5 6 7 1.68 9 0.5";  // cut short by the end of the file
    ASSERT_EQ(open(text), CurveFileEnd::Done);
    EXPECT_EQ(sounding.date, "05.06.2019");
    ASSERT_EQ(sounding.points.pointCount, 2);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[0], 100.0f);
    EXPECT_FLOAT_EQ(sounding.points.sValue[0], 6.0f);
    EXPECT_FLOAT_EQ(sounding.points.mn2[1], 0.5f);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[1], 120.0f);
}

TEST_F(GefReaderTest, DateIsTheFirstWordOfLineTwoInWindows1250) {
    // "dne:" followed by a Czech word in CP1250 bytes (ř = 0xF8, í = 0xED).
    ASSERT_EQ(open(gefText("\xF8\xEDjen-2021 10:00", {{10, 1.0, 0.5, 1}})), CurveFileEnd::Done);
    EXPECT_EQ(sounding.date, "říjen-2021");
    ASSERT_EQ(open(gefText(std::string(60, '7'), {{10, 1.0, 0.5, 1}})), CurveFileEnd::Done);
    EXPECT_EQ(sounding.date, std::string(39, '7'));
    ASSERT_EQ(open(gefText("", {{10, 1.0, 0.5, 1}})), CurveFileEnd::Done);
    EXPECT_EQ(sounding.date, std::string(39, '7')) << "an empty line 2 keeps the date";
}

TEST_F(GefReaderTest, BranchZeroTakesNoPartInTheComposite) {
    ASSERT_EQ(open(gefText("d", {{10, 1.0, 0.5, 1}, {20, 1.3, 0.5, 1}, {999, 1.68, 0.5, 0}})),
              CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.gridIndex[2], 2);
    EXPECT_FALSE(sounding.hasComposite(2));
}

TEST_F(GefReaderTest, ReadsAtMost99Readings) {
    std::vector<GefReading> readings;
    for (int i = 0; i < 130; ++i) readings.push_back({100.0 + i, 10.3, 0.5, 1});
    ASSERT_EQ(open(gefText("d", readings)), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, kMaxPoints);
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "The file holds more than 99 readings; only the first 99 were read."),
              messages.end());
}

TEST_F(GefReaderTest, FailedReadKeepsThePreviousCurveUsable) {
    ASSERT_EQ(open(gefText("first", {{10, 1.0, 0.5, 1}, {20, 1.3, 0.5, 1}, {40, 1.68, 0.5, 1}})),
              CurveFileEnd::Done);
    sounding.model.interfaceCount = 2;
    const float compositeBefore = sounding.composite(1);

    ASSERT_EQ(open(gefText("second", {{10, -1.0, 0.5, 1}}), "bad.GEF"), CurveFileEnd::Failed);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "reading error");
    EXPECT_EQ(sounding.points.pointCount, 3);
    EXPECT_EQ(sounding.date, "first");
    EXPECT_EQ(sounding.model.interfaceCount, 2) << "a failed read drops no model";
    EXPECT_FLOAT_EQ(sounding.composite(1), compositeBefore);
    EXPECT_EQ(gefOpenedCaption(sounding),
              "ORMA - programme for VES interpretation - opened: " + dir.file("bad.GEF"));

    EXPECT_EQ(open("only\r\ntwo lines\r\n", "short.GEF"), CurveFileEnd::Failed);
    EXPECT_EQ(sounding.points.pointCount, 3);
}

TEST_F(GefReaderTest, MissingFileIsReportedBeforeTheReadingError) {
    messages.clear();
    EXPECT_EQ(openGefCurve(sounding, dir.file("none.GEF"), messages), CurveFileEnd::CannotOpen);
    EXPECT_EQ(messages, (std::vector<std::string>{"Cannot open GEF file.", "reading error"}));
}

TEST_F(GefReaderTest, NewCurveDropsTheModelAndBuildsTheComposite) {
    sounding.model.interfaceCount = 3;
    sounding.model.depthFixed[1] = 1;
    ASSERT_EQ(open(gefText("d", {{10, 1.0, 0.5, 1}, {20, 1.3, 0.5, 1}})), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(sounding.model.interfaceCount, 0);
    EXPECT_EQ(sounding.model.depthFixed[1], 0);
    EXPECT_TRUE(sounding.curveLoaded);
    EXPECT_TRUE(sounding.compositeBuilt);
}

TEST_F(GefReaderTest, ReprocessingWorksOnThePointsInMemory) {
    ASSERT_EQ(open(gefText("d", {{10, 1.0, 0.5, 1}, {20, 1.3, 0.5, 1}})), CurveFileEnd::Done);
    sounding.points.ab2[1] = 10.3f;
    sounding.gefPath = dir.file("gone.GEF");
    messages.clear();
    EXPECT_EQ(reprocessReadings(sounding, messages), kSuccess);
    EXPECT_EQ(sounding.points.gridIndex[1], 9);
    EXPECT_EQ(sounding.maxGridIndex, 9);
}

}  // namespace
}  // namespace orma
