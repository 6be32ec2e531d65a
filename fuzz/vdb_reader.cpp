// The .vdb reader on any bytes: a refused file names a line and leaves the
// database exactly as it was; an accepted one stays within every limit and
// every value rule, and whatever reads also writes (or the save names the
// letter Windows-1250 cannot hold) and reads back to the very same database
// and the same bytes. Each of its points loads into a sounding whose tables
// stay sane.

#include <cstring>

#include "FuzzSupport.h"
#include "core/ModelLimits.h"
#include "core/PointProcessing.h"
#include "core/VesDatabase.h"
#include "io/VdbFile.h"

using namespace orma;

namespace {

template <typename T, std::size_t N>
bool sameBits(const std::array<T, N>& a, const std::array<T, N>& b) {
    return std::memcmp(a.data(), b.data(), sizeof(T) * N) == 0;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool samePoint(const VesPoint& a, const VesPoint& b) {
    return a.name == b.name && a.date == b.date && a.operatorName == b.operatorName && a.comment == b.comment &&
           sameBits(a.terrainChainage, b.terrainChainage) && sameBits(a.x, b.x) && sameBits(a.y, b.y) &&
           sameBits(a.z, b.z) && sameBits(a.profileChainage, b.profileChainage) && sameBits(a.ssq, b.ssq) &&
           a.ABmx == b.ABmx && a.nABmn == b.nABmn && a.MNmx == b.MNmx && a.MDLmx == b.MDLmx && a.Mermx == b.Mermx &&
           sameBits(a.ab2, b.ab2) && sameBits(a.mn2, b.mn2) && sameBits(a.rhoA, b.rhoA) && a.branch == b.branch &&
           sameBits(a.composite, b.composite) && sameBits(a.resistivity, b.resistivity) && sameBits(a.depth, b.depth) &&
           a.depthRange == b.depthRange;
}

bool sameDatabase(const VesDatabase& a, const VesDatabase& b) {
    if (a.localities.size() != b.localities.size()) return false;
    for (std::size_t l = 0; l < a.localities.size(); ++l) {
        const Locality& p = a.localities[l];
        const Locality& q = b.localities[l];
        if (p.name != q.name || p.country != q.country || p.region != q.region || p.profiles.size() != q.profiles.size()) {
            return false;
        }
        for (std::size_t f = 0; f < p.profiles.size(); ++f) {
            const Profile& x = p.profiles[f];
            const Profile& y = q.profiles[f];
            if (x.name != y.name || !sameBits(x.xScale, y.xScale) || !sameBits(x.zScale, y.zScale) ||
                x.points.size() != y.points.size()) {
                return false;
            }
            for (std::size_t k = 0; k < x.points.size(); ++k) {
                if (!samePoint(x.points[k], y.points[k])) return false;
            }
        }
    }
    return true;
}

/// What the reader lets through: finite numbers, models within the limits,
/// branches 0..5, scales above 0.
void checkValues(const VesPoint& point) {
    FUZZ_CHECK(std::isfinite(point.ssq) && std::isfinite(point.x) && std::isfinite(point.y));
    for (int s = 0; s < point.Mermx; ++s) {
        FUZZ_CHECK(std::isfinite(point.ab2[s]) && std::isfinite(point.mn2[s]) && std::isfinite(point.rhoA[s]));
        FUZZ_CHECK(point.branch[s] >= 0 && point.branch[s] <= kMaxBranches);
    }
    for (float value : point.composite) FUZZ_CHECK(std::isfinite(value));
    for (int i = 0; i <= point.MDLmx; ++i) {
        FUZZ_CHECK(std::isfinite(point.resistivity[i]) && std::isfinite(point.depth[i]));
        if (point.MDLmx == 0) continue;
        FUZZ_CHECK(std::fabs(point.resistivity[i]) >= static_cast<float>(kMinModelResistivity));
        FUZZ_CHECK(std::fabs(point.resistivity[i]) <= static_cast<float>(kMaxModelResistivity));
        if (i < point.MDLmx) FUZZ_CHECK(point.depth[i] != 0.0f && std::fabs(point.depth[i]) <= kMaxModelDepth);
    }
    // A depth range only on an interface, and a sane one.
    for (int i = 0; i < kMaxPointLayers; ++i) {
        const DepthRange& range = point.depthRange[static_cast<std::size_t>(i)];
        if (i >= point.MDLmx) {
            FUZZ_CHECK(range == DepthRange{});
            continue;
        }
        if (range == DepthRange{}) continue;
        FUZZ_CHECK(range.min > 0.0f && range.min <= range.max && range.max <= static_cast<float>(kMaxModelDepth));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto db = std::make_unique<VesDatabase>();
    db->localities[0].name = "held";
    const std::string before = formatVdb(*db, "n");
    const VdbReadResult result = parseVdb(fuzz::bytesOf(data, size), *db);
    if (!result.ok) {
        FUZZ_CHECK(result.line >= 1 && !result.message.empty());
        FUZZ_CHECK(formatVdb(*db, "n") == before);
        return 0;
    }
    FUZZ_CHECK(db->localities.size() <= static_cast<std::size_t>(kMaxLocalities));
    for (const Locality& locality : db->localities) {
        FUZZ_CHECK(locality.profiles.size() <= static_cast<std::size_t>(kMaxProfiles));
        for (const Profile& profile : locality.profiles) {
            FUZZ_CHECK(profile.points.size() <= static_cast<std::size_t>(kMaxVesPoints));
            FUZZ_CHECK(std::isfinite(profile.xScale) && profile.xScale > 0.0f);
            FUZZ_CHECK(std::isfinite(profile.zScale) && profile.zScale > 0.0f);
            for (const VesPoint& point : profile.points) checkValues(point);
        }
    }

    // Every value the reader takes, the writer writes; only a letter beyond
    // the code page (from a UTF-8 file) can stop a save.
    const Outcome writable = checkVdbWritable(*db);
    if (!writable) FUZZ_CHECK(writable.cause.find("holds the letter") != std::string::npos);
    const std::string written = formatVdb(*db, "n");
    auto again = std::make_unique<VesDatabase>();
    FUZZ_CHECK(parseVdb(written, *again).ok);
    FUZZ_CHECK(formatVdb(*again, "n") == written);
    if (writable) FUZZ_CHECK(sameDatabase(*db, *again));

    auto sounding = std::make_unique<Sounding>();
    int loaded = 0;
    for (const Locality& locality : db->localities) {
        for (const Profile& profile : locality.profiles) {
            for (const VesPoint& point : profile.points) {
                if (++loaded > 8) return 0;  // enough to see the loading work
                loadPointIntoSounding(point, *sounding);
                std::vector<std::string> messages;
                if (postProcessPoints(*sounding, CurveSource::Gef, messages) == kSuccess) fuzz::checkSane(*sounding);
            }
        }
    }
    return 0;
}
