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

}  // namespace
}  // namespace orma
