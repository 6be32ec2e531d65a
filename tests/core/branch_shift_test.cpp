// Branch shifting onto a reference branch, drift, and the curve-edit switch.
#include <gtest/gtest.h>

#include <cmath>

#include "core/BranchShift.h"
#include "core/PointProcessing.h"

namespace orma {
namespace {

struct Reading {
    int gridIndex;
    float rho;
    int branch;
    float mn2 = 1.0f;
    float s = 0.0f;
};

/// A processed sounding whose readings sit exactly on the given grid rows.
Sounding processed(std::initializer_list<Reading> readings) {
    Sounding sounding;
    int s = 0;
    for (const Reading& r : readings) {
        sounding.points.ab2[s] = static_cast<float>(abGridValue(r.gridIndex));
        sounding.points.rhoA[s] = r.rho;
        sounding.points.branch[s] = r.branch;
        sounding.points.mn2[s] = r.mn2;
        sounding.points.sValue[s] = r.s;
        ++s;
    }
    sounding.points.pointCount = s;
    std::vector<std::string> warnings;
    EXPECT_EQ(postProcessPoints(sounding, CurveSource::Gef, warnings), kSuccess);
    resetForNewCurve(sounding);
    return sounding;
}

float curveValue(int k) { return 100.0f * std::pow(1.1f, static_cast<float>(k)); }

/// Branch 1 on rows 3..12, branch 2 on rows 10..20 with the same shape, 1.5 times higher.
Sounding twoOverlappingBranches() {
    Sounding sounding;
    int s = 0;
    auto add = [&](int k, float rho, int branch, float mn2) {
        sounding.points.ab2[s] = static_cast<float>(abGridValue(k));
        sounding.points.rhoA[s] = rho;
        sounding.points.branch[s] = branch;
        sounding.points.mn2[s] = mn2;
        ++s;
    };
    for (int k = 3; k <= 12; ++k) add(k, curveValue(k), 1, 0.5f);
    for (int k = 10; k <= 20; ++k) add(k, 1.5f * curveValue(k), 2, 2.0f);
    sounding.points.pointCount = s;
    std::vector<std::string> warnings;
    EXPECT_EQ(postProcessPoints(sounding, CurveSource::Gef, warnings), kSuccess);
    return sounding;
}

TEST(ShiftBranches, SingleBranchIsCopiedUnchanged) {
    Sounding sounding = processed({{2, 50.0f, 1}, {3, 60.0f, 1}, {4, 70.0f, 1}});
    const auto messages = shiftBranches(sounding, 2);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(sounding.compositeBuilt);
    EXPECT_EQ(sounding.branches.branchCount, 1);
    for (int k = 2; k <= 4; ++k) {
        EXPECT_FLOAT_EQ(sounding.branches.shiftedRho[k][1], sounding.branches.branchRho[k][1]);
        EXPECT_NEAR(sounding.composite(k), 50.0f + 10.0f * (k - 2), 1e-3);
    }
    EXPECT_FLOAT_EQ(sounding.composite(1), kMissing);
}

TEST(ShiftBranches, RepeatedReadingsAreAveragedGeometrically) {
    Sounding sounding = processed({{5, 100.0f, 1, 1.0f, 3.0f}, {5, 400.0f, 1, 1.0f, 4.0f}, {6, 10.0f, 1}});
    shiftBranches(sounding, 2);
    EXPECT_NEAR(sounding.branches.branchRho[5][1], 200.0f, 1e-3);
    EXPECT_FLOAT_EQ(sounding.branches.sMean[5][1], 3.5f);
    EXPECT_FLOAT_EQ(sounding.branches.sMean[7][1], kNoSMean);
    EXPECT_FLOAT_EQ(sounding.branches.branchRho[7][1], 0.0f);
}

TEST(ShiftBranches, LowerBranchMovesOntoTheReference) {
    Sounding sounding = twoOverlappingBranches();
    EXPECT_TRUE(shiftBranches(sounding, 2).empty());
    const auto& tables = sounding.branches;
    for (int k = 3; k <= 12; ++k) EXPECT_NEAR(tables.shiftedRho[k][1] / curveValue(k), 1.5f, 1e-4) << k;
    for (int k = 10; k <= 20; ++k) EXPECT_NEAR(sounding.composite(k) / curveValue(k), 1.5f, 1e-4) << k;
    EXPECT_FLOAT_EQ(tables.branchMn2[1], 0.5f);
    EXPECT_FLOAT_EQ(tables.branchMn2[2], 2.0f);
    EXPECT_FLOAT_EQ(tables.branchMn2[3], kMissing);

    // Reference 1 keeps branch 1 and lowers branch 2 instead.
    shiftBranches(sounding, 1);
    for (int k = 10; k <= 20; ++k) EXPECT_NEAR(sounding.composite(k) / curveValue(k), 1.0f, 1e-4) << k;
}

TEST(ShiftBranches, EveryShiftStartsAgainFromTheMeasuredData) {
    Sounding once = twoOverlappingBranches();
    shiftBranches(once, 2);
    Sounding twice = twoOverlappingBranches();
    shiftBranches(twice, 1);
    shiftBranches(twice, 2);
    for (int k = 0; k < kGridPoints; ++k) {
        for (int j = 0; j < kBranchColumns; ++j) {
            EXPECT_FLOAT_EQ(once.branches.shiftedRho[k][j], twice.branches.shiftedRho[k][j]);
        }
    }
}

TEST(ShiftBranches, ReferenceAboveTheHighestBranchKeepsTheHighestBranch) {
    Sounding sounding = twoOverlappingBranches();
    shiftBranches(sounding, 4);
    for (int k = 10; k <= 20; ++k) EXPECT_NEAR(sounding.composite(k) / curveValue(k), 1.5f, 1e-4);
}

TEST(ShiftBranches, PairWithoutOverlapIsReportedOnceAndNotShifted) {
    Sounding sounding = processed({{2, 10.0f, 1}, {3, 10.0f, 1}, {6, 40.0f, 2}, {7, 40.0f, 2},
                                   {7, 80.0f, 3}, {8, 80.0f, 3}});
    const auto messages = shiftBranches(sounding, 2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Between branch 1 and 2 no overlay!, shift was proceeded with  dRz = 0 !!!");
    EXPECT_NEAR(sounding.composite(2), 10.0f, 1e-4);  // branch 1 keeps its level
    EXPECT_NEAR(sounding.composite(8), 40.0f, 1e-3);  // branch 3 lowered onto branch 2
    EXPECT_NEAR(sounding.composite(7), 40.0f, 1e-3);
}

TEST(ShiftBranches, PointsOutsideTheRangeTakeNoPart) {
    Sounding sounding;
    sounding.points.ab2[0] = 100.0f;
    sounding.points.ab2[1] = 150.0f;  // snaps to row 20, beyond maxGridIndex 19
    sounding.points.rhoA[0] = 10.0f;
    sounding.points.rhoA[1] = 20.0f;
    sounding.points.branch[0] = sounding.points.branch[1] = 1;
    sounding.points.pointCount = 2;
    std::vector<std::string> warnings;
    ASSERT_EQ(postProcessPoints(sounding, CurveSource::Gef, warnings), kSuccess);
    shiftBranches(sounding, 2);
    EXPECT_FLOAT_EQ(sounding.composite(20), kMissing);
    EXPECT_GT(sounding.composite(17), 0.0f);
}

TEST(ShiftBranches, WithoutAveragingTheCompositeTakesTheHighestBranch) {
    Sounding sounding = twoOverlappingBranches();
    sounding.averageOverlaps = false;
    shiftBranches(sounding, 1);
    EXPECT_NEAR(sounding.composite(11), sounding.branches.shiftedRho[11][2], 1e-4);
    EXPECT_NEAR(sounding.composite(5), sounding.branches.shiftedRho[5][1], 1e-4);
}

TEST(DriftComposite, FiveStepsUpAndDownReturnToTheStart) {
    Sounding sounding = twoOverlappingBranches();
    EXPECT_FALSE(driftComposite(sounding, +1));  // no composite yet
    shiftBranches(sounding, 2);
    const float before = sounding.composite(12);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(driftComposite(sounding, +1));
    EXPECT_NEAR(sounding.composite(12) / before, 1.0116f, 1e-4);
    EXPECT_FLOAT_EQ(sounding.composite(2), kMissing);  // gaps stay gaps
    for (int i = 0; i < 5; ++i) driftComposite(sounding, -1);
    EXPECT_NEAR(sounding.composite(12), before, before * 1e-5);
    EXPECT_FLOAT_EQ(sounding.branches.branchRho[12][1], curveValue(12));  // measured untouched
}

/// Branch 1 on rows 3..8, branch 2 on rows 6..12; over the common rows 6..8
/// the two disagree by the ratios 2, 2.5 and 1.6 (geometric mean 2).
Sounding noisyOverlap() {
    return processed({{3, 100, 1}, {4, 110, 1}, {5, 120, 1}, {6, 130, 1}, {7, 140, 1}, {8, 150, 1},
                      {6, 260, 2}, {7, 350, 2}, {8, 240, 2}, {9, 200, 2}, {10, 180, 2}, {11, 170, 2},
                      {12, 160, 2}});
}

TEST(ShiftBranches, OverlappingValuesThatDisagreeAreAveragedGeometrically) {
    Sounding sounding = noisyOverlap();
    shiftBranches(sounding, 2);
    // Offset log10(0.5): branch 1 is doubled to 260, 280, 300 over rows 6..8,
    // then each common row takes the geometric mean of both branches there.
    const float expected[13] = {0, 0, 0, 200, 220, 240, 260, 313.04952f, 268.32816f, 200, 180, 170, 160};
    for (int k = 3; k <= 12; ++k) EXPECT_NEAR(sounding.composite(k), expected[k], 2e-5f * expected[k]) << "row " << k;
    for (int k = 6; k <= 8; ++k) {
        EXPECT_NEAR(sounding.branches.shiftedRho[k][1], expected[k], 2e-5f * expected[k]) << "row " << k;
        EXPECT_NEAR(sounding.branches.shiftedRho[k][2], expected[k], 2e-5f * expected[k]) << "row " << k;
    }

    // Without averaging the branches keep their own shifted values.
    Sounding apart = noisyOverlap();
    apart.averageOverlaps = false;
    shiftBranches(apart, 2);
    EXPECT_NEAR(apart.branches.shiftedRho[7][1], 280.0f, 280.0f * 2e-5f);
    EXPECT_NEAR(apart.branches.shiftedRho[7][2], 350.0f, 350.0f * 2e-5f);
}

TEST(DriftComposite, MovesEveryShiftedBranchColumnAndTheComposite) {
    Sounding sounding = processed({{2, 10, 1}, {3, 12, 1}, {4, 14, 1}, {3, 30, 2}, {4, 33, 2}, {5, 36, 2},
                                   {5, 70, 3}, {6, 80, 3}, {7, 90, 3}});
    shiftBranches(sounding, 2);
    const GridTable before = sounding.branches.shiftedRho;
    const GridTable measured = sounding.branches.branchRho;
    sounding.driftStep = 0.05f;
    ASSERT_TRUE(driftComposite(sounding, -1));
    const float factor = std::pow(10.0f, -0.05f);
    int moved = 0;
    for (int k = 0; k < kGridPoints; ++k) {
        for (int j = 0; j < kBranchColumns; ++j) {
            const float old = before[k][j];
            if (old > 0.0f) {
                EXPECT_NEAR(sounding.branches.shiftedRho[k][j], old * factor, 1e-5f * old) << k << "/" << j;
                ++moved;
            } else {
                EXPECT_EQ(sounding.branches.shiftedRho[k][j], old) << k << "/" << j;
            }
        }
    }
    EXPECT_EQ(moved, 6 + 9) << "six composite rows and nine branch values";
    EXPECT_EQ(sounding.branches.branchRho, measured);
}

TEST(ToggleCurveEdit, NeedsACompositeThenTogglesAndCommitsADrawnCurve) {
    Sounding sounding = twoOverlappingBranches();
    EXPECT_EQ(toggleCurveEdit(sounding), CurveEditToggle::NeedsComposite);
    shiftBranches(sounding, 2);
    EXPECT_EQ(toggleCurveEdit(sounding), CurveEditToggle::Started);
    EXPECT_EQ(toggleCurveEdit(sounding), CurveEditToggle::Ended);
    const float rho0 = sounding.points.rhoA[0];

    sounding.mouseDrawnCurve = true;
    toggleCurveEdit(sounding);
    EXPECT_EQ(toggleCurveEdit(sounding), CurveEditToggle::EndedAndCommitted);
    EXPECT_FALSE(sounding.mouseDrawnCurve);
    EXPECT_FLOAT_EQ(sounding.branches.shiftedRho[3][1], sounding.composite(3));
    EXPECT_FLOAT_EQ(sounding.points.rhoA[0], sounding.composite(3));
    EXPECT_NE(sounding.points.rhoA[0], rho0);
}

TEST(ShiftBranches, WithoutACurveNothingChanges) {
    Sounding sounding;
    EXPECT_TRUE(shiftBranches(sounding, 2).empty());
    EXPECT_FALSE(sounding.compositeBuilt) << "no composite to draw a model on or to write";
    EXPECT_FALSE(driftComposite(sounding, 1));
}

TEST(ShiftBranches, ValuesBeyondTheFloatRangeTakeNoPartAndAreNamed) {
    // Branch 2 lies a thousand times above branch 1 at their common row, so
    // branch 1's huge reading would be shifted beyond the largest float.
    Sounding sounding = processed({{3, 3e37f, 1}, {4, 1.0f, 1}, {4, 1000.0f, 2}, {5, 1000.0f, 2}});
    const std::vector<std::string> messages = shiftBranches(sounding, 2);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Shifted values beyond the range of the numbers take no part in the curve: branch 1 at "
                           "AB/2 = 2.18 m.");
    EXPECT_FALSE(sounding.hasComposite(3));
    for (int k = 4; k <= 5; ++k) EXPECT_NEAR(sounding.composite(k), 1000.0f, 0.01f);
}

TEST(DriftComposite, AStepBeyondTheFloatRangeMovesNothing) {
    Sounding sounding = processed({{3, 3e38f, 1}, {4, 100.0f, 1}});
    shiftBranches(sounding, 1);
    const float before = sounding.composite(4);
    sounding.driftStep = 0.5f;
    EXPECT_FALSE(driftComposite(sounding, 1));
    EXPECT_FLOAT_EQ(sounding.composite(4), before);
    EXPECT_TRUE(driftComposite(sounding, -1));
    EXPECT_NEAR(sounding.composite(4), before / std::sqrt(10.0f), 0.01f);
}

}  // namespace
}  // namespace orma
