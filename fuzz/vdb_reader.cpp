// The .vdb reader on any bytes: a refused file leaves the database exactly as
// it was; an accepted one stays within every limit, writes and reads back to
// the same bytes, and each of its points loads into a sounding whose tables
// stay sane.

#include "FuzzSupport.h"
#include "core/PointProcessing.h"
#include "core/VesDatabase.h"
#include "io/VdbFile.h"

using namespace orma;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto db = std::make_unique<VesDatabase>();
    db->localities[0].name = "held";
    const std::string before = formatVdb(*db, "n");
    const VdbReadResult result = parseVdb(fuzz::bytesOf(data, size), *db);
    if (!result.ok) {
        FUZZ_CHECK(result.line >= 1 && !result.reason.empty());
        FUZZ_CHECK(formatVdb(*db, "n") == before);
        return 0;
    }
    FUZZ_CHECK(db->localities.size() <= static_cast<std::size_t>(kMaxLocalities));
    const std::string written = formatVdb(*db, "n");
    auto again = std::make_unique<VesDatabase>();
    FUZZ_CHECK(parseVdb(written, *again).ok);
    FUZZ_CHECK(formatVdb(*again, "n") == written);

    auto sounding = std::make_unique<Sounding>();
    int loaded = 0;
    for (const Locality& locality : db->localities) {
        FUZZ_CHECK(locality.profiles.size() <= static_cast<std::size_t>(kMaxProfiles));
        for (const Profile& profile : locality.profiles) {
            FUZZ_CHECK(profile.points.size() <= static_cast<std::size_t>(kMaxVesPoints));
            FUZZ_CHECK(std::isfinite(profile.xScale) && std::isfinite(profile.zScale));
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
