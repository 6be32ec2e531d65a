#pragma once
// Placing the VES points of a profile on a surveyed terrain line: the terrain
// is given as vertices of horizontal chainage X and elevation Z; each point's
// chainage measured along the terrain surface is walked along the polyline,
// which gives its horizontal chainage on the profile and its elevation.
//
// The walk is anchored at the point with the smallest chainage along the
// terrain: its chainage on the profile is where the along-terrain lengths are
// counted from. Points whose chainage along the terrain was never entered (all
// zero) use their chainage on the profile instead.
//
// All or nothing: a terrain the walk cannot follow (too many vertices,
// vertices not in increasing X, coordinates beyond 10000000 m, a point or
// the anchor before the first vertex, a profile without points, a slope so
// steep that two points would share one chainage on the profile) changes no
// point and says why.

#include <string>
#include <vector>

#include "core/VesDatabase.h"

namespace orma {

inline constexpr int kMaxTerrainVertices = 200;
/// Terrain coordinates beyond this (m) are refused.
inline constexpr float kMaxTerrainCoordinate = 10000000.0f;

struct TerrainVertex {
    float x = 0.0f;  ///< m, horizontal chainage on the profile
    float z = 0.0f;  ///< m, elevation
};

/// The outcome of draping: done, or the reason nothing changed.
struct DrapeOutcome {
    bool done = false;
    std::string message;
    /// Along-terrain chainage of every vertex (for tests and listings).
    std::vector<float> alongTerrain;
};

/// Sets the elevation and the chainage on the profile of every point of
/// `profile` from `vertices`; a point beyond the last vertex keeps both.
DrapeOutcome drapeProfileOnTerrain(Profile& profile, const std::vector<TerrainVertex>& vertices);

}  // namespace orma
