// The database an unattended interpretation makes: profiles of 200 points in
// chainage order, twenty to a locality, and only a full database leaves
// fitted soundings out (named).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "io/ProfileInterpretation.h"

namespace orma {
namespace {

InterpretedSounding fitted(int chainage, const std::string& prefix = "VES") {
    InterpretedSounding r;
    r.fileName = prefix + std::to_string(chainage) + ".GEF";
    r.path = "/profile/" + r.fileName;
    r.interpreted = true;
    r.chainage = chainage;
    r.point.name = prefix + std::to_string(chainage);
    r.point.profileChainage = static_cast<float>(chainage);
    r.point.nABmn = 0;
    r.point.ABmx = 25;
    r.point.MDLmx = 1;
    r.point.resistivity[0] = 100.0f;
    r.point.resistivity[1] = 20.0f;
    r.point.depth[0] = 5.0f;
    return r;
}

TEST(ProfileDatabase, SoundingsBeyondAProfileGoToTheNextOneInChainageOrder) {
    std::vector<InterpretedSounding> results;
    for (int i = 449; i >= 0; --i) results.push_back(fitted(10 * i));  // listed in reverse
    results.push_back(fitted(100, "A"));                               // a second sounding at 100 m
    InterpretedSounding broken;
    broken.fileName = "VES9999.GEF";
    broken.reason = "The GEF file cannot be read from line 5 on";
    results.push_back(broken);

    const VesDatabase db = profileDatabase(results, "Lhota");
    ASSERT_EQ(db.localities.size(), 1u);
    EXPECT_EQ(db.localities[0].name, "Lhota");
    const std::vector<Profile>& profiles = db.localities[0].profiles;
    ASSERT_EQ(profiles.size(), 3u);
    const char* names[] = {"Lhota", "Lhota-2", "Lhota-3"};
    const std::size_t sizes[] = {200, 200, 50};
    float last = -1.0f;
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(profiles[k].name, names[k]);
        ASSERT_EQ(profiles[k].points.size(), sizes[k]);
        for (const VesPoint& p : profiles[k].points) {
            EXPECT_GT(p.profileChainage, last);
            last = p.profileChainage;
        }
        EXPECT_TRUE(std::isfinite(profiles[k].xScale) && profiles[k].xScale > 0.0f);
        EXPECT_TRUE(std::isfinite(profiles[k].zScale) && profiles[k].zScale > 0.0f);
    }
    EXPECT_EQ(profiles[0].points[10].name, "A100") << "ties go by file name";

    const auto notStored = std::count_if(results.begin(), results.end(),
                                         [](const InterpretedSounding& r) { return !r.notStored.empty(); });
    EXPECT_EQ(notStored, 1);
    const std::string summary = interpretationSummaryCsv(results, 2);
    EXPECT_EQ(std::count(summary.begin(), summary.end(), '\n'), 1 + 451 + 2) << "every fitted sounding, then two notes";
    EXPECT_NE(summary.find("\r\nVES4490.GEF,4490,2,100,20,5,"), std::string::npos);
    EXPECT_NE(summary.find("\r\n# skipped,VES9999.GEF,The GEF file cannot be read from line 5 on\r\n"),
              std::string::npos);
    EXPECT_NE(summary.find("\r\n# not in the database,VES100.GEF,chainage 100 m is taken by A100.GEF\r\n"),
              std::string::npos);
}

TEST(ProfileDatabase, OnlyAFullDatabaseLeavesFittedSoundingsOut) {
    constexpr int kCapacity = kMaxLocalities * kMaxProfiles * kMaxVesPoints;
    std::vector<InterpretedSounding> results;
    results.reserve(kCapacity + 2);
    for (int i = 0; i < kCapacity + 2; ++i) results.push_back(fitted(i));

    const VesDatabase db = profileDatabase(results, std::string(250, 'x'));
    ASSERT_EQ(db.localities.size(), static_cast<std::size_t>(kMaxLocalities));
    for (const Locality& locality : db.localities) {
        ASSERT_EQ(locality.profiles.size(), static_cast<std::size_t>(kMaxProfiles));
        for (const Profile& profile : locality.profiles)
            EXPECT_EQ(profile.points.size(), static_cast<std::size_t>(kMaxVesPoints));
    }
    // Names are cut to their field with room for the number.
    EXPECT_EQ(db.localities[0].profiles[0].name, std::string(kNameFieldLength, 'x'));
    EXPECT_EQ(db.localities[1].name, std::string(kNameFieldLength - 2, 'x') + "-2");
    EXPECT_EQ(db.localities[1].profiles[0].name, std::string(kNameFieldLength - 3, 'x') + "-21");
    EXPECT_EQ(db.localities[4].profiles[19].name, std::string(kNameFieldLength - 4, 'x') + "-100");
    EXPECT_EQ(db.localities[4].profiles[19].points.back().profileChainage, static_cast<float>(kCapacity - 1));

    for (int i = 0; i < kCapacity + 2; ++i) {
        const std::string& why = results[static_cast<std::size_t>(i)].notStored;
        if (i < kCapacity) ASSERT_TRUE(why.empty()) << i;
        else EXPECT_EQ(why, "the database is full (5 localities of 20 profiles of 200 points)");
    }
}

}  // namespace
}  // namespace orma
