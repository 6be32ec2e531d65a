#include <gtest/gtest.h>

#include "SoundingFiles.h"
#include "io/DirectoryListing.h"
#include "io/QuickImport.h"

namespace orma {
namespace {

using test::gefText;
using test::ScratchDir;
using test::writeBytes;

std::string goodGef(const std::string& date) {
    return gefText(date + " x", {{150, 1.3, 0.5, 1}, {120, 2.18, 0.5, 1}, {80, 3.66, 0.5, 1}, {60, 6.1, 0.5, 1},
                                 {70, 6.1, 2, 2}, {90, 10.3, 2, 2}, {140, 17.2, 2, 2}});
}

TEST(QuickImport, BrokenFileAndTakenChainageAreSkippedTheOthersImported) {
    ScratchDir dir("quick_import");
    writeBytes(dir.file("VES10.GEF"), goodGef("02.05.2024"));
    writeBytes(dir.file("VES2.GEF"), goodGef("01.05.2024"));
    writeBytes(dir.file("VES5.GEF"), "not an instrument file\r\n");
    writeBytes(dir.file("VES40.GEF"), goodGef("03.05.2024"));
    Profile profile;
    profile.name = "P7";
    VesPoint held;
    held.name = "old";
    held.profileChainage = 40.0f;
    profile.points.push_back(held);

    const auto files = listDirectoryFiles(dir.file(""), ListedFiles::Gef);
    int calls = 0;
    const QuickImportReport report = quickImportFiles(profile, files, [&](int, int total) {
        EXPECT_EQ(total, 4);
        ++calls;
        return true;
    });
    EXPECT_EQ(calls, 5);  // before each file and once at the end
    EXPECT_EQ(report.imported, 2);
    ASSERT_EQ(report.skipped.size(), 2u);
    EXPECT_EQ(report.skipped[0].rfind("VES5.GEF: ", 0), 0u);
    EXPECT_EQ(report.skipped[1], "VES40.GEF: the chainage 40 m is already taken in the profile");
    ASSERT_EQ(profile.points.size(), 3u);
    const VesPoint& two = profile.points[1];
    EXPECT_EQ(two.name, "VES2");
    EXPECT_EQ(two.date, "01.05.2024");
    EXPECT_EQ(two.profileChainage, 2.0f);
    EXPECT_EQ(two.terrainChainage, 2.0f);
    EXPECT_EQ(two.Mermx, 7);
    EXPECT_EQ(two.MDLmx, 0);  // no model
    EXPECT_GT(two.ABmx, two.nABmn);
    EXPECT_GT(two.composite[two.nABmn], 0.0f);
    EXPECT_EQ(profile.points[2].name, "VES10");
    const std::string summary = report.summary("P7");
    EXPECT_EQ(summary, "Quick import into profile P7: 2 of 4 GEF files imported as new VES points.\n"
                       "2 files were skipped:");
}

TEST(QuickImport, CancelKeepsWhatWasImportedAndAFullProfileTakesNoMore) {
    ScratchDir dir("quick_import_cancel");
    for (int n = 1; n <= 4; ++n) writeBytes(dir.file("VES" + std::to_string(n) + ".GEF"), goodGef("d"));
    const auto files = listDirectoryFiles(dir.file(""), ListedFiles::Gef);
    Profile profile;
    const QuickImportReport cancelled = quickImportFiles(profile, files, [](int done, int) { return done < 2; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.imported, 2);
    EXPECT_EQ(profile.points.size(), 2u);
    EXPECT_NE(cancelled.summary("P").find("cancelled"), std::string::npos);

    Profile full;
    full.points.resize(kMaxVesPoints);
    for (int k = 0; k < kMaxVesPoints; ++k) full.points[k].profileChainage = 1000.0f + k;
    const QuickImportReport refused = quickImportFiles(full, files);
    EXPECT_EQ(refused.imported, 0);
    EXPECT_EQ(refused.skipped.size(), 4u);
    EXPECT_EQ(full.points.size(), static_cast<std::size_t>(kMaxVesPoints));
}

}  // namespace
}  // namespace orma
