#include <gtest/gtest.h>

#include "SoundingFiles.h"
#include "io/RstReader.h"

namespace orma {
namespace {

using test::ScratchDir;
using test::writeBytes;

std::string record(const std::string& name, int point, const std::string& readings) {
    return "n " + name + "\r\nb " + std::to_string(point) + "\r\np 3\r\nl Dolni Lhota\r\nd 1.5.2020\r\n" + readings;
}

const std::string kTwoBranches =
    "r 100.000000 s1 a1.000000 m0.500000\r\n"
    "r 120.000000 s2 a1.300000 m0.500000\r\n"
    "r 130.000000 s2 a1.300000 m2.000000\r\n"
    "r 140.000000 s3 a1.680000 m2.000000\r\n"
    "r 160.000000 s4 a2.180000 m2.000000";

class RstReaderTest : public ::testing::Test {
protected:
    ScratchDir dir{"rst"};
    Sounding sounding;
    std::vector<std::string> messages;

    void useFile(const std::string& bytes) {
        sounding.rstPath = dir.file("curves.RST");
        writeBytes(sounding.rstPath, bytes);
    }
    CurveFileOutcome read(int index) {
        messages.clear();
        return readRstRecord(sounding, index, messages);
    }
};

TEST_F(RstReaderTest, BranchFollowsMn2ThresholdsAndResistivitiesArePositive) {
    EXPECT_EQ(rstBranchForMn2(0.5f), 1);
    EXPECT_EQ(rstBranchForMn2(1.0f), 2);
    EXPECT_EQ(rstBranchForMn2(2.0f), 2);
    EXPECT_EQ(rstBranchForMn2(10.0f), 3);
    EXPECT_EQ(rstBranchForMn2(50.0f), 4);
    EXPECT_EQ(rstBranchForMn2(200.0f), 5);
    EXPECT_EQ(rstBranchForMn2(300.0f), 6);

    useFile(record("op", 7,
                   "r0 s0 a1.0 m0.5\r\nr -35.2 s1 a1.3 m1\r\nr12 s2 a1.68 m10\r\nr13 s3 a2.18 m50\r\n"
                   "r14 s4 a2.82 m200\r\nr15 s5 a3.66 m400"));
    ASSERT_EQ(read(0), CurveFileEnd::Done);
    const PointTable& p = sounding.points;
    // A resistivity of 0 is left out with a message naming it, as in a GEF file.
    ASSERT_EQ(p.pointCount, 5);
    EXPECT_FLOAT_EQ(p.rhoA[0], 35.2f);
    const int expected[] = {2, 3, 4, 5, 5};  // branch 6 has no column: merged into 5
    for (int s = 0; s < 5; ++s) EXPECT_EQ(p.branch[s], expected[s]) << "reading " << s;
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0], "Readings with an apparent resistivity of zero or below were left out: "
                           "reading 1 (AB/2 = 1 m, MN/2 = 0.5 m, rhoA = 0).");
}

TEST_F(RstReaderTest, RecordEndsAtSpacingsBelowTheirLimitsOrAForeignLine) {
    useFile(record("a", 1, "r10 s0 a1.0 m0.5\r\nr11 s0 a1.3 m0.5\r\nr12 s0 a0.8 m0.5\r\nr13 s0 a1.68 m0.5"));
    ASSERT_EQ(read(0), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 2);

    useFile(record("a", 1, "r10 s0 a1.0 m0.5\r\nr11 s0 a1.3 m0.05\r\n"));
    ASSERT_EQ(read(0), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 1);

    useFile(record("a", 1, "r10 s0 a1.0 m0.5\r\nx11 s0 a1.3 m0.5\r\nr12 s0 a1.68 m0.5"));
    ASSERT_EQ(read(0), CurveFileEnd::Done);
    EXPECT_EQ(sounding.points.pointCount, 1);
}

TEST_F(RstReaderTest, HeaderTextsAreReadWholeAndCut) {
    useFile("n Jan  Nov\xE1k \r\nb 0150\r\np -2\r\nl " + std::string(120, 'L') + "\r\nd 12. 3. 2021 odpoledne\r\n" +
            kTwoBranches);
    ASSERT_EQ(read(0), CurveFileEnd::Done);
    EXPECT_EQ(sounding.operatorName, "Jan  Novák ");
    EXPECT_EQ(sounding.pointNumber, 150) << "decimal, not octal";
    EXPECT_EQ(sounding.profileNumber, -2);
    EXPECT_EQ(sounding.locality, std::string(99, 'L'));
    EXPECT_EQ(sounding.date, "12. 3. 2021 odpoledne");
    EXPECT_EQ(rstOpenedCaption(sounding), "ORMA-opened: " + sounding.rstPath + " point: 150 pf: -2 loc: " +
                                              std::string(99, 'L') + " date: 12. 3. 2021 odpoledne");
}

TEST_F(RstReaderTest, HeaderLinesWithAnotherKeyKeepTheirFields) {
    sounding.pointNumber = 42;
    sounding.locality = "old place";
    useFile("n someone\nx 9\np 4\nq other\nd today\n" + kTwoBranches);  // plain LF line ends too
    ASSERT_EQ(read(0), CurveFileEnd::Done);
    EXPECT_EQ(sounding.pointNumber, 42);
    EXPECT_EQ(sounding.profileNumber, 4);
    EXPECT_EQ(sounding.locality, "old place");
    EXPECT_EQ(sounding.date, "today");
    EXPECT_EQ(sounding.points.pointCount, 5);
}

TEST_F(RstReaderTest, RecordsAreCountedByTheirNameLines) {
    useFile(record("first", 1, kTwoBranches) + "\r\n" + record("second", 2, "r7 s0 a10.3 m1\r\nr8 s0 a13.4 m1"));
    ASSERT_EQ(read(1), CurveFileEnd::Done);
    EXPECT_EQ(sounding.operatorName, "second");
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(sounding.rstRecordIndex, 1);
    EXPECT_EQ(sounding.source, CurveSource::Rst);

    EXPECT_EQ(read(2), CurveFileEnd::EndOfFile);
    EXPECT_EQ(messages, std::vector<std::string>{"End of file RST. First VES point is following."});
    EXPECT_EQ(sounding.rstRecordIndex, 0);
    EXPECT_EQ(sounding.operatorName, "second");
}

TEST_F(RstReaderTest, FollowingCurveWrapsToTheFirstAtTheEndOfTheFile) {
    useFile(record("first", 1, kTwoBranches) + "\r\n" + record("second", 2, kTwoBranches));
    messages.clear();
    ASSERT_EQ(openRstFile(sounding, sounding.rstPath, messages), CurveFileEnd::Done);
    ASSERT_EQ(openFollowingRstCurve(sounding, messages), CurveFileEnd::Done);
    EXPECT_EQ(sounding.operatorName, "second");
    messages.clear();
    ASSERT_EQ(openFollowingRstCurve(sounding, messages), CurveFileEnd::Done);
    EXPECT_EQ(sounding.operatorName, "first");
    EXPECT_EQ(messages, std::vector<std::string>{"End of file RST. First VES point is following."});
    EXPECT_EQ(sounding.rstRecordIndex, 1);
    EXPECT_TRUE(sounding.compositeBuilt);

    EXPECT_FALSE(openPrecedingRstCurve(sounding, messages).has_value()) << "nothing precedes the first curve";
    EXPECT_EQ(sounding.rstRecordIndex, 1);
    ASSERT_EQ(openFollowingRstCurve(sounding, messages), CurveFileEnd::Done);
    const std::optional<CurveFileOutcome> preceding = openPrecedingRstCurve(sounding, messages);
    ASSERT_TRUE(preceding.has_value());
    ASSERT_EQ(*preceding, CurveFileEnd::Done);
    EXPECT_EQ(sounding.operatorName, "first");
}

TEST_F(RstReaderTest, UnusableRecordFallsBackToTheFirstAndThenGivesUp) {
    useFile(record("good", 1, kTwoBranches) + "\r\n" + record("empty", 2, "r1 s0 a0.5 m1"));
    messages.clear();
    EXPECT_EQ(openRstCurve(sounding, 1, messages), CurveFileEnd::Done);
    EXPECT_EQ(sounding.operatorName, "good");
    EXPECT_EQ(sounding.rstRecordIndex, 1);

    useFile(record("empty", 2, ""));
    sounding.model.interfaceCount = 2;
    const float composite = sounding.composite(1);
    messages.clear();
    ASSERT_EQ(openRstCurve(sounding, 0, messages), CurveFileEnd::Failed);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "record not red");
    EXPECT_EQ(sounding.operatorName, "good") << "the unusable record changed the header";
    EXPECT_EQ(sounding.model.interfaceCount, 2);
    EXPECT_FLOAT_EQ(sounding.composite(1), composite);

    sounding.rstPath = dir.file("missing.RST");
    messages.clear();
    EXPECT_EQ(openRstCurve(sounding, 0, messages), CurveFileEnd::CannotOpen);
    EXPECT_EQ(messages, (std::vector<std::string>{"Cannot open RST file.", "Cannot open RST file.",
                                                  "record not red"}));
}

}  // namespace
}  // namespace orma
