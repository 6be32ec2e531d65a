// The colour sections on tiny images, every pixel checked against an
// expectation computed here from the rules alone: a pixel belongs to the band
// whose boundaries (interpolated linearly between the two points) enclose its
// centre, its colour is the log resistivity interpolated from the nearer
// point outward, and the colour index rounds half-way up to the next step.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "core/ColourSection.h"

namespace orma {
namespace {

constexpr std::uint32_t kUntouched = 0x00ABCDEF;  // painted colours are opaque: never this

struct Image {
    Image(int w, int h) : pixels(static_cast<std::size_t>(w * h), kUntouched) {
        raster.pixels = pixels.data();
        raster.width = raster.right = w;
        raster.height = raster.bottom = h;
        raster.stride = w;
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * raster.width + x)]; }
    std::vector<std::uint32_t> pixels;
    ColourRaster raster;
};

/// The ramp step of a log resistivity, computed from the range alone: 255
/// steps from end to end, half-way between two steps goes to the upper one.
int expectedIndex(const LogRange& range, double logRho) {
    const double steps = (logRho - range.low) / (range.high - range.low) * 255.0;
    return static_cast<int>(std::clamp(std::floor(steps + 0.5), 0.0, 255.0));
}

std::uint32_t expectedColour(const LogRange& range, double logRho) {
    return ColourScale::ramp(expectedIndex(range, logRho) / 255.0);
}

/// A painted pixel's colour for a log resistivity computed here: exact, but
/// where the value lies within rounding of a half step either neighbour does.
::testing::AssertionResult colourFits(std::uint32_t pixel, const LogRange& range, double logRho) {
    const double steps = (logRho - range.low) / (range.high - range.low) * 255.0;
    const bool halfWay = std::fabs(steps - std::floor(steps) - 0.5) < 1e-9;
    if (pixel == expectedColour(range, logRho)) return ::testing::AssertionSuccess();
    if (halfWay &&
        (pixel == expectedColour(range, logRho - 1e-6) || pixel == expectedColour(range, logRho + 1e-6)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "colour " << std::hex << pixel << ", expected " << expectedColour(range, logRho) << std::dec
           << " (log rho " << logRho << ")";
}

/// What a pixel should hold: untouched, or the colour of a log resistivity.
struct Expected {
    bool painted = false;
    double logRho = 0.0;
};

::testing::AssertionResult pixelIs(std::uint32_t pixel, const LogRange& range, const Expected& expected) {
    if (!expected.painted) {
        if (pixel == kUntouched) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "painted where nothing belongs";
    }
    if (pixel == kUntouched) return ::testing::AssertionFailure() << "not painted";
    return colourFits(pixel, range, expected.logRho);
}

TEST(ColourIndex, HalfWayBetweenStepsRoundsUpAndTheEndsClamp) {
    // 128 steps per decade: every (k + 0.5) / 128 is exactly half-way.
    const LogRange range{0.0, 255.0 / 128.0};
    const ColourScale scale(range);
    for (int k = 0; k < 255; ++k) {
        EXPECT_EQ(scale.indexOf((k + 0.5) / 128.0), k + 1) << k;
        EXPECT_EQ(scale.indexOf((k + 0.49) / 128.0), k) << k;
        EXPECT_EQ(scale.indexOf(k / 128.0), k) << k;
    }
    EXPECT_EQ(scale.indexOf(-0.3), 0);
    EXPECT_EQ(scale.indexOf(range.high), 255);
    EXPECT_EQ(scale.indexOf(range.high + 7.0), 255);
    EXPECT_EQ(scale.indexOf(std::numeric_limits<double>::quiet_NaN()), 0);
    // The table holds the ramp at its steps, and colourOf is the table.
    for (int i = 0; i < ColourScale::kSteps; ++i) {
        EXPECT_EQ(scale.colourAtIndex(i), ColourScale::ramp(i / 255.0)) << i;
        EXPECT_EQ(scale.colourOf(i / 128.0), ColourScale::ramp(i / 255.0)) << i;
    }
    // Another range: the middle of it is step 128 (127.5 rounds up).
    const ColourScale decades(LogRange{1.0, 4.0});
    EXPECT_EQ(decades.indexOf(2.5), 128);
    EXPECT_DOUBLE_EQ(decades.fractionOf(2.5), 0.5);
    EXPECT_DOUBLE_EQ(decades.fractionOf(1.75), 0.25);
}

// ---- the model section --------------------------------------------------

/// Pixel (x, y) of the section between columns a and b whose joined
/// boundaries are rowsA/rowsB (top first, bottom last) with band layers
/// layerA/layerB: the band enclosing the pixel's centre, its log resistivity
/// interpolated in x.
Expected expectedModelPixel(const ModelColumn& a, const ModelColumn& b, const std::vector<double>& rowsA,
                            const std::vector<double>& rowsB, const std::vector<int>& layerA,
                            const std::vector<int>& layerB, int x, int y) {
    const double t = b.x == a.x ? 0.0 : double(x - a.x) / double(b.x - a.x);
    const double centre = y + 0.5;
    const auto rowAt = [&](std::size_t i) { return rowsA[i] + t * (rowsB[i] - rowsA[i]); };
    if (x < a.x || x > b.x || centre < rowAt(0)) return {};
    for (std::size_t k = 0; k + 1 < rowsA.size(); ++k) {
        if (centre < rowAt(k + 1)) {
            const double logA = a.logRho[static_cast<std::size_t>(layerA[k])];
            const double logB = b.logRho[static_cast<std::size_t>(layerB[k])];
            return {true, (1.0 - t) * logA + t * logB};
        }
    }
    return {};
}

TEST(ColourSectionPixels, EqualLayerCountsDipAndBlendPixelByPixel) {
    // Two points 10 columns apart; terrain from row 1.2 to row 3.7, the
    // boundaries dip from 6.3 to 9.8 and from 12.1 to 15.4; 16 rows to the bottom.
    const ModelColumn a{2, 1.2, {6.3, 12.1}, {0.4, 2.9, 1.1}};
    const ModelColumn b{12, 3.7, {9.8, 15.4}, {2.3, 0.2, 2.6}};
    const LogRange range{0.0, 3.0};
    const ColourScale scale(range);
    Image image(15, 19);
    paintModelSection({b, a}, 18.0, scale, image.raster);  // order does not matter
    const std::vector<double> rowsA{1.2, 6.3, 12.1, 18.0}, rowsB{3.7, 9.8, 15.4, 18.0};
    const std::vector<int> layers{0, 1, 2};
    for (int x = 0; x < 15; ++x) {
        for (int y = 0; y < 19; ++y)
            EXPECT_TRUE(
                pixelIs(image.at(x, y), range, expectedModelPixel(a, b, rowsA, rowsB, layers, layers, x, y)))
                << "pixel " << x << "," << y;
    }
    // The column next to a point has nearly that point's colour.
    EXPECT_TRUE(colourFits(image.at(3, 8), range, 0.9 * 2.9 + 0.1 * 0.2));
    EXPECT_TRUE(colourFits(image.at(11, 17), range, 0.1 * 1.1 + 0.9 * 2.6));
}

TEST(ColourSectionPixels, ABoundaryBetweenPixelCentresIsPlacedByTheCentre) {
    // A boundary at row 5.5 exactly: row 5 (centre 5.5) belongs below it; at
    // 5.49 row 5 is below as well, at 5.51 above.
    const LogRange range{0.0, 2.0};
    const ColourScale scale(range);
    for (const double boundary : {5.5, 5.49, 5.51, 5.0}) {
        SCOPED_TRACE(boundary);
        Image image(3, 9);
        paintModelSection(
            {ModelColumn{0, 0.0, {boundary}, {0.5, 1.5}}, ModelColumn{2, 0.0, {boundary}, {0.5, 1.5}}}, 9.0,
            scale, image.raster);
        for (int y = 0; y < 9; ++y) {
            const bool below = y + 0.5 >= boundary;
            EXPECT_EQ(image.at(1, y), scale.colourOf(below ? 1.5 : 0.5)) << y;
        }
    }
}

/// The order-keeping join of every boundary of the shorter column with one of
/// the longer that costs least in summed |ln depth| differences, by trying all.
std::vector<int> bruteForceJoin(const std::vector<double>& shortDepths,
                                const std::vector<double>& longDepths) {
    const int m = static_cast<int>(shortDepths.size()), n = static_cast<int>(longDepths.size());
    std::vector<int> best, chosen;
    double bestCost = std::numeric_limits<double>::infinity();
    std::function<void(int, int, double)> search = [&](int i, int from, double cost) {
        if (i == m) {
            if (cost < bestCost) bestCost = cost, best = chosen;
            return;
        }
        for (int j = from; j <= n - (m - i); ++j) {
            chosen.push_back(j);
            search(i + 1, j + 1, cost + std::fabs(std::log(shortDepths[i]) - std::log(longDepths[j])));
            chosen.pop_back();
        }
    };
    search(0, 0, 0.0);
    return best;
}

TEST(ColourSectionJoin, BoundariesJoinTheNearestInLogDepthAndLeftOversThinOut) {
    std::mt19937 random(19);
    std::uniform_real_distribution<double> logDepth(std::log(1.0), std::log(300.0));
    for (int trial = 0; trial < 200; ++trial) {
        const int m = 1 + trial % 3, n = m + 1 + trial % 3;
        std::vector<double> shortDepths(m), longDepths(n);
        for (double& d : shortDepths) d = std::exp(logDepth(random));
        for (double& d : longDepths) d = std::exp(logDepth(random));
        std::sort(shortDepths.begin(), shortDepths.end());
        std::sort(longDepths.begin(), longDepths.end());
        const double top = 4.0, bottom = 400.0;
        ModelColumn shortColumn{0, top, {}, std::vector<double>(m + 1, 1.0)};
        ModelColumn longColumn{50, top, {}, std::vector<double>(n + 1, 2.0)};
        for (double d : shortDepths) shortColumn.interfaces.push_back(top + d);
        for (double d : longDepths) longColumn.interfaces.push_back(top + d);
        const std::vector<int> join = bruteForceJoin(shortDepths, longDepths);

        // The short column may stand on either side.
        for (const bool shortFirst : {true, false}) {
            SCOPED_TRACE(::testing::Message()
                         << "trial " << trial << (shortFirst ? ", short first" : ", long first"));
            const JoinedColumns joined = shortFirst ? joinColumns(shortColumn, longColumn, bottom)
                                                    : joinColumns(longColumn, shortColumn, bottom);
            const std::vector<double>& rowsShort = shortFirst ? joined.rowsA : joined.rowsB;
            const std::vector<double>& rowsLong = shortFirst ? joined.rowsB : joined.rowsA;
            const std::vector<int>& layerShort = shortFirst ? joined.layerA : joined.layerB;
            const std::vector<int>& layerLong = shortFirst ? joined.layerB : joined.layerA;
            ASSERT_EQ(rowsLong.size(), static_cast<std::size_t>(n + 2));
            ASSERT_EQ(rowsShort.size(), static_cast<std::size_t>(n + 2));
            ASSERT_EQ(layerLong.size(), static_cast<std::size_t>(n + 1));
            // The long column keeps its own boundaries and layers.
            for (int j = 0; j < n; ++j) EXPECT_DOUBLE_EQ(rowsLong[j + 1], top + longDepths[j]);
            for (int j = 0; j <= n; ++j) EXPECT_EQ(layerLong[j], j);
            // Joined boundaries meet their partner under the short point; the
            // others lie at the same fraction between the joined ones around them.
            std::vector<int> partner(n, -1);
            for (int i = 0; i < m; ++i) partner[join[i]] = i;
            for (int j = 0; j < n; ++j) {
                if (partner[j] >= 0) {
                    EXPECT_DOUBLE_EQ(rowsShort[j + 1], top + shortDepths[partner[j]]) << "boundary " << j;
                    continue;
                }
                int above = -1, below = n;
                for (int i = j - 1; i >= 0 && above < 0; --i)
                    if (partner[i] >= 0) above = i;
                for (int i = j + 1; i < n && below == n; ++i)
                    if (partner[i] >= 0) below = i;
                const double l0 = above < 0 ? top : top + longDepths[above];
                const double l1 = below == n ? bottom : top + longDepths[below];
                const double s0 = above < 0 ? top : top + shortDepths[partner[above]];
                const double s1 = below == n ? bottom : top + shortDepths[partner[below]];
                const double f = (top + longDepths[j] - l0) / (l1 - l0);
                EXPECT_NEAR(rowsShort[j + 1], s0 + f * (s1 - s0), 1e-9) << "left-over boundary " << j;
            }
            // Bands: the short column's layer steps only at joined boundaries.
            int layer = 0;
            for (int j = 0; j <= n; ++j) {
                EXPECT_EQ(layerShort[j], layer) << "band " << j;
                if (j < n && partner[j] >= 0) ++layer;
            }
        }
    }
}

TEST(ColourSectionPixels, UnequalLayerCountsPixelByPixel) {
    // A: one boundary 8 rows down; B: boundaries 3 and 9 rows down. B's 9
    // joins A's 8 (nearer in log depth); B's 3 thins out towards A, where it
    // lies at 3/9 of A's 8.
    const ModelColumn a{1, 0.0, {8.0}, {0.3, 2.7}};
    const ModelColumn b{9, 0.0, {3.0, 9.0}, {1.0, 0.1, 2.2}};
    const LogRange range{0.0, 3.0};
    const ColourScale scale(range);
    Image image(11, 14);
    paintModelSection({a, b}, 14.0, scale, image.raster);
    const std::vector<double> rowsA{0.0, 8.0 * 3.0 / 9.0, 8.0, 14.0}, rowsB{0.0, 3.0, 9.0, 14.0};
    const std::vector<int> layerA{0, 0, 1}, layerB{0, 1, 2};
    const JoinedColumns joined = joinColumns(a, b, 14.0);
    EXPECT_EQ(joined.layerA, layerA);
    EXPECT_EQ(joined.layerB, layerB);
    ASSERT_EQ(joined.rowsA.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(joined.rowsA[i], rowsA[i], 1e-12) << i;
    for (int x = 0; x < 11; ++x) {
        for (int y = 0; y < 14; ++y)
            EXPECT_TRUE(
                pixelIs(image.at(x, y), range, expectedModelPixel(a, b, rowsA, rowsB, layerA, layerB, x, y)))
                << "pixel " << x << "," << y;
    }
}

TEST(ColourSectionPixels, ThreePointsEachPairPaintsItsOwnSpan) {
    const ModelColumn a{0, 0.0, {4.0}, {0.5, 2.5}};
    const ModelColumn b{6, 2.0, {5.0, 8.0}, {1.5, 0.5, 2.0}};
    const ModelColumn c{14, 1.0, {7.0}, {2.8, 0.2}};
    const LogRange range{0.0, 3.0};
    const ColourScale scale(range);
    Image image(16, 12);
    paintModelSection({c, a, b}, 12.0, scale, image.raster);
    for (int x = 0; x < 16; ++x) {
        // The point in the middle is painted by the pair to its right.
        const ModelColumn& l = x < b.x ? a : b;
        const ModelColumn& r = x < b.x ? b : c;
        const JoinedColumns j = joinColumns(l, r, 12.0);
        for (int y = 0; y < 12; ++y)
            EXPECT_TRUE(pixelIs(image.at(x, y), range,
                                expectedModelPixel(l, r, j.rowsA, j.rowsB, j.layerA, j.layerB, x, y)))
                << "pixel " << x << "," << y;
    }
    // Under each point its own layers, unblended.
    EXPECT_EQ(image.at(6, 3), scale.colourOf(1.5));
    EXPECT_EQ(image.at(6, 6), scale.colourOf(0.5));
    EXPECT_EQ(image.at(6, 11), scale.colourOf(2.0));
    EXPECT_EQ(image.at(0, 5), scale.colourOf(2.5));
    EXPECT_EQ(image.at(14, 1), scale.colourOf(2.8));
}

// ---- the pseudo-section ---------------------------------------------------

TEST(PseudoSectionPixels, CurvesInterpolatedInLogSpacingAndBetweenPointsPixelByPixel) {
    // 10 rows per decade and samples 0.1 decade apart: one sample per row.
    // A: AB/2 from 1 m (log 0) with 12 samples; B: from 10^0.2 m with 8.
    CurveColumn a{1, 2.0, 0.0, 0.1, {}};
    CurveColumn b{9, 4.2, 0.2, 0.1, {}};
    for (int i = 0; i < 12; ++i) a.logRho.push_back(0.5 + 0.15 * i);
    for (int i = 0; i < 8; ++i) b.logRho.push_back(2.4 - 0.2 * i);
    const PseudoDepthAxis axis{0.0, 10.0};
    const LogRange range{0.0, 3.0};
    const ColourScale scale(range);
    Image image(12, 20);
    paintPseudoSection({b, a}, axis, scale, image.raster);

    const auto curveAt = [](const CurveColumn& c, double logAb) {
        const double position = (logAb - c.firstLogAb) / c.logAbStep;
        const int i = static_cast<int>(std::floor(position));
        const double f = position - i;
        return (1.0 - f) * c.logRho[static_cast<std::size_t>(i)] +
               f * c.logRho[static_cast<std::size_t>(i + 1)];
    };
    const double start = 0.2, end = 0.2 + 0.7;  // where both curves reach
    for (int x = 0; x < 12; ++x) {
        for (int y = 0; y < 20; ++y) {
            Expected expected;
            if (x >= a.x && x <= b.x) {
                const double t = (x - a.x) / 8.0;
                const double top = a.top + t * (b.top - a.top);
                const double logAb = axis.logAtTop + (y + 0.5 - top) / axis.pixelsPerDecade;
                if (logAb >= start && logAb < end && y + 0.5 >= top)
                    expected = {true, (1.0 - t) * curveAt(a, logAb) + t * curveAt(b, logAb)};
            }
            EXPECT_TRUE(pixelIs(image.at(x, y), range, expected)) << "pixel " << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace orma
