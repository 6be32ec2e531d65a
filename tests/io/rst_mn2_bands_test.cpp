// RST readings carry no branch number: the branch follows from MN/2 alone, in
// bands below 1, 5, 20 and 100 m. Each edge is checked from both sides, as a
// number and as the writer's six-decimal text.
#include <gtest/gtest.h>

#include <cmath>

#include "io/RstReader.h"

namespace orma {
namespace {

TEST(RstMn2Bands, EachEdgeOpensTheNextBand) {
    const struct {
        float edge;
        int bandBelow;
    } edges[] = {{1.0f, 1}, {5.0f, 2}, {20.0f, 3}, {100.0f, 4}};
    for (const auto& e : edges) {
        EXPECT_EQ(rstBranchForMn2(std::nextafter(e.edge, 0.0f)), e.bandBelow) << "just below " << e.edge;
        EXPECT_EQ(rstBranchForMn2(e.edge), e.bandBelow + 1) << "at " << e.edge;
        EXPECT_EQ(rstBranchForMn2(std::nextafter(e.edge, 1e9f)), e.bandBelow + 1) << "just above " << e.edge;
    }
}

TEST(RstMn2Bands, ReadingsJustBelowAndAtEachEdgeOfARecord) {
    const std::string text =
        "n op\r\nb 1\r\np 1\r\nl here\r\nd today\r\n"
        "r 10.000000 s0 a1.000000 m0.999999\r\n"
        "r 11.000000 s0 a1.300000 m1.000000\r\n"
        "r 12.000000 s0 a1.680000 m4.999999\r\n"
        "r 13.000000 s0 a2.180000 m5.000000\r\n"
        "r 14.000000 s0 a2.820000 m19.999990\r\n"
        "r 15.000000 s0 a3.660000 m20.000000\r\n"
        "r 16.000000 s0 a4.740000 m99.999992\r\n"
        "r 17.000000 s0 a6.150000 m100.000000";
    Sounding sounding;
    std::vector<std::string> messages;
    ASSERT_EQ(readRstRecordText(sounding, text, 0, messages), CurveFileEnd::Done);
    ASSERT_EQ(sounding.points.pointCount, 8);
    const int expected[] = {1, 2, 2, 3, 3, 4, 4, 5};
    for (int s = 0; s < 8; ++s) EXPECT_EQ(sounding.points.branch[s], expected[s]) << "reading " << s;
}

}  // namespace
}  // namespace orma
