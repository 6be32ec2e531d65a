// The profile database operations: limits of localities and profiles, the
// deletion of points, and the traffic of a point with the interpretation
// window's sounding.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "core/VesDatabase.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

TEST(VesDatabase, FreshDatabaseHasOneEmptyProfileAtTheInitialScales) {
    const VesDatabase db;
    EXPECT_EQ(db.mxindex_lokalit(), 0);
    EXPECT_EQ(db.localities[0].mxindex_profilu(), 0);
    EXPECT_EQ(db.localities[0].profiles[0].mxindex_bodu(), -1);
    EXPECT_FLOAT_EQ(db.localities[0].profiles[0].xScale, 1e-5f);
    EXPECT_FLOAT_EQ(db.localities[0].profiles[0].zScale, 5e-5f);
    EXPECT_EQ(db.currentPoint, -1);
    EXPECT_EQ(db.selectedPoint(), nullptr);
    EXPECT_TRUE(db.fileName.empty());
    EXPECT_TRUE(db.saveBaseName.empty());
}

TEST(VesDatabase, LocalitiesUpToFiveTheSixthRefused) {
    VesDatabase db;
    db.localities[0].profiles[0].points.push_back(test::makePoint(0));
    db.currentPoint = 0;
    for (int i = 1; i < 5; ++i) {
        const Outcome outcome = addLocality(db);
        EXPECT_TRUE(outcome.ok);
        EXPECT_TRUE(outcome.message.empty());
        EXPECT_EQ(db.currentLocality, i);
        EXPECT_EQ(db.currentProfile, 0);
        EXPECT_EQ(db.currentPoint, -1);
        ASSERT_EQ(db.localities[i].profiles.size(), 1u);
        EXPECT_TRUE(db.localities[i].profiles[0].points.empty());
        EXPECT_FLOAT_EQ(db.localities[i].profiles[0].xScale, 1e-5f);
        EXPECT_FLOAT_EQ(db.localities[i].profiles[0].zScale, 5e-5f);
    }
    db.currentLocality = 2;
    const Outcome sixth = addLocality(db);
    EXPECT_FALSE(sixth.ok);
    EXPECT_EQ(sixth.message, "Too much localities in db - create new database");
    EXPECT_EQ(db.localities.size(), 5u);
    EXPECT_EQ(db.currentLocality, 2);
}

TEST(VesDatabase, ProfilesUpToTwentyTheTwentyFirstRefused) {
    VesDatabase db;
    for (int i = 1; i < 20; ++i) {
        ASSERT_TRUE(addProfile(db).ok);
        EXPECT_EQ(db.currentProfile, i);
        EXPECT_FLOAT_EQ(db.localities[0].profiles[i].xScale, 1e-4f);
        EXPECT_FLOAT_EQ(db.localities[0].profiles[i].zScale, 5e-4f);
    }
    const Outcome refused = addProfile(db);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "Too much profiles in locality - create new profile or database");
    EXPECT_EQ(db.localities[0].profiles.size(), 20u);
    EXPECT_EQ(db.currentProfile, 19);
}

TEST(VesDatabase, DeletingPointThreeOfTenMovesTheLaterPointsDown) {
    VesDatabase db = test::makeDatabase(1, 1, 10);
    const std::vector<VesPoint> before = db.localities[0].profiles[0].points;
    db.currentPoint = 3;
    ASSERT_TRUE(deleteSelectedPoint(db).ok);
    const std::vector<VesPoint>& after = db.localities[0].profiles[0].points;
    ASSERT_EQ(after.size(), 9u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(after[k].name, before[k].name);
    for (int k = 3; k < 9; ++k) {
        EXPECT_EQ(after[k].name, before[k + 1].name);
        EXPECT_EQ(after[k].composite, before[k + 1].composite);
        EXPECT_EQ(after[k].resistivity, before[k + 1].resistivity);
        EXPECT_EQ(after[k].profileChainage, before[k + 1].profileChainage);
    }
    EXPECT_EQ(db.currentPoint, 3);

    db.currentPoint = 8;  // the last one: its predecessor becomes current
    ASSERT_TRUE(deleteSelectedPoint(db).ok);
    EXPECT_EQ(db.currentPoint, 7);
    EXPECT_EQ(db.selectedPoint()->name, before[8].name);
}

TEST(VesDatabase, TheLastPointAndANonSelectionAreNeverDeleted) {
    VesDatabase db = test::makeDatabase(1, 1, 1);
    db.currentPoint = 0;
    const Outcome last = deleteSelectedPoint(db);
    EXPECT_FALSE(last.ok);
    EXPECT_EQ(last.message, "Last point is undeletable.");
    EXPECT_EQ(db.activePointCount(), 1);

    VesDatabase two = test::makeDatabase(1, 1, 2);
    two.currentPoint = -1;
    EXPECT_FALSE(deleteSelectedPoint(two).ok);
    EXPECT_EQ(two.activePointCount(), 2);
}

TEST(VesDatabase, EveryChangeCountsARevisionARefusalOrAChoiceNone) {
    VesDatabase db = test::makeDatabase(1, 1, 3);
    std::uint64_t revision = db.revision();
    const auto changed = [&] {
        const bool counted = db.revision() != revision;
        revision = db.revision();
        return counted;
    };
    ASSERT_TRUE(addLocality(db).ok);
    EXPECT_TRUE(changed());
    ASSERT_TRUE(addProfile(db).ok);
    EXPECT_TRUE(changed());
    db.currentLocality = 0;
    db.currentProfile = 0;
    db.currentPoint = 1;
    EXPECT_FALSE(changed()) << "a choice is no change";
    ASSERT_TRUE(deleteSelectedPoint(db).ok);
    EXPECT_TRUE(changed());
    db.currentPoint = -1;
    EXPECT_FALSE(deleteSelectedPoint(db).ok);
    EXPECT_FALSE(changed());
    for (int n = 0; n < kMaxLocalities; ++n) (void)addLocality(db);
    changed();
    EXPECT_FALSE(addLocality(db).ok);
    EXPECT_FALSE(changed()) << "a refused locality changes nothing";
    // A copy carries its revision along, so a window that keeps one sees the same state.
    const VesDatabase copy = db;
    EXPECT_EQ(copy.revision(), db.revision());
}

TEST(VesDatabase, SelectionAfterOpeningKeepsValidIndicesOnly) {
    VesDatabase db = test::makeDatabase(2, 3, 4);
    settleSelectionAfterOpen(db, 1, 2);
    EXPECT_EQ(db.currentLocality, 1);
    EXPECT_EQ(db.currentProfile, 2);
    EXPECT_EQ(db.currentPoint, 0);
    settleSelectionAfterOpen(db, 4, 2);  // the opened file has fewer localities
    EXPECT_EQ(db.currentLocality, 0);
    EXPECT_EQ(db.currentProfile, 2);
    settleSelectionAfterOpen(db, 0, 7);
    EXPECT_EQ(db.currentProfile, 0);
    db.localities[0].profiles[0].points.clear();
    settleSelectionAfterOpen(db, 0, 0);
    EXPECT_EQ(db.currentPoint, -1);
}

TEST(VesDatabase, LoadingAPointFillsModelFlagsSamplesAndComposite) {
    VesPoint point = test::makePoint(4, 12, 3);
    point.resistivity[1] = -120.0f;  // held resistivity
    point.depth[0] = -1.5f;          // held depth
    auto sounding = std::make_unique<Sounding>();
    // Leftovers of the previous curve, which must not show through.
    sounding->branches.shiftedRho[40][0] = 77.0f;
    sounding->branches.shiftedRho[1][4] = 12.0f;
    sounding->model.resistivityFixed[2] = 1;

    EXPECT_TRUE(loadPointIntoSounding(point, *sounding).empty());
    const LayerModel& model = sounding->model;
    EXPECT_EQ(model.interfaceCount, 2);
    EXPECT_FLOAT_EQ(model.resistivity[1], 120.0f);
    EXPECT_EQ(model.resistivityFixed[1], 1);
    EXPECT_EQ(model.resistivityFixed[0], 0);
    EXPECT_EQ(model.resistivityFixed[2], 0);
    EXPECT_FLOAT_EQ(model.depth[0], 1.5f);
    EXPECT_EQ(model.depthFixed[0], 1);
    EXPECT_EQ(model.depthFixed[1], 0);

    EXPECT_EQ(sounding->points.pointCount, 12);
    for (int s = 0; s < 12; ++s) {
        EXPECT_EQ(sounding->points.ab2[s], point.ab2[s]);
        EXPECT_EQ(sounding->points.mn2[s], point.mn2[s]);
        EXPECT_EQ(sounding->points.rhoA[s], point.rhoA[s]);
        EXPECT_EQ(sounding->points.branch[s], point.branch[s]);
    }
    for (int k = point.nABmn; k <= point.ABmx; ++k) {
        for (int j = 0; j <= point.MNmx; ++j) EXPECT_EQ(sounding->branches.shiftedRho[k][j], point.composite[k]);
        EXPECT_EQ(sounding->branches.shiftedRho[k][point.MNmx + 1], kMissing);
    }
    EXPECT_EQ(sounding->branches.shiftedRho[40][0], kMissing);
    EXPECT_EQ(sounding->branches.shiftedRho[1][4], kMissing);
    EXPECT_EQ(sounding->minGridIndex, point.nABmn);
    EXPECT_EQ(sounding->maxGridIndex, point.ABmx);
    EXPECT_EQ(sounding->branches.branchCount, 3);
    EXPECT_FLOAT_EQ(static_cast<float>(sounding->ssq), point.ssq);
    EXPECT_TRUE(sounding->curveLoaded);
    EXPECT_TRUE(sounding->compositeBuilt);
    EXPECT_EQ(sounding->gefPath, "VES 104");
}

TEST(VesDatabase, APointOfMoreThan99ReadingsLoadsThe99AndNamesTheRest) {
    VesPoint point = test::makePoint(1, 101, 2);
    auto sounding = std::make_unique<Sounding>();
    const std::vector<std::string> messages = loadPointIntoSounding(point, *sounding);
    EXPECT_EQ(sounding->points.pointCount, 99);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("VES 101"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("readings 100 to 101"), std::string::npos) << messages[0];
}

TEST(VesDatabase, CompositeValuesNoCurveCanHaveBecomeNamedGaps) {
    VesPoint point = test::makePoint(2, 12, 3);
    point.composite[4] = -11.0f;
    point.composite[6] = std::numeric_limits<float>::infinity();
    point.composite[7] = kMissing;  // a gap of the curve: no message
    auto sounding = std::make_unique<Sounding>();
    const std::vector<std::string> messages = loadPointIntoSounding(point, *sounding);
    EXPECT_EQ(sounding->branches.shiftedRho[4][0], kMissing);
    EXPECT_EQ(sounding->branches.shiftedRho[6][2], kMissing);
    EXPECT_EQ(sounding->branches.shiftedRho[7][0], kMissing);
    EXPECT_EQ(sounding->branches.shiftedRho[5][0], point.composite[5]);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("VES 102"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("AB/2 = 2.8"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("4.74"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[0].find("6.14"), std::string::npos) << "the gap at row 7 is not named";
}

TEST(VesDatabase, StoringAndLoadingASoundingKeepsModelFlagsAndGaps) {
    auto sounding = std::make_unique<Sounding>();
    sounding->minGridIndex = 3;
    sounding->maxGridIndex = 9;
    for (int k = 0; k < 3; ++k) sounding->branches.shiftedRho[k][0] = kMissing;
    for (int k = 3; k <= 9; ++k) sounding->branches.shiftedRho[k][0] = 20.0f + static_cast<float>(k);
    sounding->branches.branchCount = 2;
    sounding->points.pointCount = 7;
    for (int s = 0; s < 7; ++s) {
        sounding->points.ab2[s] = static_cast<float>(abGridValue(s + 3));
        sounding->points.rhoA[s] = 21.0f + static_cast<float>(s);
        sounding->points.mn2[s] = 1.0f;
        sounding->points.branch[s] = 1 + s / 4;
    }
    LayerModel& model = sounding->model;
    model.interfaceCount = 2;
    model.resistivity = {50.0f, 120.0f, 900.0f};
    model.depth = {2.0f, 8.0f, kHalfSpaceDepth};
    model.resistivityFixed[1] = 1;
    model.depthFixed[1] = 1;
    sounding->ssq = 0.25;

    VesPoint point;
    storeSoundingInPoint(*sounding, point);
    EXPECT_EQ(point.resistivity[1], -120.0f);
    EXPECT_EQ(point.depth[1], -8.0f);
    EXPECT_EQ(point.depth[2], kHalfSpaceDepth);
    EXPECT_EQ(point.composite[0], kMissing);  // gaps below the curve are stored as they are
    EXPECT_EQ(point.composite[9], 29.0f);
    EXPECT_EQ(point.Mermx, 7);
    EXPECT_EQ(point.ABmx, 9);
    EXPECT_EQ(point.nABmn, 3);
    EXPECT_EQ(point.MNmx, 2);
    EXPECT_EQ(point.MDLmx, 2);
    EXPECT_FLOAT_EQ(point.ssq, 0.25f);

    auto reloaded = std::make_unique<Sounding>();
    loadPointIntoSounding(point, *reloaded);
    EXPECT_EQ(reloaded->model.resistivity, model.resistivity);
    EXPECT_EQ(reloaded->model.depth[1], 8.0f);
    EXPECT_EQ(reloaded->model.resistivityFixed[1], 1);
    EXPECT_EQ(reloaded->model.depthFixed[1], 1);
    EXPECT_EQ(reloaded->model.depthFixed[0], 0);
    for (int k = 3; k <= 9; ++k) EXPECT_EQ(reloaded->composite(k), sounding->composite(k));
}

}  // namespace
}  // namespace orma
