// Random, mutated and truncated .vdb files: the reader either refuses them,
// leaving the database as it was, or takes them into a database within every
// limit that writes and reads back to the same bytes.

#include <gtest/gtest.h>

#include <random>

#include "io/VdbFile.h"
#include "support/VesDatabaseBuilders.h"

namespace orma {
namespace {

std::string mutate(const std::string& valid, std::mt19937& random) {
    static const std::string alphabet = "0123456789.-+eE _\r\n\tnainfx:\x9A\xE1\xFF";
    std::string out = valid;
    const auto any = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
    switch (std::uniform_int_distribution<int>(0, 3)(random)) {
        case 0:
            out.resize(any(valid.size() + 1));
            break;
        case 1: {  // a line dropped or doubled
            std::size_t start = out.find("\r\n", any(out.size()));
            if (start == std::string::npos) break;
            const std::size_t end = out.find("\r\n", start + 2);
            const std::string line = out.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (random() % 2) out.erase(start, line.size());
            else out.insert(start, line);
            break;
        }
        case 2: {  // a number grown beyond reason
            const std::size_t at = out.find_first_of("0123456789", any(out.size()));
            if (at != std::string::npos) out.insert(at, std::string(1 + any(12), '9'));
            break;
        }
        default:
            for (int i = std::uniform_int_distribution<int>(1, 6)(random); i > 0; --i) {
                out[any(out.size())] = alphabet[any(alphabet.size())];
            }
    }
    return out;
}

void expectWithinLimits(const VesDatabase& db) {
    ASSERT_LE(db.localities.size(), static_cast<std::size_t>(kMaxLocalities));
    for (const Locality& locality : db.localities) {
        ASSERT_LE(locality.profiles.size(), static_cast<std::size_t>(kMaxProfiles));
        for (const Profile& profile : locality.profiles) {
            ASSERT_LE(profile.points.size(), static_cast<std::size_t>(kMaxVesPoints));
            ASSERT_TRUE(std::isfinite(profile.xScale) && std::isfinite(profile.zScale));
            for (const VesPoint& p : profile.points) {
                ASSERT_LE(p.name.size(), 2 * kNameFieldLength);
                ASSERT_LE(p.comment.size(), 2 * kCommentFieldLength);
                ASSERT_GE(p.Mermx, 0);
                ASSERT_LE(p.Mermx, kMaxPointSamples);
                ASSERT_GE(p.MDLmx, 0);
                ASSERT_LT(p.MDLmx, kMaxPointLayers);
                ASSERT_GE(p.MNmx, 0);
                ASSERT_LE(p.MNmx, kMaxBranches);
                ASSERT_GE(p.nABmn, 0);
                ASSERT_LT(p.ABmx, kGridPoints);
                ASSERT_TRUE(std::isfinite(p.z) && std::isfinite(p.profileChainage));
            }
        }
    }
}

TEST(VdbFuzz, DamagedFilesAreRefusedOrReadIntoADatabaseThatRoundTrips) {
    const std::string valid = formatVdb(test::makeDatabase(2, 2, 2, 5, 3), "fuzz.vdb");
    std::mt19937 random(20240612);
    int accepted = 0;
    for (int round = 0; round < 2500; ++round) {
        const std::string damaged = mutate(valid, random);
        VesDatabase db = test::makeDatabase(1, 1, 1);
        const std::string before = formatVdb(db, "n");
        const VdbReadResult result = parseVdb(damaged, db);
        if (!result.ok) {
            ASSERT_GE(result.line, 1) << "round " << round;
            ASSERT_FALSE(result.message.empty());
            ASSERT_EQ(formatVdb(db, "n"), before)
                << "round " << round << " changed the database: " << result.message;
            continue;
        }
        ++accepted;
        expectWithinLimits(db);
        const std::string written = formatVdb(db, "n");
        VesDatabase again;
        ASSERT_TRUE(parseVdb(written, again).ok) << "round " << round;
        ASSERT_EQ(formatVdb(again, "n"), written) << "round " << round;
    }
    EXPECT_GT(accepted, 100) << "the mutations should leave many files readable";
}

TEST(VdbFuzz, EveryTruncationOfAFileIsRefusedExceptAtARecordEnd) {
    const std::string valid = formatVdb(test::makeDatabase(1, 2, 1, 2, 2), "t.vdb");
    int readable = 0;
    for (std::size_t length = 0; length <= valid.size(); ++length) {
        VesDatabase db;
        if (parseVdb(std::string_view(valid).substr(0, length), db).ok) ++readable;
    }
    // The whole file, the file cut anywhere inside its last line (a shorter
    // number still scans), and the file without its last scale lines.
    EXPECT_GE(readable, 2);
    EXPECT_LT(readable, 40);
}

TEST(VdbFuzz, RandomBytesNeverCrashTheReader) {
    std::mt19937 random(99);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(std::uniform_int_distribution<std::size_t>(0, 600)(random), '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 7 == 0 ? '\n' : random() % 256);
        if (round % 2) bytes = "x\r\nmxindex_lokalit: 0\r\n" + bytes;
        VesDatabase db;
        const VdbReadResult result = parseVdb(bytes, db);
        if (result.ok) expectWithinLimits(db);
    }
}

}  // namespace
}  // namespace orma
