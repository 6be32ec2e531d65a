#include <gtest/gtest.h>

#include "core/TerrainDrape.h"

namespace orma {
namespace {

VesPoint pointAt(const char* name, float terrainChainage, float profileChainage, float z = 0.0f) {
    VesPoint p;
    p.name = name;
    p.terrainChainage = terrainChainage;
    p.profileChainage = profileChainage;
    p.z = z;
    return p;
}

TEST(TerrainDrape, SlopeOfFiftyMetresAlongThirtyAcross) {
    Profile profile;
    profile.points = {pointAt("A", 0, 0), pointAt("B", 50, 50), pointAt("C", 25, 25)};
    const DrapeOutcome out = drapeProfileOnTerrain(profile, {{0, 100}, {30, 140}});
    ASSERT_TRUE(out.done) << out.message;
    EXPECT_FLOAT_EQ(profile.points[0].z, 100.0f);
    EXPECT_FLOAT_EQ(profile.points[0].profileChainage, 0.0f);
    EXPECT_FLOAT_EQ(profile.points[1].profileChainage, 30.0f);
    EXPECT_FLOAT_EQ(profile.points[1].z, 140.0f);
    // Half-way along the slope: half-way across and up.
    EXPECT_FLOAT_EQ(profile.points[2].profileChainage, 15.0f);
    EXPECT_FLOAT_EQ(profile.points[2].z, 120.0f);
}

TEST(TerrainDrape, FlatTerrainAnchorBeyondLastVertexAndMissingTerrainChainages) {
    // Flat: chainages on the profile equal those along the terrain, all at
    // the terrain's elevation; a point beyond the last vertex keeps its values.
    Profile flat;
    flat.points = {pointAt("A", 10, 0), pointAt("B", 40, 0), pointAt("C", 500, 77, 9)};
    ASSERT_TRUE(drapeProfileOnTerrain(flat, {{-20, 250}, {0, 250}, {100, 250}}).done);
    // Lengths count from the anchor's chainage on the profile (0 m).
    EXPECT_FLOAT_EQ(flat.points[0].profileChainage, 10.0f);
    EXPECT_FLOAT_EQ(flat.points[1].profileChainage, 40.0f);
    EXPECT_FLOAT_EQ(flat.points[1].z, 250.0f);
    EXPECT_FLOAT_EQ(flat.points[2].profileChainage, 77.0f);
    EXPECT_FLOAT_EQ(flat.points[2].z, 9.0f);

    // No chainage along the terrain entered: the chainages on the profile stand in.
    Profile unset;
    unset.points = {pointAt("A", 0, 10), pointAt("B", 0, 20)};
    ASSERT_TRUE(drapeProfileOnTerrain(unset, {{0, 5}, {100, 5}}).done);
    EXPECT_FLOAT_EQ(unset.points[0].terrainChainage, 10.0f);
    EXPECT_FLOAT_EQ(unset.points[1].terrainChainage, 20.0f);
    EXPECT_FLOAT_EQ(unset.points[1].profileChainage, 20.0f);
    EXPECT_FLOAT_EQ(unset.points[1].z, 5.0f);
}

TEST(TerrainDrape, RefusalsLeaveEveryPointAsItWas) {
    Profile profile;
    profile.points = {pointAt("A", 5, 5, 1), pointAt("B", 60, 60, 2)};
    const std::vector<VesPoint> before = profile.points;
    const auto unchanged = [&] {
        for (std::size_t k = 0; k < before.size(); ++k) {
            EXPECT_EQ(profile.points[k].z, before[k].z);
            EXPECT_EQ(profile.points[k].profileChainage, before[k].profileChainage);
            EXPECT_EQ(profile.points[k].terrainChainage, before[k].terrainChainage);
        }
    };
    // Anchor before the first vertex.
    DrapeOutcome out = drapeProfileOnTerrain(profile, {{10, 0}, {100, 0}});
    EXPECT_FALSE(out.done);
    EXPECT_NE(out.message.find("before the first terrain vertex"), std::string::npos) << out.message;
    unchanged();
    // Vertices not in increasing X.
    out = drapeProfileOnTerrain(profile, {{0, 0}, {50, 0}, {40, 0}});
    EXPECT_FALSE(out.done);
    EXPECT_NE(out.message.find("increasing X"), std::string::npos) << out.message;
    unchanged();
    // A point before the first vertex once the lengths are measured (the
    // terrain rises steeply behind the anchor, which pushes the first vertex
    // beyond point A's chainage along the terrain).
    Profile back;
    back.points = {pointAt("A", 5, 20), pointAt("B", 6, 20)};
    out = drapeProfileOnTerrain(back, {{19, 0}, {20, 0}});
    EXPECT_FALSE(out.done);
    EXPECT_EQ(back.points[0].profileChainage, 20.0f);
    // A vertex beyond the positions the dialog takes.
    out = drapeProfileOnTerrain(profile, {{0, 0}, {2e7f, 0}});
    EXPECT_FALSE(out.done);
    unchanged();
    // Too many vertices; no points at all.
    out = drapeProfileOnTerrain(profile, std::vector<TerrainVertex>(201));
    EXPECT_FALSE(out.done);
    unchanged();
    Profile empty;
    empty.name = "P9";
    out = drapeProfileOnTerrain(empty, {{0, 0}, {1, 0}});
    EXPECT_FALSE(out.done);
    EXPECT_NE(out.message.find("P9"), std::string::npos);
}

TEST(TerrainDrape, ASlopeTooSteepToTellPointsApartMovesNoPoint) {
    // A cliff of 100 m within 0.1 mm: points 10 and 20 m apart along the
    // terrain would land on the chainage of the anchor.
    Profile profile;
    profile.points = {pointAt("A", 1000, 1000, 7), pointAt("B", 1010, 1010, 8), pointAt("C", 1020, 1020, 9)};
    const std::vector<VesPoint> before = profile.points;
    const DrapeOutcome out = drapeProfileOnTerrain(profile, {{1000, 0}, {1000.0001f, 100}, {1200, 100}});
    EXPECT_FALSE(out.done);
    EXPECT_EQ(out.message,
              "The VES points A and B (1000 and 1010 m along the terrain) would both lie at chainage 1000 m on the "
              "profile: the terrain is too steep there to tell them apart, and two points of a profile never share "
              "a chainage. The VES points are unchanged.");
    for (std::size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(profile.points[k].profileChainage, before[k].profileChainage);
        EXPECT_EQ(profile.points[k].z, before[k].z);
    }
    // The same points on a slope the floats can follow are placed.
    EXPECT_TRUE(drapeProfileOnTerrain(profile, {{1000, 0}, {1001, 100}, {1200, 100}}).done);
}

}  // namespace
}  // namespace orma
