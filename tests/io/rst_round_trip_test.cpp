// A record that the program writes must be one that it reads back: the same
// grid rows and values, over the whole range the reader accepts; and what
// cannot be written so is refused before anything is asked or written.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SoundingFiles.h"
#include "core/AbGrid.h"
#include "core/BranchShift.h"
#include "core/PointProcessing.h"
#include "io/RstReader.h"
#include "io/RstWriter.h"
#include "support/ScriptedDialogs.h"

namespace orma {
namespace {

using test::readBytes;
using test::ScratchDir;
using test::ScriptedDialogs;
using test::writeBytes;

/// One branch over grid rows first..last with the given MN/2 and values,
/// shifted as after a load, the grid values as a reader leaves them.
Sounding loadedCurve(int first, int last, float mn2, float (*rho)(int k)) {
    Sounding s;
    for (int k = first; k <= last; ++k) {
        const int n = s.points.pointCount++;
        s.points.ab2[n] = static_cast<float>(abGridValue(k));
        s.points.mn2[n] = mn2;
        s.points.rhoA[n] = rho(k);
        s.points.sValue[n] = static_cast<float>(k);
        s.points.branch[n] = 1;
    }
    std::vector<std::string> messages;
    EXPECT_EQ(postProcessPoints(s, CurveSource::Gef, messages), kSuccess);
    shiftBranches(s, 2);
    return s;
}

std::string recordText(const Sounding& s) {
    std::string text;
    for (const std::string& line : rstRecordLines(s)) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

/// Reads the written record back and compares every composite row.
void expectReadsBackTheSame(const Sounding& written, const std::string& what) {
    ASSERT_FALSE(rstRecordProblem(written).has_value()) << what << ": " << *rstRecordProblem(written);
    Sounding back;
    std::vector<std::string> messages;
    ASSERT_EQ(readRstRecordText(back, recordText(written), 0, messages), CurveFileEnd::Done) << what;
    shiftBranches(back, 2);
    for (const std::string& text : messages) ADD_FAILURE() << what << ": " << text;
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_EQ(back.hasComposite(k), written.hasComposite(k)) << what << ", row " << k;
        if (!written.hasComposite(k)) continue;
        const float expected = written.composite(k);
        // Six decimals on the file, float logarithms in the shift.
        EXPECT_NEAR(back.composite(k), expected, 5e-7 + 2e-5 * expected) << what << ", row " << k;
    }
}

TEST(RstRoundTrip, EveryGridRowAndMn2ThatTheReaderAcceptsComesBack) {
    expectReadsBackTheSame(loadedCurve(0, 98, 0.5f, [](int k) { return 10.0f + static_cast<float>(k); }),
                           "all 99 grid rows");
    for (const float mn2 : {0.1f, 0.5f, 0.999f, 1.0f, 4.99f, 5.0f, 19.99f, 20.0f, 99.9f, 100.0f, 299.9f}) {
        expectReadsBackTheSame(loadedCurve(20, 30, mn2, [](int) { return 42.0f; }), "MN/2 " + std::to_string(mn2));
    }
    for (const float rho : {1e-6f, 0.0012345f, 7.5f, 123456.79f, 3e38f}) {
        static float value;
        value = rho;
        expectReadsBackTheSame(loadedCurve(3, 9, 2.0f, [](int) { return value; }), "rho " + std::to_string(rho));
    }
}

TEST(RstRoundTrip, GridPoints26And27StaySeparateAndExactGridValuesReadBack) {
    Sounding s = loadedCurve(24, 28, 20.0f, [](int k) { return 100.0f + 10.0f * static_cast<float>(k); });
    expectReadsBackTheSame(s, "rows 24..28 with nominal values");
    const std::string text = recordText(s);
    EXPECT_NE(text.find(" a849.664368 "), std::string::npos) << text;
    EXPECT_NE(text.find(" a1101.312988 "), std::string::npos) << text;

    // After a forward computation the grid holds the exact values 10^(k/8.876).
    for (int k = 0; k < kGridPoints; ++k) s.grid.value[k] = static_cast<float>(abGridValue(k));
    expectReadsBackTheSame(s, "exact grid values");
    // A stale entry that would not snap back onto its row is written as the exact value.
    s.grid.value[26] = 1000.0f;
    EXPECT_NE(recordText(s).find(" a849.664368 "), std::string::npos);
}

TEST(RstRoundTrip, RecordsTheReaderWouldRejectOrMisplaceAreRefused) {
    Sounding tiny = loadedCurve(2, 9, 0.05f, [](int) { return 50.0f; });
    ASSERT_TRUE(rstRecordProblem(tiny).has_value());
    EXPECT_EQ(*rstRecordProblem(tiny),
              "Output branch 1 has MN/2 = 0.05 m: an RST file keeps MN/2 from 0.1 m up to below 300 m in branches of "
              "their own, so the record is not written.");
    EXPECT_TRUE(rstRecordProblem(loadedCurve(20, 30, 300.0f, [](int) { return 5.0f; })).has_value());
    EXPECT_TRUE(rstRecordProblem(loadedCurve(20, 30, 0.0999f, [](int) { return 5.0f; })).has_value());
    Sounding faint = loadedCurve(2, 9, 1.0f, [](int) { return 4e-7f; });
    ASSERT_TRUE(rstRecordProblem(faint).has_value());
    EXPECT_NE(rstRecordProblem(faint)->find("\"%f\" writes it as 0.000000"), std::string::npos);

    // Refused before any dialog: nothing is asked, nothing is written.
    ScriptedDialogs dialogs;
    dialogs.expectMessage(*rstRecordProblem(tiny));
    RstOutputFile output;
    EXPECT_EQ(appendRstRecord(tiny, output, dialogs), CurveFileEnd::Failed);
    EXPECT_FALSE(output.isOpen());
    dialogs.verifyDone();
}

TEST(RstRoundTrip, NoRecordWithoutACurveOrWithoutAnyShiftedValue) {
    // Pressing 2 before any curve was loaded builds no composite...
    Sounding nothing;
    EXPECT_TRUE(shiftBranches(nothing, 2).empty());
    EXPECT_FALSE(nothing.compositeBuilt);
    ScriptedDialogs dialogs;
    RstOutputFile output;
    EXPECT_EQ(appendRstRecord(nothing, output, dialogs), CurveFileEnd::Failed)
        << "so F5 writes nothing and asks nothing";

    // ...and readings in no branch leave a composite without values.
    Sounding noBranch = loadedCurve(2, 9, 1.0f, [](int) { return 5.0f; });
    for (int s = 0; s < noBranch.points.pointCount; ++s) noBranch.points.branch[s] = 0;
    shiftBranches(noBranch, 2);
    ASSERT_TRUE(noBranch.compositeBuilt);
    dialogs.expectMessage("The shifted curve has no values, so there is no RST record to write.");
    EXPECT_EQ(appendRstRecord(noBranch, output, dialogs), CurveFileEnd::Failed);
    dialogs.verifyDone();
}

TEST(RstRoundTrip, PointNumberProposalNeverOverflows) {
    Sounding s;
    proposeNextPointNumber(s);
    EXPECT_EQ(s.pointNumber, 25) << "0 + (0 - (-25))";
    s.pointNumber = 125;
    s.previousPointNumber = 100;
    proposeNextPointNumber(s);
    EXPECT_EQ(s.pointNumber, 150);

    const int max = std::numeric_limits<int>::max();
    const int min = std::numeric_limits<int>::min();
    for (const auto& [number, previous] : {std::pair{max - 10, 0}, std::pair{min + 10, 0}, std::pair{max, min},
                                           std::pair{min, max}, std::pair{max - 1, max - 3}}) {
        s.pointNumber = number;
        s.previousPointNumber = previous;
        proposeNextPointNumber(s);
        EXPECT_EQ(s.pointNumber, number) << "no proposal beyond 32 bits after " << previous << ", " << number;
        EXPECT_EQ(s.previousPointNumber, number);
    }
    s.pointNumber = max - 3;
    s.previousPointNumber = max - 5;
    proposeNextPointNumber(s);
    EXPECT_EQ(s.pointNumber, max - 1) << "a proposal that fits is made";
}

TEST(RstRoundTrip, AppendingOnlyContinuesAnRstFile) {
    ScratchDir dir("rstappend");
    writeBytes(dir.file("empty.RST"), "");
    EXPECT_FALSE(rstAppendTargetProblem(dir.file("empty.RST")).has_value());
    writeBytes(dir.file("ves.RST"), recordText(loadedCurve(2, 9, 1.0f, [](int) { return 5.0f; })));
    EXPECT_FALSE(rstAppendTargetProblem(dir.file("ves.RST")).has_value());

    writeBytes(dir.file("ves.GEF"), test::gefText("01.01.2020", {{10, 1.0, 0.5, 1}, {20, 1.3, 0.5, 1}}));
    const std::optional<std::string> gef = rstAppendTargetProblem(dir.file("ves.GEF"));
    ASSERT_TRUE(gef.has_value());
    EXPECT_EQ(*gef, "The file " + dir.file("ves.GEF") +
                        " is not an RST file (it does not start with a record that reads), so no record is "
                        "appended to it.");
    writeBytes(dir.file("header.RST"), "n op\r\nb 1\r\np 1\r\nl x\r\nd y");
    EXPECT_TRUE(rstAppendTargetProblem(dir.file("header.RST")).has_value()) << "a record without readings";
    std::filesystem::create_directory(dir.file("dir.RST"));
    EXPECT_TRUE(rstAppendTargetProblem(dir.file("dir.RST")).has_value());
    EXPECT_TRUE(rstAppendTargetProblem(dir.file("missing.RST")).has_value());

    // The window's F5 checks the open file again before each record.
    Sounding s = loadedCurve(2, 9, 1.0f, [](int) { return 5.0f; });
    RstOutputFile output;
    ASSERT_TRUE(output.openForAppend(dir.file("ves.GEF")));
    s.rstOutputOpen = true;
    ScriptedDialogs dialogs;
    dialogs.expectMessage(*gef);
    const std::string before = readBytes(dir.file("ves.GEF"));
    EXPECT_EQ(appendRstRecord(s, output, dialogs), CurveFileEnd::CannotOpen);
    EXPECT_EQ(readBytes(dir.file("ves.GEF")), before);
    EXPECT_FALSE(output.isOpen());
    EXPECT_FALSE(s.rstOutputOpen);
    dialogs.verifyDone();
}

}  // namespace
}  // namespace orma
