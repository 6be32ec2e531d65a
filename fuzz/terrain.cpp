// The terrain list on any bytes, draped over a small profile: at most 200
// vertices are taken, and the points either keep their values or get finite
// ones, never two of them on one chainage.

#include <cmath>

#include "FuzzSupport.h"
#include "core/TerrainDrape.h"
#include "io/TerrainFile.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TerrainFileContents terrain = readTerrainText(fuzz::bytesOf(data, size));
    FUZZ_CHECK(static_cast<int>(terrain.vertices.size()) <= kMaxTerrainVertices);
    FUZZ_CHECK(terrain.vertices.empty() || terrain.vertexProblem.empty());
    Profile profile;
    for (float chainage : {0.0f, 35.0f, 120.0f}) {
        VesPoint p;
        p.terrainChainage = p.profileChainage = chainage;
        p.z = 7.0f;
        profile.points.push_back(p);
    }
    const Profile before = profile;
    const DrapeOutcome outcome = drapeProfileOnTerrain(profile, terrain.vertices);
    for (std::size_t k = 0; k < profile.points.size(); ++k) {
        const VesPoint& p = profile.points[k];
        if (!outcome.done) {
            FUZZ_CHECK(p.z == before.points[k].z && p.profileChainage == before.points[k].profileChainage);
        } else {
            FUZZ_CHECK(std::isfinite(p.z) && std::isfinite(p.profileChainage));
            for (std::size_t j = 0; j < k; ++j) FUZZ_CHECK(profile.points[j].profileChainage != p.profileChainage);
        }
    }
    return 0;
}
