// The colour scale and the interpolation of the colour sections between
// neighbouring points, on a plain pixel buffer.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/ColourSection.h"

namespace orma {
namespace {

constexpr std::uint32_t kEmpty = 0x12345678;

struct Buffer {
    Buffer(int w, int h) : pixels(static_cast<std::size_t>(w * h), kEmpty) {
        raster.pixels = pixels.data();
        raster.width = raster.right = w;
        raster.height = raster.bottom = h;
        raster.stride = w;
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * raster.width + x)]; }
    /// First row of column x, from `from` down, whose colour differs from the row above.
    int colourChangeBelow(int x, int from) const {
        for (int y = from + 1; y < raster.height; ++y)
            if (at(x, y) != at(x, y - 1)) return y;
        return -1;
    }
    std::vector<std::uint32_t> pixels;
    ColourRaster raster;
};

ModelColumn twoLayers(int x, double top, double interfaceRow, double rho1, double rho2) {
    return ModelColumn{x, top, {interfaceRow}, {std::log10(rho1), std::log10(rho2)}};
}

double luminance(std::uint32_t c) {
    return 0.2126 * ((c >> 16) & 0xFF) + 0.7152 * ((c >> 8) & 0xFF) + 0.0722 * (c & 0xFF);
}

TEST(ColourScale, RampGetsLighterEndToEndAndEndsClamp) {
    double previous = -1.0;
    for (int i = 0; i <= 100; ++i) {
        const double l = luminance(ColourScale::ramp(i / 100.0));
        EXPECT_GT(l, previous) << "at " << i;
        previous = l;
    }
    const ColourScale scale(LogRange{1.0, 3.0});
    EXPECT_EQ(scale.colourOf(0.0), ColourScale::ramp(0.0));
    EXPECT_EQ(scale.colourOf(5.0), ColourScale::ramp(1.0));
    EXPECT_EQ(scale.colourOf(std::nan("")), ColourScale::ramp(0.0));
    EXPECT_EQ(scale.decades(), (std::vector<int>{1, 2, 3}));
    // One resistivity everywhere: half a decade either side, colour in the middle.
    const ColourScale flat(normalisedRange(2.0, 2.0));
    EXPECT_DOUBLE_EQ(flat.fractionOf(2.0), 0.5);
}

TEST(ColourScale, TypedRangesAreTwoIncreasingPositiveResistivities) {
    const auto range = parseColourRange(" 10  1000 ", ".");
    ASSERT_TRUE(range);
    EXPECT_DOUBLE_EQ(range->low, 1.0);
    EXPECT_DOUBLE_EQ(range->high, 3.0);
    EXPECT_TRUE(parseColourRange("0.5;20", "."));
    EXPECT_TRUE(parseColourRange("5,20", "."));
    for (const char* bad : {"", "10", "1000 10", "0 10", "-1 10", "10 10", "10 abc", "10 20 30", "1e400 1e401", "nan 10"})
        EXPECT_FALSE(parseColourRange(bad, ".")) << bad;
    for (const char* separator : {".", ","}) {
        const LogRange odd{std::log10(0.37), std::log10(12345.6)};
        const auto back = parseColourRange(colourRangeText(odd, separator), separator);
        ASSERT_TRUE(back) << colourRangeText(odd, separator);
        EXPECT_NEAR(back->low, odd.low, 1e-6);
        EXPECT_NEAR(back->high, odd.high, 1e-6);
    }
}

TEST(ColourScale, UnderADecimalCommaTheCommaIsTheDecimalSignAndBlanksSeparate) {
    // What the window proposes on a Czech desktop is what it takes back.
    const LogRange shown{std::log10(14.9731), std::log10(2985.83)};
    EXPECT_EQ(colourRangeText(shown, ","), "14,9731 2985,83");
    EXPECT_EQ(resistivityLabel(14.9731, ","), "14,9731");
    EXPECT_EQ(resistivityLabel(2.5e6, ","), "2e+06");
    const auto range = parseColourRange("14,9731 2985,83", ",");
    ASSERT_TRUE(range);
    EXPECT_NEAR(std::pow(10.0, range->low), 14.9731, 1e-9);
    EXPECT_NEAR(std::pow(10.0, range->high), 2985.83, 1e-9);
    // The point still reads, a semicolon separates too.
    const auto mixed = parseColourRange("0.5;20,25", ",");
    ASSERT_TRUE(mixed);
    EXPECT_NEAR(std::pow(10.0, mixed->high), 20.25, 1e-12);
    // "5,20" is one value there, not two.
    EXPECT_FALSE(parseColourRange("5,20", ","));
}

TEST(ColourSection, EqualModelsPaintTheirLayersAndNothingOutside) {
    Buffer buffer(120, 100);
    buffer.raster.left = 5;  // the box: nothing outside it
    buffer.raster.bottom = 90;
    const ColourScale scale(LogRange{0.0, 3.0});
    paintModelSection({twoLayers(10, 20.0, 50.0, 10, 500), twoLayers(100, 20.0, 50.0, 10, 500)}, 90.0, scale,
                      buffer.raster);
    for (int x = 10; x <= 100; ++x) {
        for (int y = 20; y < 50; ++y) ASSERT_EQ(buffer.at(x, y), scale.colourOf(1.0)) << x << "," << y;
        for (int y = 50; y < 90; ++y) ASSERT_EQ(buffer.at(x, y), scale.colourOf(std::log10(500.0))) << x << "," << y;
        EXPECT_EQ(buffer.at(x, 19), kEmpty);  // above the terrain
        EXPECT_EQ(buffer.at(x, 90), kEmpty);  // below the box
    }
    for (int y = 0; y < 100; ++y) {
        EXPECT_EQ(buffer.at(9, y), kEmpty);
        EXPECT_EQ(buffer.at(101, y), kEmpty);
    }
}

TEST(ColourSection, BoundariesFollowDipAndTerrainAndColoursBlendInLog) {
    Buffer buffer(201, 400);
    const ColourScale scale(LogRange{0.0, 4.0});
    // Interface 100 rows under the first point, 200 under the second: the
    // middle column changes colour 150 rows down.
    paintModelSection({twoLayers(0, 0.0, 100.0, 10, 1000), twoLayers(200, 0.0, 200.0, 10, 1000)}, 400.0, scale,
                      buffer.raster);
    EXPECT_EQ(buffer.colourChangeBelow(100, 0), 150);
    // Terrain from row 0 to row 60 and a flat layer 30 rows thick: the top
    // follows the terrain line.
    Buffer dipping(101, 200);
    paintModelSection({twoLayers(0, 0.0, 30.0, 10, 100), twoLayers(100, 60.0, 90.0, 10, 100)}, 200.0, scale,
                      dipping.raster);
    EXPECT_EQ(dipping.at(50, 29), kEmpty);
    EXPECT_NE(dipping.at(50, 30), kEmpty);
    EXPECT_EQ(dipping.colourChangeBelow(50, 30), 60);
    // Different resistivities at the two points blend geometrically: 10 and
    // 1000 give 100 halfway.
    Buffer blend(101, 50);
    paintModelSection({twoLayers(0, 0.0, 100.0, 10, 10), twoLayers(100, 0.0, 100.0, 1000, 1000)}, 50.0, scale,
                      blend.raster);
    EXPECT_EQ(blend.at(50, 10), scale.colourOf(2.0));
}

TEST(ColourSection, ExtraLayerThinsOutTowardsThePointWithout) {
    // A: interface at 20; B: interfaces at 20 and 100 (bottom 200). The 20s
    // join; B's 100 lies halfway between 20 and the bottom, so under A it
    // sits halfway too, inside A's second layer.
    const ModelColumn a{0, 0.0, {20.0}, {1.0, 2.0}};
    const ModelColumn b{100, 0.0, {20.0, 110.0}, {1.0, 2.0, 3.0}};
    const JoinedColumns joined = joinColumns(a, b, 200.0);
    EXPECT_EQ(joined.rowsA, (std::vector<double>{0.0, 20.0, 110.0, 200.0}));
    EXPECT_EQ(joined.rowsB, (std::vector<double>{0.0, 20.0, 110.0, 200.0}));
    EXPECT_EQ(joined.layerA, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(joined.layerB, (std::vector<int>{0, 1, 2}));
    // The join picks the nearer interface, not the first: A's 100 joins B's 90.
    const ModelColumn deep{0, 0.0, {100.0}, {1.0, 2.0}};
    const ModelColumn two{100, 0.0, {5.0, 90.0}, {1.0, 1.5, 2.0}};
    const JoinedColumns j2 = joinColumns(deep, two, 200.0);
    EXPECT_EQ(j2.rowsB, (std::vector<double>{0.0, 5.0, 90.0, 200.0}));
    EXPECT_EQ(j2.layerA, (std::vector<int>{0, 0, 1}));
    EXPECT_NEAR(j2.rowsA[1], 100.0 * 5.0 / 90.0, 1e-9);  // thins out at A's top layer
    EXPECT_DOUBLE_EQ(j2.rowsA[2], 100.0);
    // A folded model (interfaces going up) is straightened, never painted upwards.
    const ModelColumn folded{0, 10.0, {50.0, 30.0, 1e9}, {1, 2, 3, 4}};
    const JoinedColumns j3 = joinColumns(folded, folded, 80.0);
    EXPECT_EQ(j3.rowsA, (std::vector<double>{10.0, 50.0, 50.0, 80.0, 80.0}));
}

TEST(ColourSection, PseudoSectionColumnsAndInterpolationInLogSpacing) {
    const ColourScale scale(LogRange{0.0, 3.0});
    CurveColumn constant{10, 5.0, 0.0, 0.25, std::vector<double>(9, 2.0)};  // AB/2 1..100 m at 100 rows/decade
    CurveColumn rising{60, 5.0, 0.0, 0.25, {1.0, 1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 2.75, 3.0}};
    Buffer buffer(80, 300);
    paintPseudoSection({rising, constant}, PseudoDepthAxis{0.0, 100.0}, scale, buffer.raster);
    // The constant point's own column: one colour from the terrain down to AB/2 = 100 m.
    for (int y = 5; y < 205; ++y) ASSERT_EQ(buffer.at(10, y), scale.colourOf(2.0)) << y;
    EXPECT_EQ(buffer.at(10, 4), kEmpty);
    EXPECT_EQ(buffer.at(10, 206), kEmpty);
    // Under the rising point at AB/2 = 10 m (row 5 + 100): log rho 2, and
    // halfway between the points the mean of both logs.
    EXPECT_EQ(buffer.at(60, 105), scale.colourOf(2.0));
    EXPECT_EQ(buffer.at(35, 55), scale.colourOf(0.5 * (2.0 + 1.5)));
    EXPECT_EQ(buffer.at(9, 50), kEmpty);
    EXPECT_EQ(buffer.at(61, 50), kEmpty);
}

}  // namespace
}  // namespace orma
