// The depth ranges of a point's interfaces in the .vdb file: two more numbers
// on an interface's model line, written only where a range is known, read
// back exactly, skipped by readers of two numbers per line, refused when
// damaged; and kept only as long as the model they belong to.

#include <gtest/gtest.h>

#include <sstream>

#include "core/LateralInversionProfile.h"
#include "core/VesDatabase.h"
#include "io/VdbFile.h"
#include "support/VdbTextLines.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

using test::joinLines;
using test::linesOf;

/// Model lines of the made-up database's first point: 21.. (see vdb_file_test).
constexpr int kFirstModelLine = 21;

VesDatabase databaseWithRanges() {
    VesDatabase db = test::makeDatabase(1, 1, 2, 3, 4);
    VesPoint& p = db.localities[0].profiles[0].points[0];
    p.depth[1] = -3.0f;  // a held depth keeps its range
    p.depthRange[0] = {1.2f, 1.75f};
    p.depthRange[1] = {3.0f, 3.0f};
    return db;
}

TEST(VdbDepthRanges, OnlyInterfacesWithARangeCarryTwoMoreNumbers) {
    const std::vector<std::string> lines = linesOf(formatVdb(databaseWithRanges(), "r.vdb"));
    EXPECT_EQ(lines[kFirstModelLine - 2], " Rmodelu  Dmodeluminusjefix") << "the header stays as it was";
    EXPECT_EQ(lines[kFirstModelLine - 1], "  10.000000 1.500000 1.200000 1.750000");
    EXPECT_EQ(lines[kFirstModelLine], "  20.000000 -3.000000 3.000000 3.000000");
    EXPECT_EQ(lines[kFirstModelLine + 1], "  30.000000 4.500000") << "no range known";
    EXPECT_EQ(lines[kFirstModelLine + 2], "  40.000000 999999995904.000000") << "the half-space has none";
}

TEST(VdbDepthRanges, RangesReadBackExactlyAndTheFileWritesBackByteForByte) {
    const VesDatabase db = databaseWithRanges();
    const std::string bytes = formatVdb(db, "r.vdb");
    VesDatabase read;
    const VdbReadResult result = parseVdb(bytes, read);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.message;
    EXPECT_EQ(read.localities[0].profiles[0].points[0], db.localities[0].profiles[0].points[0]);
    EXPECT_FALSE(read.localities[0].profiles[0].points[1].hasDepthRanges());
    EXPECT_EQ(formatVdb(read, "r.vdb"), bytes);
}

TEST(VdbDepthRanges, AReaderOfTwoNumbersPerLineSeesTheSameModel) {
    // What such a reader (scanf " %f %f", as older versions read) takes from
    // each model line is exactly the model of the file without ranges.
    VesDatabase without = databaseWithRanges();
    for (VesPoint& p : without.localities[0].profiles[0].points) p.depthRange.fill(DepthRange{});
    const std::vector<std::string> with = linesOf(formatVdb(databaseWithRanges(), "r.vdb"));
    const std::vector<std::string> plain = linesOf(formatVdb(without, "r.vdb"));
    ASSERT_EQ(with.size(), plain.size());
    for (std::size_t i = 0; i < with.size(); ++i) {
        if (with[i] == plain[i]) continue;
        std::istringstream a(with[i]), b(plain[i]);
        double ra = 0, da = 0, rb = 0, db = 0;
        a >> ra >> da;
        b >> rb >> db;
        EXPECT_EQ(ra, rb) << with[i];
        EXPECT_EQ(da, db) << with[i];
    }
}

TEST(VdbDepthRanges, DamagedRangesAreRefusedNamingTheLine) {
    const std::vector<std::string> good = linesOf(formatVdb(databaseWithRanges(), "r.vdb"));
    struct Damage {
        const char* what;
        std::string line;
        const char* reason;
    };
    const Damage damages[] = {
        {"three numbers", "  10.000000 1.500000 1.200000", "may add the least and the greatest depth"},
        {"five numbers", "  10.000000 1.500000 1.2 1.7 9", "may add the least and the greatest depth"},
        {"a word", "  10.000000 1.500000 deep 2", "may add the least and the greatest depth"},
        {"out of order", "  10.000000 1.500000 1.75 1.2", "the depth range of interface 1 is 1.75 to 1.2"},
        {"at the surface", "  10.000000 1.500000 0 1.2", "the depth range of interface 1 is 0 to 1.2"},
        {"not finite", "  10.000000 1.500000 1.2 inf", "the greatest depth of interface 1 is inf"},
    };
    for (const Damage& damage : damages) {
        std::vector<std::string> lines = good;
        lines[kFirstModelLine - 1] = damage.line;
        VesDatabase db = test::makeDatabase(1, 1, 1);
        const VesDatabase before = db;
        const VdbReadResult result = parseVdb(joinLines(lines), db);
        EXPECT_FALSE(result.ok) << damage.what;
        EXPECT_EQ(result.line, kFirstModelLine) << damage.what;
        EXPECT_NE(result.message.find(damage.reason), std::string::npos)
            << damage.what << ": " << result.message;
        EXPECT_EQ(db.localities[0].profiles[0].points, before.localities[0].profiles[0].points) << damage.what;
    }
    // The half-space's line carries nothing more: what follows is skipped, as always.
    std::vector<std::string> lines = good;
    lines[kFirstModelLine + 2] += " 5 6";
    VesDatabase db;
    EXPECT_TRUE(parseVdb(joinLines(lines), db).ok);
    EXPECT_FALSE(db.localities[0].profiles[0].points[0].depthRange[3].known());
}

TEST(VdbDepthRanges, ASaveRefusesARangeTheReaderWouldRefuse) {
    VesDatabase db = databaseWithRanges();
    db.localities[0].profiles[0].points[1].depthRange[2] = {5.0f, 4.0f};
    const Outcome writable = checkVdbWritable(db);
    EXPECT_FALSE(writable);
    EXPECT_NE(writable.cause.find("VES point 2 of profile P0.0"), std::string::npos) << writable.cause;
    EXPECT_NE(writable.cause.find("the depth range of interface 3 is 5 to 4"), std::string::npos) << writable.cause;
}

TEST(VdbDepthRanges, RangesStayWithTheirModelOnly) {
    VesDatabase db = databaseWithRanges();
    VesPoint& p = db.localities[0].profiles[0].points[0];
    auto sounding = std::make_unique<Sounding>();
    loadPointIntoSounding(p, *sounding);
    // A value held or freed: the same model, the ranges stay.
    sounding->model.resistivityFixed[0] = 1;
    storeSoundingInPoint(*sounding, p);
    EXPECT_EQ(p.depthRange[0], (DepthRange{1.2f, 1.75f}));
    EXPECT_EQ(p.resistivity[0], -10.0f);
    // Another depth: they belong to another model.
    sounding->model.depth[0] = 1.6f;
    storeSoundingInPoint(*sounding, p);
    EXPECT_FALSE(p.hasDepthRanges());
}

TEST(VdbDepthRanges, AJointFitDropsTheRangesOfTheModelsItChanges) {
    VesDatabase db = databaseWithRanges();
    Profile& profile = db.localities[0].profiles[0];
    ProfileInversion problem = profileInversion(profile, {});
    problem.soundings[0].sounding->model.resistivity[0] = 11.0f;  // as if the joint fit moved it
    applyProfileInversion(problem, profile);
    EXPECT_FALSE(profile.points[0].hasDepthRanges());
}

}  // namespace
}  // namespace orma
