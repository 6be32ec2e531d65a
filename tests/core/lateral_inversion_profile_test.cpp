// A profile of the database fitted jointly: its points become soundings with
// their stored curves and held values, and the joint models go back into the
// points they came from, touching nothing else.
#include <gtest/gtest.h>

#include <cmath>

#include "core/LateralInversionProfile.h"
#include "tests/support/SyntheticProfiles.h"
#include "tests/support/VesDatabaseBuilders.h"

namespace orma {
namespace {

/// The scenario's soundings fitted one by one, stored as points of a profile.
Profile fittedProfile(int points) {
    test::ProfileScenario sc;
    sc.points = points;
    sc.gridPoints = 26;
    std::vector<LciSounding> soundings = test::scenarioSoundings(sc);
    test::fitIndependently(soundings, 3);
    Profile profile;
    profile.name = "P1";
    for (int i = 0; i < points; ++i) {
        VesPoint point = test::makePoint(i, 12, 3);
        storeSoundingInPoint(*soundings[i].sounding, point);
        point.Mermx = 12;  // the made-up readings stay
        point.profileChainage = static_cast<float>(soundings[i].chainage);
        profile.points.push_back(point);
    }
    return profile;
}

TEST(LateralInversionProfile, CommonLayerCountIsTheMostFrequentModel) {
    Profile profile;
    for (const int interfaces : {3, 3, 2, 0, 2, 3}) {
        VesPoint point;
        point.MDLmx = interfaces;
        profile.points.push_back(point);
    }
    EXPECT_EQ(commonLayerCount(profile), 4);
    profile.points[0].MDLmx = 2;
    profile.points[1].MDLmx = 5;
    EXPECT_EQ(commonLayerCount(profile), 3);
    profile.points[2].MDLmx = 5;  // 3 and 6 layers equally common: the fewer
    profile.points[4].MDLmx = 0;
    profile.points[5].MDLmx = 2;
    EXPECT_EQ(commonLayerCount(profile), 3);
    for (VesPoint& point : profile.points) point.MDLmx = 0;
    EXPECT_EQ(commonLayerCount(profile), 0);
}

TEST(LateralInversionProfile, JointModelsGoBackIntoTheirPointsWithHeldValues) {
    Profile profile = fittedProfile(6);
    // Point 1 holds its second resistivity and first depth (negative numbers).
    profile.points[1].resistivity[1] = -profile.points[1].resistivity[1];
    profile.points[1].depth[0] = -profile.points[1].depth[0];
    // Point 3 has a two-layer model: named and left as it is.
    VesPoint& other = profile.points[3];
    other.MDLmx = 1;
    other.resistivity[1] = 250.0f;
    other.depth[1] = kHalfSpaceDepth;
    // Point 5 was never interpreted: no curve.
    profile.points[5].ABmx = profile.points[5].nABmn;
    const Profile before = profile;

    ProfileInversion problem = profileInversion(profile, {});
    ASSERT_EQ(problem.soundings.size(), 6u);
    EXPECT_EQ(problem.soundings[2].name, before.points[2].name);
    EXPECT_EQ(problem.soundings[2].chainage, before.points[2].profileChainage);
    EXPECT_EQ(problem.soundings[5].sounding, nullptr);
    EXPECT_EQ(problem.soundings[1].sounding->model.resistivityFixed[1], 1);
    EXPECT_EQ(problem.soundings[1].sounding->model.depthFixed[0], 1);

    LateralInversionSummary summary;
    ASSERT_TRUE(runLateralInversion(problem.soundings, 3, {}, summary).ok);
    ASSERT_EQ(summary.leftOut.size(), 2u);
    EXPECT_NE(summary.leftOut[0].find(before.points[3].name), std::string::npos);
    EXPECT_NE(summary.leftOut[1].find(before.points[5].name), std::string::npos);
    applyProfileInversion(problem, profile);

    for (int i : {3, 5}) {
        EXPECT_EQ(profile.points[i].resistivity, before.points[i].resistivity);
        EXPECT_EQ(profile.points[i].depth, before.points[i].depth);
        EXPECT_EQ(profile.points[i].ssq, before.points[i].ssq);
    }
    EXPECT_EQ(profile.points[1].resistivity[1], before.points[1].resistivity[1]);
    EXPECT_EQ(profile.points[1].depth[0], before.points[1].depth[0]);
    EXPECT_GT(profile.points[1].resistivity[0], 0.0f);
    EXPECT_GT(profile.points[1].depth[1], 0.0f);
    for (int i : {0, 1, 2, 4}) {
        const VesPoint& point = profile.points[i];
        EXPECT_EQ(point.MDLmx, 2);
        EXPECT_EQ(point.ssq, static_cast<float>(summary.ssq[i]));
        EXPECT_EQ(point.depth[2], kHalfSpaceDepth);
        // The rest of the point is as it was.
        EXPECT_EQ(point.name, before.points[i].name);
        EXPECT_EQ(point.composite, before.points[i].composite);
        EXPECT_EQ(point.rhoA, before.points[i].rhoA);
        EXPECT_EQ(point.Mermx, before.points[i].Mermx);
        EXPECT_EQ(point.ABmx, before.points[i].ABmx);
    }
    EXPECT_NE(profile.points[0].depth[1], before.points[0].depth[1]);
}

TEST(LateralInversionProfile, MeasuredSpacingsComeFromTheStoredReadings) {
    Profile profile = fittedProfile(2);
    VesPoint& point = profile.points[0];
    // Reading 0 at 1.3 m snaps to grid row 1 (1.296 m), branch 1.
    point.ab2[0] = 1.3f;
    point.branch[0] = 1;
    point.nABmn = 0;

    const ProfileInversion grid = profileInversion(profile, {});
    ComputationOptions measured;
    measured.measuredSpacings = true;
    const ProfileInversion atReadings = profileInversion(profile, measured);
    EXPECT_EQ(grid.soundings[0].sounding->branches.measuredAb2[1][1], kMissing);
    EXPECT_EQ(atReadings.soundings[0].sounding->branches.measuredAb2[1][1], 1.3f);
}

TEST(LateralInversionProfile, CompositeValuesThatCannotTakePartAreNamed) {
    Profile profile = fittedProfile(2);
    profile.points[1].composite[4] = -5.0f;
    const ProfileInversion problem = profileInversion(profile, {});
    ASSERT_EQ(problem.messages.size(), 1u);
    EXPECT_NE(problem.messages[0].find(profile.points[1].name), std::string::npos);
    EXPECT_FALSE(problem.soundings[1].sounding->hasComposite(4));
}

}  // namespace
}  // namespace orma
