#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "SoundingFiles.h"
#include "core/SectionFrame.h"
#include "io/UcmWriter.h"

namespace orma {
namespace {

using test::readBytes;
using test::ScratchDir;
using test::writeBytes;

VesPoint point(float chainage, float z, std::vector<float> rho, std::vector<float> depth) {
    VesPoint p;
    p.profileChainage = chainage;
    p.terrainChainage = chainage;
    p.z = z;
    p.MDLmx = static_cast<int>(rho.size()) - 1;
    for (std::size_t i = 0; i < rho.size(); ++i) p.resistivity[i] = rho[i];
    for (std::size_t i = 0; i < depth.size(); ++i) p.depth[i] = depth[i];
    return p;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 2;
    }
}

bool contains(const std::vector<std::string>& haystack, const std::string& line) {
    for (const std::string& l : haystack) {
        if (l == line) return true;
    }
    return false;
}

TEST(UcmScript, WorkedCoordinatesLabelsAndSubstratum) {
    Profile profile;
    profile.name = "P1";
    // A fixed resistivity and depth are written with their values.
    profile.points = {point(100, 250, {-120.7f, 40, 300}, {-2, 12, 1e12f}), point(200, 240, {55}, {1e12f})};
    const ExportFrame frame{100, 200, 200, 260};
    UcmParameters parameters;  // E = 5: X scale 0.2
    const UcmScripts s = formatUcmScripts("Lok", profile, frame, parameters, SectionLabelSwitches{});
    const std::vector<std::string> main = lines(s.main), second = lines(s.second);

    EXPECT_EQ(main.front(), ";  ucm soubor vysledku VES z lokality: Lok - profil P1");
    EXPECT_TRUE(second.front().empty());  // the companion file starts with a line break
    // Chainage 100 m at elevation 250 m: X 20000, Y 250000, width 12 and a point.
    EXPECT_TRUE(contains(second, "         SET XUR=       20000."));
    EXPECT_TRUE(contains(second, "         SET YUR=      250000."));
    EXPECT_TRUE(contains(second, "         KEY 120"));  // |-120.7| cut to an integer
    EXPECT_TRUE(contains(second, "         KEY 100"));  // the point's label
    // Interface cross at 250 - 2 m, sign width 2.25 m either side (x 0.2).
    EXPECT_TRUE(contains(second, "         SET XUR=       19550."));
    EXPECT_TRUE(contains(second, "         SET YUR=      248000."));
    // The point without an interface: its one resistivity half-way between
    // 240 m and the frame's bottom at 200 m, and no cross.
    const auto at = std::find(second.begin(), second.end(), "         KEY 55");
    ASSERT_NE(at, second.end());
    EXPECT_EQ(*(at + 1), "         SET XUR=       40000.");
    EXPECT_EQ(*(at + 2), "         SET YUR=      220000.");
    // The last point's substratum text of point 1: between 250 - 12 and 200.
    EXPECT_TRUE(contains(second, "         SET YUR=      219000."));
    EXPECT_EQ(second.back(), "\t END");
    EXPECT_TRUE(contains(main, "         KEY 'ACTIVE TXW 0.10'"));
    EXPECT_TRUE(contains(main, "         KEY 'lokalita:Lok, profil:P1'"));
    EXPECT_EQ(profile.points[0].depth[2], 1e12f);  // the database keeps its substratum
}

TEST(UcmScript, EverySegmentIsTwoPointPairsAndStepsFollowTheFrame) {
    Profile profile;
    profile.name = "P";
    for (int k = 0; k <= 6; ++k) profile.points.push_back(point(50.0f * k, 300, {10, 20}, {5, 1e12f}));
    UcmParameters parameters;
    const UcmScripts s = formatUcmScripts("L", profile, ExportFrame{0, 300, 250, 310}, parameters, {});
    EXPECT_EQ(parameters.xTickStep, 10);
    EXPECT_EQ(parameters.xLabelStep, 50);
    EXPECT_EQ(parameters.zLabelStep, 5);
    EXPECT_EQ(parameters.zTickStep, 1);
    for (const std::string& text : {s.main, s.second}) {
        const std::vector<std::string> all = lines(text);
        int segments = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i] != "        KEY 'PLACE LINE'") continue;
            ++segments;
            ASSERT_LT(i + 7, all.size());
            EXPECT_EQ(all[i + 1].rfind("         SET XUR=", 0), 0u);
            EXPECT_EQ(all[i + 2].rfind("         SET YUR=", 0), 0u);
            EXPECT_EQ(all[i + 3], "         PNT");
            EXPECT_EQ(all[i + 4].rfind("         SET XUR=", 0), 0u);
            EXPECT_EQ(all[i + 5].rfind("         SET YUR=", 0), 0u);
            EXPECT_EQ(all[i + 6], "         PNT");
            EXPECT_EQ(all[i + 7], "         RST");
        }
        EXPECT_GT(segments, 0);
    }
    // The closing part is all in the companion file.
    EXPECT_EQ(s.main.find("EXITUC:"), std::string::npos);
    EXPECT_NE(s.second.find("\r\nEXITUC:\r\n"), std::string::npos);
    // Labelled chainage ticks every 50 m, from 300 down to 0; ticks every 10 m.
    const std::vector<std::string> main = lines(s.main);
    EXPECT_TRUE(contains(main, "         KEY 300"));
    EXPECT_TRUE(contains(main, "         KEY 0"));
    EXPECT_TRUE(contains(main, "         KEY 100"));
    EXPECT_FALSE(contains(main, "         KEY 20"));
}

TEST(UcmFiles, WrittenInCp1250AndNeverOverAnExistingFile) {
    ScratchDir dir("ucm_files");
    const std::string path = dir.file("pf.UCM");
    const UcmScripts scripts{"; žluť", "\r\nend"};
    ASSERT_FALSE(writeUcmFiles(path, scripts));
    EXPECT_EQ(readBytes(path), "; \x9e\x6c\x75\x9d");
    EXPECT_EQ(readBytes(path + "_b"), "\r\nend");
    // A second export under the same name is refused and changes nothing.
    const auto again = writeUcmFiles(path, UcmScripts{"x", "y"});
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, "File" + path + "exists already. Choose other name!");
    EXPECT_EQ(readBytes(path + "_b"), "\r\nend");
    // Only the companion exists: neither file is written.
    const std::string other = dir.file("other.UCM");
    writeBytes(other + "_b", "user's file");
    ASSERT_TRUE(writeUcmFiles(other, scripts));
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_EQ(readBytes(other + "_b"), "user's file");
}

TEST(UcmFiles, CommandLineWritesTheSampleFixture) {
    ScratchDir dir("ucm_cli");
    const std::string out = dir.file("P1.UCM");
    // Run where no orma.ini lies: the defaults.
    const std::string command = "cd '" + dir.file("") + "' && " + ORMA_CLI_PATH + " ucm \"" + ORMA_SOURCE_DIR +
                                "/samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb\" --profile 0/0 " + out +
                                " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readBytes(out), readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/ucm/P1.UCM"));
    EXPECT_EQ(readBytes(out + "_b"), readBytes(std::string(ORMA_SOURCE_DIR) + "/samples/ucm/P1.UCM_b"));
    // Run again: both files exist, nothing is written over.
    EXPECT_NE(std::system(command.c_str()), 0);
}

}  // namespace
}  // namespace orma
