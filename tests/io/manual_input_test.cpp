// Typed and mouse-drawn input of a curve: every prompt as the user reads it,
// the points it makes, and what a cancelled or refused answer leaves.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "io/ManualInput.h"
#include "support/ScriptedDialogs.h"

namespace orma {
namespace {

using test::ScriptedDialogs;

constexpr const char* kRhoCaption = "Enter rezistivity:  (end of branch - ENTER)";
constexpr const char* kOmittedCaption =
    "Number of omitted AB/2(measured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ";

class RecordingHost : public ManualInputHost {
public:
    std::string activeProfileName() override { return "P7"; }
    void setCaption(const std::string& caption) override { captions.push_back(caption); }
    void enteredCurveProcessed(bool ok) override { processed.push_back(ok); }
    std::string decimalSeparator() override { return separator; }
    std::string separator = ".";
    std::vector<std::string> captions;
    std::vector<bool> processed;
};

class ManualInputTest : public ::testing::Test {
protected:
    /// Point number, profile, branches and omitted points.
    void expectHeader(const std::string& point, const std::string& profile, const std::string& branches,
                      const std::string& omitted) {
        dialogs.expectInput("Enter VES point number or chainage: ", "VES point number: ", point);
        dialogs.expectInput("Enter profile number:", "profile number: ", profile, "P7");
        dialogs.expectInput("Enter amount of branches of VES curve: ", "number of branches: ", branches, "1");
        dialogs.expectInput(kOmittedCaption, "omitted AB/2: ", omitted, "0");
    }
    void expectRow(int k, const std::string& answer) {
        static const char* kAb2[] = {"1.00", "1.30", "1.68", "2.18", "2.82", "3.66", "4.74", "6.15"};
        dialogs.expectInput(kRhoCaption, "row:" + std::to_string(k + 1) + ", AB/2=" + kAb2[k] + " m -> REZISTIVITY: ",
                            answer, "0");
    }

    Sounding sounding;
    ScriptedDialogs dialogs;
    RecordingHost host;
};

TEST_F(ManualInputTest, TwoTypedBranchesOverlapByTheirCommonRows) {
    expectHeader("12", "7", "2", "0");
    const double rho1[] = {10, 12, 15, 19, 24, 30};
    for (int k = 0; k <= 5; ++k) expectRow(k, std::to_string(rho1[k]));
    expectRow(6, "0");
    dialogs.expectInput("Enter number of points of this overlay: ", "number of points of this overlay: ", "2", "2");
    // Branch 2 repeats grid rows 4 and 5; a decimal comma is refused and the row asked again.
    expectRow(4, "36,1");
    dialogs.expectMessage("Point is the decimal sign");
    expectRow(4, "36.1");
    expectRow(5, "45");
    expectRow(6, "57");
    expectRow(7, "");
    ASSERT_TRUE(enterCurveByKeyboard(sounding, dialogs, host));
    dialogs.verifyDone();

    const PointTable& p = sounding.points;
    ASSERT_EQ(p.pointCount, 9);
    EXPECT_EQ(p.gridIndex[6], 4);
    EXPECT_NEAR(p.ab2[6], 2.82, 0.005);
    EXPECT_NEAR(p.ab2[7], 3.66, 0.005);
    EXPECT_FLOAT_EQ(p.rhoA[6], 36.1f);
    EXPECT_EQ(p.branch[6], 2);
    EXPECT_FLOAT_EQ(p.mn2[0], 0.2f);
    EXPECT_FLOAT_EQ(p.mn2[8], 1.0f);
    for (int s = 0; s < p.pointCount; ++s) EXPECT_FLOAT_EQ(p.ab2[s], enteredAb2(p.gridIndex[s])) << s;
    EXPECT_EQ(sounding.pointNumber, 12);
    EXPECT_EQ(sounding.profileNumber, 7);
    EXPECT_EQ(sounding.minGridIndex, 0);
    EXPECT_EQ(sounding.maxGridIndex, 6);
    EXPECT_EQ(sounding.branches.branchCount, 2);
    EXPECT_TRUE(sounding.compositeBuilt);
    // Branch 1 was shifted onto branch 2 by the mean ratio over their common rows.
    EXPECT_NEAR(sounding.composite(0), 10 * std::sqrt(36.1 / 24 * 45 / 30), 1e-3);
    EXPECT_EQ(sounding.gefPath, "manual pf 7 bod 12");
    ASSERT_GE(host.captions.size(), 3u);
    EXPECT_EQ(host.captions.front(), "ORMA-programme for VES interpretation - interpreting: manual pf 7 bod 12");
    EXPECT_EQ(host.captions[1], "ORMA-programme for VES interpretation - opened: manual pf 7 bod 12");
    EXPECT_EQ(host.captions.back(), "ORMA-programme for interpretation of VES curves - opened: manual pf 7 bod 12");
    EXPECT_EQ(host.processed.size(), 9u);  // redrawn after every point
}

TEST_F(ManualInputTest, OnACommaDesktopTheCommaAndThePointAreBothTaken) {
    host.separator = ",";
    expectHeader("12", "7", "1", "0");
    dialogs.expectInput(kRhoCaption, "row:1, AB/2=1,00 m -> REZISTIVITY: ", "95,5", "0");
    dialogs.expectInput(kRhoCaption, "row:2, AB/2=1,30 m -> REZISTIVITY: ", "96.25", "0");
    // A grouping blank or a second sign is no number: asked again.
    dialogs.expectInput(kRhoCaption, "row:3, AB/2=1,68 m -> REZISTIVITY: ", "1 000,5", "0");
    dialogs.expectMessage("Point is the decimal sign");
    dialogs.expectInput(kRhoCaption, "row:3, AB/2=1,68 m -> REZISTIVITY: ", "1000,5", "0");
    dialogs.expectInput(kRhoCaption, "row:4, AB/2=2,18 m -> REZISTIVITY: ", "", "0");
    ASSERT_TRUE(enterCurveByKeyboard(sounding, dialogs, host));
    dialogs.verifyDone();
    ASSERT_EQ(sounding.points.pointCount, 3);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[0], 95.5f);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[1], 96.25f);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[2], 1000.5f);
}

TEST_F(ManualInputTest, CancelEndsABranchAndNegativeValuesAreAskedAgain) {
    dialogs.expectInput("Enter VES point number or chainage: ", "VES point number: ", "3", "0");
    dialogs.expectInput("Enter profile number:", "profile number: ", "north line");
    dialogs.expectInput("Enter amount of branches of VES curve: ", "number of branches: ", "1");
    dialogs.expectInput(kOmittedCaption, "omitted AB/2: ", "2");
    dialogs.expectInput(kRhoCaption, "row:3, AB/2=1.68 m -> REZISTIVITY: ", "-5", "0");
    dialogs.allowAnyMessages();
    dialogs.expectInput(kRhoCaption, "row:3, AB/2=1.68 m -> REZISTIVITY: ", "1e39", "0");
    dialogs.expectInput(kRhoCaption, "row:3, AB/2=1.68 m -> REZISTIVITY: ", "50", "0");
    dialogs.expectInput(kRhoCaption, "row:4, AB/2=2.18 m -> REZISTIVITY: ", std::nullopt, "0");
    ASSERT_TRUE(enterCurveByKeyboard(sounding, dialogs, host));
    dialogs.verifyDone();
    EXPECT_EQ(sounding.points.pointCount, 1);
    EXPECT_FLOAT_EQ(sounding.points.rhoA[0], 50.0f);
    EXPECT_EQ(sounding.profileNumber, 1);  // kept
    EXPECT_EQ(sounding.gefPath, "manual pf north line bod 3");
    // The profile text is no number; then two refusals, each naming what was typed.
    ASSERT_EQ(dialogs.messages().size(), 3u);
    EXPECT_EQ(dialogs.messages()[0], "Integer!");
    EXPECT_NE(dialogs.messages()[1].find("-5"), std::string::npos);
    EXPECT_NE(dialogs.messages()[2].find("1e39"), std::string::npos);
}

TEST_F(ManualInputTest, WrongCountsEndTheInputAndChangeNothing) {
    sounding.minGridIndex = 3;
    dialogs.expectInput("Enter VES point number or chainage: ", "VES point number: ", "5");
    dialogs.expectInput("Enter profile number:", "profile number: ", "2");
    dialogs.expectInput("Enter amount of branches of VES curve: ", "number of branches: ", "7");
    dialogs.expectMessage("May be the number of VES curve branches7 is not correct. Once more: Ctrl+R");
    EXPECT_FALSE(enterCurveByKeyboard(sounding, dialogs, host));

    expectHeader("5", "2", "1", "26");
    dialogs.expectMessage("Amount of omitted points AB/2 26 may be wrong. Once more Ctrl+R");
    EXPECT_FALSE(enterCurveByKeyboard(sounding, dialogs, host));
    dialogs.verifyDone();
    EXPECT_EQ(sounding.minGridIndex, 3);
    EXPECT_TRUE(host.captions.empty());
}

TEST_F(ManualInputTest, AnInputWithoutAnyReadingLeavesTheCurveAsItWas) {
    sounding.gefPath = "VES12.GEF";
    sounding.points.pointCount = 4;
    sounding.branches.shiftedRho[2][0] = 33.0f;
    expectHeader("1", "1", "1", "0");
    expectRow(0, "0");
    dialogs.expectMessage("No resistivity was entered: the curve on screen stays as it was.");
    EXPECT_FALSE(enterCurveByKeyboard(sounding, dialogs, host));
    dialogs.verifyDone();
    EXPECT_EQ(sounding.gefPath, "VES12.GEF");
    EXPECT_EQ(sounding.points.pointCount, 4);
    EXPECT_FLOAT_EQ(sounding.composite(2), 33.0f);
}

TEST_F(ManualInputTest, ASpacingBeyondAThousandMetresEndsTheBranch) {
    expectHeader("1", "1", "1", "25");
    dialogs.expectInput(kRhoCaption, "row:26, AB/2=655.52 m -> REZISTIVITY: ", "80", "0");
    dialogs.expectInput(kRhoCaption, "row:27, AB/2=849.66 m -> REZISTIVITY: ", "90", "0");
    dialogs.expectInput(kRhoCaption, "row:28, AB/2=1101.31 m -> REZISTIVITY: ", "95", "0");
    dialogs.expectMessage("They must be cheating!");
    ASSERT_TRUE(enterCurveByKeyboard(sounding, dialogs, host));
    dialogs.verifyDone();
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(sounding.maxGridIndex, 26);
}

TEST_F(ManualInputTest, MouseInputStartsWithA45DegreeLineOverTheChosenRows) {
    sounding.pointNumber = 4;
    dialogs.expectInput("Enter number or chainage of VES point: ", "number or chainage of VES point: ", "8", "4");
    dialogs.expectInput("Enter number of profile:", "number of profile: ", "2", "P7");
    dialogs.expectInput(
        "Amount of omitted AB/2 (mesured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
        "amount of omitted AB/2: ", "10", "0");
    dialogs.expectInput("Enter number of the last point of VES curve 10=10.29, 15=37.8, 20=138, 23=301,1 : ",
                        "number of the last point of VES curve: ", "20", "20");
    ASSERT_TRUE(enterCurveByMouse(sounding, dialogs, host));
    dialogs.verifyDone();

    const PointTable& p = sounding.points;
    ASSERT_EQ(p.pointCount, 11);
    EXPECT_NEAR(p.ab2[0], 13.39, 0.01);
    EXPECT_NEAR(p.ab2[10], 179.17, 0.01);
    for (int s = 0; s < 11; ++s) {
        EXPECT_FLOAT_EQ(p.rhoA[s], p.ab2[s]);
        EXPECT_EQ(p.gridIndex[s], 10 + s);
        EXPECT_FLOAT_EQ(p.mn2[s], 0.2f);
    }
    EXPECT_FLOAT_EQ(sounding.composite(15), p.ab2[5]);
    EXPECT_TRUE(sounding.curveEditMode);
    EXPECT_TRUE(sounding.mouseDrawnCurve);
    EXPECT_EQ(sounding.gefPath, "by mouse pf 2 bod 8");
    ASSERT_FALSE(host.captions.empty());
    EXPECT_EQ(host.captions.front(), "ORMA-programme for VES interpretation - : by mouse pf 2 bod 8");
    EXPECT_EQ(host.captions.back(),
              "ORMA-manual input of VES curves:by mouse pf 2 bod 8: EDIT THE CURVE BY MOUSE THEN F4 ");
}

TEST_F(ManualInputTest, MouseInputRefusesARangeOffTheGridAndChangesNothing) {
    for (const auto& [first, last] : {std::pair{"12", "10"}, std::pair{"0", "99"}, std::pair{"-1", "5"}}) {
        dialogs.expectInput("Enter number or chainage of VES point: ", "number or chainage of VES point: ", "8");
        dialogs.expectInput("Enter number of profile:", "number of profile: ", "2");
        dialogs.expectInput(
            "Amount of omitted AB/2 (mesured from AB/2 1m=0,1.3m=1,1.68,2.18,2.82,3.66,4.74,6.15,7.97,10.29..): ",
            "amount of omitted AB/2: ", first);
        dialogs.expectInput("Enter number of the last point of VES curve 10=10.29, 15=37.8, 20=138, 23=301,1 : ",
                            "number of the last point of VES curve: ", last);
        dialogs.allowAnyMessages();
        EXPECT_FALSE(enterCurveByMouse(sounding, dialogs, host)) << first << ".." << last;
    }
    dialogs.verifyDone();
    EXPECT_EQ(dialogs.messages().size(), 3u);
    EXPECT_EQ(sounding.pointNumber, 0);
    EXPECT_EQ(sounding.profileNumber, 1);
    EXPECT_EQ(sounding.points.pointCount, 0);
    EXPECT_FALSE(sounding.mouseDrawnCurve);
}

}  // namespace
}  // namespace orma
