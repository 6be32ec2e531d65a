// The AB/2 grid, snapping and the reader post-processing.
#include <gtest/gtest.h>

#include <cmath>

#include "core/AbGrid.h"
#include "core/PointProcessing.h"

namespace orma {
namespace {

TEST(AbGrid, ExactValuesFollowTheLogarithmicStep) {
    EXPECT_DOUBLE_EQ(abGridValue(0), 1.0);
    EXPECT_NEAR(abGridValue(1), 1.2961742, 1e-6);
    EXPECT_NEAR(abGridValue(9), 10.326907, 1e-5);
    EXPECT_NEAR(abGridValue(18), 106.6, 0.05);
    EXPECT_NEAR(abGridValue(27), 1101.0, 0.5);
    for (int k = 0; k < kGridPoints; ++k) EXPECT_EQ(abGridIndex(abGridValue(k)), k) << k;
}

TEST(AbGrid, IndexFormulaTruncatesTowardZero) {
    EXPECT_EQ(abGridIndex(1.1), 0);
    EXPECT_EQ(abGridIndex(1.5), 1);
    EXPECT_EQ(abGridIndex(2000.0), 29);   // 29.4999
    EXPECT_EQ(abGridIndex(150.0), 19);
    EXPECT_EQ(abGridIndex(170.0), 19);
    EXPECT_EQ(abGridIndex(0.65), -1);     // below index 0 although the field table puts it there
    EXPECT_EQ(abGridIndex(0.5), -2);
    EXPECT_LT(abGridIndex(0.0), -1000);   // defined, far off the grid
    EXPECT_LT(abGridIndex(-3.0), -1000);
}

TEST(AbGrid, SnappingUsesTheFieldTableThenTheFormula) {
    EXPECT_EQ(snapAb2(1.0).index, 0);
    EXPECT_FLOAT_EQ(snapAb2(1.0).nominal, 1.0f);
    EXPECT_EQ(snapAb2(1.05).index, 0);
    EXPECT_EQ(snapAb2(1.3).index, 1);
    EXPECT_FLOAT_EQ(snapAb2(1.3).nominal, 1.3f);
    // Gaps and exact bounds fall to the formula with the exact value.
    EXPECT_EQ(snapAb2(1.5).index, 1);
    EXPECT_NEAR(snapAb2(1.5).nominal, 1.2962f, 1e-4);
    EXPECT_EQ(snapAb2(1.1).index, 0);
    EXPECT_FLOAT_EQ(snapAb2(1.1).nominal, 1.0f);
    EXPECT_EQ(snapAb2(10.0).index, 9);   // formula: trunc(9.076)
    EXPECT_EQ(snapAb2(10.3).index, 9);   // table
    EXPECT_FLOAT_EQ(snapAb2(10.3).nominal, 10.3f);
    EXPECT_EQ(snapAb2(150.0).index, 20);
    EXPECT_FLOAT_EQ(snapAb2(150.0).nominal, 179.2f);
    EXPECT_EQ(snapAb2(400.0).index, 23);
    EXPECT_NEAR(snapAb2(400.0).nominal, 390.17f, 0.01);
    EXPECT_EQ(snapAb2(2000.0).index, 29);
    EXPECT_NEAR(snapAb2(2000.0).nominal, abGridValue(29), 1e-3);
    EXPECT_FLOAT_EQ(snapAb2(106.0).nominal, 107.00001f);
}

TEST(AbGrid, SpacingsBetween830And1250GoToTheNearerOfGridPoints26And27) {
    const double midpoint = std::pow(10.0, 26.5 / 8.876);  // 967.34 m
    for (const double a : {830.5, 849.66, 900.0, midpoint - 0.01}) {
        EXPECT_EQ(snapAb2(a).index, 26) << a;
        EXPECT_NEAR(snapAb2(a).nominal, 849.66f, 0.01f) << a;
    }
    for (const double a : {midpoint + 0.01, 1000.0, 1101.313, 1249.9}) {
        EXPECT_EQ(snapAb2(a).index, 27) << a;
        EXPECT_FLOAT_EQ(snapAb2(a).nominal, static_cast<float>(std::pow(10.0, 27 / 8.876))) << a;
    }
    EXPECT_EQ(snapAb2(1300.0).index, 27) << "beyond the table, by the formula";
    // The nominal value of every grid point snaps back onto its own point, so
    // a written AB/2 reads back onto its row.
    for (int k = 0; k < kGridPoints; ++k) {
        const float nominal = snapAb2(abGridValue(k)).nominal;
        EXPECT_EQ(snapAb2(nominal).index, k) << k;
        EXPECT_EQ(abGridIndex(nominal), k) << "and the range formula agrees, row " << k;
    }
}

Sounding soundingWith(std::initializer_list<std::array<float, 3>> readings) {
    Sounding sounding;
    int s = 0;
    for (const auto& r : readings) {
        sounding.points.ab2[s] = r[0];
        sounding.points.rhoA[s] = r[1];
        sounding.points.branch[s] = static_cast<int>(r[2]);
        sounding.points.mn2[s] = 1.0f;
        ++s;
    }
    sounding.points.pointCount = s;
    return sounding;
}

TEST(PostProcessing, SetsRangeIndicesLogarithmsAndNominalValues) {
    Sounding sounding = soundingWith({{1.0f, 10.0f, 1}, {1.3f, 20.0f, 1}, {150.0f, 100.0f, 1}});
    std::vector<std::string> warnings;
    ASSERT_EQ(postProcessPoints(sounding, CurveSource::Gef, warnings), kSuccess);
    // The 150 m point itself snaps to 20, above the range: it stays, and is named.
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0], "Readings that snap to a grid point outside the curve's AB/2 range (grid points 0 to 19) "
                           "take no part in the curve: reading 3 (AB/2 = 150 m, MN/2 = 1 m, grid point 20).");
    EXPECT_EQ(sounding.minGridIndex, 0);
    EXPECT_EQ(sounding.maxGridIndex, 19);
    EXPECT_EQ(sounding.points.gridIndex[2], 20);
    EXPECT_FLOAT_EQ(sounding.grid.value[1], 1.3f);
    EXPECT_FLOAT_EQ(sounding.grid.value[20], 179.2f);
    EXPECT_DOUBLE_EQ(sounding.points.logRhoA[2], 2.0);
    EXPECT_EQ(sounding.source, CurveSource::Gef);
}

TEST(PostProcessing, SinglePointGivesOneRow) {
    Sounding sounding = soundingWith({{10.3f, 50.0f, 1}});
    std::vector<std::string> warnings;
    ASSERT_EQ(postProcessPoints(sounding, CurveSource::Rst, warnings), kSuccess);
    EXPECT_EQ(sounding.minGridIndex, sounding.maxGridIndex);
}

TEST(PostProcessing, FailsWithoutPositiveRangeAndKeepsThePoints) {
    std::vector<std::string> warnings;
    Sounding empty;
    EXPECT_EQ(postProcessPoints(empty, CurveSource::Gef, warnings), kFailed);

    Sounding noSpacing = soundingWith({{0.0f, 10.0f, 1}, {-10.0f, 20.0f, 1}});
    EXPECT_EQ(postProcessPoints(noSpacing, CurveSource::Gef, warnings), kFailed);
    EXPECT_EQ(noSpacing.points.pointCount, 2);
    EXPECT_EQ(noSpacing.source, CurveSource::None);

    // One reading without a spacing no longer costs the others.
    warnings.clear();
    Sounding withZero = soundingWith({{0.0f, 10.0f, 1}, {10.0f, 20.0f, 1}});
    EXPECT_EQ(postProcessPoints(withZero, CurveSource::Gef, warnings), kSuccess);
    EXPECT_EQ(withZero.points.pointCount, 1);
    EXPECT_EQ(warnings, std::vector<std::string>{"Readings with an AB/2 of zero or below were left out: "
                                                 "reading 1 (AB/2 = 0 m, MN/2 = 1 m)."});
}

TEST(PostProcessing, OffGridSpacingsAndBadResistivitiesAreDroppedWithAWarning) {
    Sounding sounding = soundingWith({{0.5f, 10.0f, 1}, {2.18f, 20.0f, 1}, {1e12f, 30.0f, 1},
                                      {4.74f, 0.0f, 1}, {6.15f, -3.0f, 1}, {7.97f, 40.0f, 1}});
    std::vector<std::string> warnings;
    ASSERT_EQ(postProcessPoints(sounding, CurveSource::Gef, warnings), kSuccess);
    EXPECT_EQ(sounding.points.pointCount, 2);
    EXPECT_EQ(warnings.size(), 2u);  // one for the spacings off the grid, one for the resistivities
    EXPECT_FLOAT_EQ(sounding.points.ab2[1], 7.97f);
    EXPECT_EQ(sounding.minGridIndex, 3);
    EXPECT_EQ(sounding.maxGridIndex, 8);
}

TEST(PostProcessing, SmallestSpacingJustAboveTableStartStaysOnTheGrid) {
    Sounding sounding = soundingWith({{0.7f, 10.0f, 1}, {2.18f, 20.0f, 1}});
    std::vector<std::string> warnings;
    ASSERT_EQ(postProcessPoints(sounding, CurveSource::Gef, warnings), kSuccess);
    EXPECT_EQ(sounding.points.gridIndex[0], 0);
    EXPECT_EQ(sounding.minGridIndex, 0);  // the formula alone would give -1
}

TEST(PostProcessing, BranchNumbersBeyondTheTablesAreMergedOrDropped) {
    Sounding sounding = soundingWith({{1.0f, 10.0f, 6}, {1.3f, 20.0f, 7}, {1.68f, 20.0f, -2}});
    std::vector<std::string> warnings;
    ASSERT_EQ(postProcessPoints(sounding, CurveSource::Rst, warnings), kSuccess);
    EXPECT_EQ(sounding.points.branch[0], 5);
    EXPECT_EQ(sounding.points.branch[1], 5);
    EXPECT_EQ(sounding.points.branch[2], 0);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_NE(warnings[0].find("reading 3 (AB/2 = 1.68 m, MN/2 = 1 m, branch -2)"), std::string::npos) << warnings[0];
    EXPECT_EQ(warnings[1], "Branch 6 has no column of its own: its readings were taken as branch 5, which was empty.");
    EXPECT_EQ(warnings[2], "Branch 7 has no column of its own: it has no grid point in common with branch 5, so its "
                           "readings were merged into branch 5 without levelling.");
}

TEST(PostProcessing, ResetForNewCurveDropsModelButKeepsThicknessFlags) {
    Sounding sounding;
    sounding.model.interfaceCount = 2;
    sounding.model.depthFixed[0] = 1;
    sounding.model.resistivityFixed[1] = 1;
    sounding.model.thicknessFixed[0] = 1;
    sounding.compositeBuilt = true;
    sounding.computedCurveShown = true;
    sounding.pointNumber = 77;
    resetForNewCurve(sounding);
    EXPECT_TRUE(sounding.curveLoaded);
    EXPECT_FALSE(sounding.compositeBuilt);
    EXPECT_FALSE(sounding.computedCurveShown);
    EXPECT_EQ(sounding.model.interfaceCount, 0);
    EXPECT_EQ(sounding.model.depthFixed[0], 0);
    EXPECT_EQ(sounding.model.resistivityFixed[1], 0);
    EXPECT_EQ(sounding.model.thicknessFixed[0], 1);
    EXPECT_EQ(sounding.pointNumber, 77);  // header survives
}

}  // namespace
}  // namespace orma
