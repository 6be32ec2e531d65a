#include <gtest/gtest.h>

#include "SoundingFiles.h"
#include "io/Cp1250Text.h"
#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/RstWriter.h"
#include "support/ScriptedDialogs.h"

namespace orma {
namespace {

using test::GefReading;
using test::readBytes;
using test::ScratchDir;
using test::ScriptedDialogs;

/// Two overlapping branches over grid rows 0..9.
const std::vector<GefReading> kCurve = {
    {100, 1.0, 0.5, 1, 3}, {110, 1.3, 0.5, 1, 4}, {120, 1.68, 0.5, 1, 5}, {130, 2.18, 0.5, 1, 6},
    {150, 2.18, 2, 2, 7},  {170, 2.82, 2, 2, 8},  {190, 3.66, 2, 2, 9},   {210, 4.74, 2, 2, 9},
    {230, 6.15, 2, 2, 9},  {250, 7.97, 2, 2, 9},  {270, 10.3, 2, 2, 9},
};

class RstWriterTest : public ::testing::Test {
protected:
    ScratchDir dir{"rstw"};
    Sounding sounding;
    RstOutputFile output;
    ScriptedDialogs dialogs;

    void SetUp() override {
        const std::string gef = dir.file("curve.GEF");
        test::writeBytes(gef, test::gefText("03.04.2022 9:00", kCurve));
        std::vector<std::string> messages;
        ASSERT_EQ(openGefCurve(sounding, gef, messages), CurveFileEnd::Done);
    }
    void TearDown() override { dialogs.verifyDone(); }

    void expectNumbers(const std::string& point, const std::optional<std::string>& proposedPoint,
                       const std::optional<std::string>& profile = std::nullopt) {
        dialogs.expectInput("Enter point number or chainage on the profile: ", " point: ", point, proposedPoint);
        dialogs.expectInput("Enter profile number:", " profile number:", profile);
    }
};

TEST_F(RstWriterTest, NewFileAsksEverythingAndAppendsContinueTheFile) {
    const std::string path = dir.file("out.RST");
    dialogs.expectSave(path);
    dialogs.expectInput("Enter the operator name:", "operator name:", "Jan Novák", "");
    dialogs.expectInput("Enter the locality name:", "locality name:", std::nullopt, "");
    dialogs.expectInput("Enter point number or chainage on the profile: ", " point: ", "100", "25");
    dialogs.expectInput("Enter profile number:", " profile number:", "x1", "1");
    dialogs.expectMessage("Integer!");
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
    EXPECT_EQ(dialogs.lastFileOptions().filter, "soubor typu keldor|*.RST");
    EXPECT_EQ(dialogs.lastFileOptions().defaultExtension, "RST");
    EXPECT_TRUE(sounding.rstOutputOpen);
    EXPECT_EQ(sounding.rstPath, path);
    EXPECT_EQ(sounding.profileNumber, 1);

    expectNumbers("125", "200");
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
    dialogs.expectInput("Enter point number or chainage on the profile: ", " point: ", "", "150");
    dialogs.expectMessage("Integer!");
    dialogs.expectInput("Enter profile number:", " profile number:", std::nullopt);
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
    closeRstOutput(sounding, output, dialogs);
    EXPECT_FALSE(sounding.rstOutputOpen);

    const std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.rfind("n Jan Nov\xE1k\r\nb 100\r\np 1\r\nl \r\nd 03.04.2022\r\nr ", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("\r\nn Jan Nov\xE1k\r\nb 125\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nb 150\r\n"), std::string::npos);
    EXPECT_NE(bytes.substr(bytes.size() - 2), "\r\n") << "the file never ends with a line break";
    EXPECT_EQ(bytes.find("\n\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);
}

TEST_F(RstWriterTest, SaveDialogNeverOverwritesAndCancelStops) {
    const std::string existing = dir.file("old.RST");
    test::writeBytes(existing, "keep me");
    dialogs.expectSave(existing);
    dialogs.expectMessage("The file already exists. Choose another name.");
    dialogs.expectSave(std::nullopt);
    dialogs.expectMessage("No file chosen");
    EXPECT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::CannotOpen);
    EXPECT_EQ(readBytes(existing), "keep me");
    EXPECT_FALSE(output.isOpen());
    EXPECT_FALSE(sounding.rstOutputOpen);

    // The fixed text, then why: here the folder is a regular file.
    test::writeBytes(dir.file("plain"), "a file, not a folder");
    dialogs.expectSave(dir.file("plain/x.RST"));
    dialogs.expectMessage("Unpossible create file RST !\nNo new file can be made in the folder of " +
                          dir.file("plain/x.RST") + " (Not a directory).");
    EXPECT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::CannotOpen);
    EXPECT_FALSE(sounding.rstOutputOpen);
}

TEST_F(RstWriterTest, NothingHappensWithoutACompositeOrWithoutAnOpenFileForF12) {
    EXPECT_EQ(saveRstRecordToNewFile(sounding, output, dialogs), CurveFileEnd::Failed);
    sounding.compositeBuilt = false;
    EXPECT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Failed);
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(RstWriterTest, F12ClosesTheOpenFileAndStartsAnotherOne) {
    dialogs.allowAnyMessages();
    const std::string first = dir.file("a.RST");
    const std::string second = dir.file("b.RST");
    dialogs.expectSave(first);
    dialogs.expectInput("Enter the operator name:", "operator name:", "op");
    dialogs.expectInput("Enter the locality name:", "locality name:", "loc");
    expectNumbers("1", "25");
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);

    dialogs.expectSave(second);
    dialogs.expectInput("Enter the operator name:", "operator name:", std::nullopt, "op");
    dialogs.expectInput("Enter the locality name:", "locality name:", std::nullopt, "loc");
    expectNumbers("2", std::nullopt);
    ASSERT_EQ(saveRstRecordToNewFile(sounding, output, dialogs), CurveFileEnd::Done);
    EXPECT_FALSE(output.isOpen());
    EXPECT_FALSE(sounding.rstOutputOpen);
    EXPECT_EQ(readBytes(second).rfind("n op\r\nb 2\r\n", 0), 0u);
    EXPECT_EQ(readBytes(first).find("\r\nn "), std::string::npos) << "the first file holds one record";
}

/// A hand-made curve over grid rows 0..20 with three measured branches.
Sounding threeBranchSounding(int branch3From) {
    Sounding s;
    for (auto& row : s.branches.shiftedRho) row.fill(kMissing);
    for (auto& row : s.branches.sMean) row.fill(kNoSMean);
    s.branches.branchCount = 3;
    s.branches.branchMn2 = {kMissing, 0.5f, 2.0f, 10.0f, kMissing, kMissing};
    s.minGridIndex = 0;
    s.maxGridIndex = 20;
    for (int k = 0; k <= 20; ++k) {
        s.grid.value[k] = static_cast<float>(abGridValue(k));
        const int j = k < 8 ? 1 : (k < branch3From ? 2 : 3);
        s.branches.shiftedRho[k][j] = 100.0f + static_cast<float>(k);
        s.branches.sMean[k][j] = 2.7f;
    }
    s.compositeBuilt = true;
    return s;
}

/// The MN/2 written on each data line whose AB/2 is grid row k, in file order.
std::vector<std::pair<int, float>> writtenRows(const std::string& bytes) {
    std::vector<std::pair<int, float>> rows;
    for (const std::string& line : splitLines(bytes)) {
        float r, a, m;
        int s;
        if (std::sscanf(line.c_str(), "r %f s%i a%f m%f", &r, &s, &a, &m) == 4) {
            rows.emplace_back(abGridIndex(a), m);
            EXPECT_EQ(s, 2) << "s is truncated toward zero";
        }
    }
    return rows;
}

TEST_F(RstWriterTest, OutputBranchesCoverOverlappingGridRanges) {
    sounding = threeBranchSounding(12);
    EXPECT_EQ(rstOutputBranchCount(sounding), 3);
    sounding = threeBranchSounding(19);
    EXPECT_EQ(rstOutputBranchCount(sounding), 2) << "branch 3 has only rows 19 and 20 from row 12 on";

    dialogs.allowAnyMessages();
    dialogs.expectSave(dir.file("e2.RST"));
    dialogs.expectInput("Enter the operator name:", "operator name:", std::nullopt);
    dialogs.expectInput("Enter the locality name:", "locality name:", std::nullopt);
    expectNumbers("5", std::nullopt);
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
    output.close();
    std::vector<std::pair<int, float>> expected;
    for (int k = 0; k <= 7; ++k) expected.emplace_back(k, 0.5f);
    for (int k = 6; k <= 20; ++k) expected.emplace_back(k, 2.0f);
    EXPECT_EQ(writtenRows(readBytes(dir.file("e2.RST"))), expected);

    sounding = threeBranchSounding(12);
    EXPECT_TRUE(inRstOutputBranch(13, 2, 3));
    EXPECT_FALSE(inRstOutputBranch(14, 2, 3));
    EXPECT_TRUE(inRstOutputBranch(20, 3, 3));
    EXPECT_FALSE(inRstOutputBranch(11, 3, 3));
}

TEST_F(RstWriterTest, EveryLineStaysReadableWhenAMeasuredBranchIsEmpty) {
    sounding = threeBranchSounding(12);
    for (int k = 8; k < 12; ++k) sounding.branches.shiftedRho[k][2] = kMissing;
    sounding.branches.branchMn2[2] = kMissing;
    sounding.branches.shiftedRho[8][1] = 50.0f;  // keep something for output branch 2
    sounding.branches.sMean[8][1] = 2.0f;
    dialogs.allowAnyMessages();
    dialogs.expectSave(dir.file("gap.RST"));
    dialogs.expectInput("Enter the operator name:", "operator name:", std::nullopt);
    dialogs.expectInput("Enter the locality name:", "locality name:", std::nullopt);
    expectNumbers("5", std::nullopt);
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
    output.close();
    for (const auto& [k, m] : writtenRows(readBytes(dir.file("gap.RST")))) EXPECT_GE(m, 0.1f) << "row " << k;
}

TEST_F(RstWriterTest, RecordReadsBackWithItsHeaderCurveAndBranches) {
    const std::string path = dir.file("round.RST");
    dialogs.expectSave(path);
    dialogs.expectInput("Enter the operator name:", "operator name:", "Jan  Novák ml.");
    dialogs.expectInput("Enter the locality name:", "locality name:", "Horní Dolní\r\nb 7");
    expectNumbers("310", "25", "4");
    ASSERT_EQ(appendRstRecord(sounding, output, dialogs), CurveFileEnd::Done);
    closeRstOutput(sounding, output, dialogs);

    Sounding back;
    back.rstPath = path;
    std::vector<std::string> messages;
    ASSERT_EQ(openRstCurve(back, 0, messages), CurveFileEnd::Done);
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(back.operatorName, "Jan  Novák ml.");
    EXPECT_EQ(back.locality, "Horní Dolní  b 7") << "line breaks in a text never split the record";
    EXPECT_EQ(back.date, "03.04.2022");
    EXPECT_EQ(back.pointNumber, 310);
    EXPECT_EQ(back.profileNumber, 4);
    EXPECT_EQ(back.branches.branchCount, sounding.branches.branchCount);
    EXPECT_EQ(back.minGridIndex, sounding.minGridIndex);
    EXPECT_EQ(back.maxGridIndex, sounding.maxGridIndex);
    for (int j = 1; j <= kMaxBranches; ++j) EXPECT_EQ(back.branches.branchMn2[j], sounding.branches.branchMn2[j]);
    for (int k = 0; k < kGridPoints; ++k) {
        ASSERT_EQ(back.hasComposite(k), sounding.hasComposite(k)) << "row " << k;
        if (sounding.hasComposite(k)) {
            EXPECT_NEAR(back.composite(k), sounding.composite(k), 1e-4) << "row " << k;
        }
    }
}

}  // namespace
}  // namespace orma
