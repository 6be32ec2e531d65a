// Properties that must hold for every input, checked on seeded random ones:
// forward then fit recovers a noise-free model and never ends above where it
// started on noisy data; the 13-tap filter agrees with the accurate one
// where it is known to be good; the colour scale's texts and steps go round
// trip; draping points on a terrain keeps them in order along it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/ColourScale.h"
#include "core/Fit.h"
#include "core/Forward.h"
#include "core/TerrainDrape.h"

namespace orma {
namespace {

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(engine_); }
    double logUniform(double lo, double hi) { return std::exp(uniform(std::log(lo), std::log(hi))); }
    int whole(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }

private:
    std::mt19937 engine_;
};

/// A model of `layers` layers whose neighbours differ at least threefold and
/// whose boundaries lie at least twice as deep as the one above, within what
/// grid rows 0..26 (1 to 1000 m) resolve.
LayerModel resolvableModel(Random& random, int layers) {
    LayerModel m;
    m.interfaceCount = layers - 1;
    double rho = random.logUniform(5, 2000);
    double depth = random.uniform(1.0, 3.0);
    for (int k = 0; k < layers; ++k) {
        m.resistivity[k] = static_cast<float>(rho);
        m.depth[k] = k + 1 < layers ? static_cast<float>(depth) : kHalfSpaceDepth;
        depth *= random.uniform(2.5, 4.0);
        // The next layer is 3 to 10 times more or less resistive, kept in 1..10000.
        const double factor = random.uniform(3.0, 10.0);
        double next = random.whole(0, 1) == 0 ? rho * factor : rho / factor;
        if (next > 10000 || next < 1) next = next > 10000 ? rho / factor : rho * factor;
        rho = next;
    }
    return m;
}

std::unique_ptr<Sounding> soundingOf(const LayerModel& truth, int kmax, double noise, Random& random) {
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = 0;
    s->maxGridIndex = kmax;
    s->model = truth;
    EXPECT_EQ(computeForward(*s), kSuccess);
    for (int k = 0; k <= kmax; ++k)
        s->branches.shiftedRho[k][0] =
            static_cast<float>(s->computedRho[k] * (1.0 + noise * random.uniform(-1, 1)));
    return s;
}

/// Every resistivity and thickness of `m` scaled by a random factor up to `spread`.
void perturb(LayerModel& m, Random& random, double spread) {
    double previousDepth = 0.0, previousNewDepth = 0.0;
    for (int k = 0; k <= m.interfaceCount; ++k) {
        m.resistivity[k] = static_cast<float>(m.resistivity[k] * random.logUniform(1.0 / spread, spread));
        if (k == m.interfaceCount) break;
        const double thickness = (m.depth[k] - previousDepth) * random.logUniform(1.0 / spread, spread);
        previousDepth = m.depth[k];
        previousNewDepth += thickness;
        m.depth[k] = static_cast<float>(previousNewDepth);
    }
}

TEST(FitProperties, NoiseFreeCurvesOfRandomModelsAreFittedBack) {
    Random random(2024);
    auto ws = std::make_unique<FitWorkspace>();
    ComputationOptions options;
    options.fitUntilConverged = true;
    for (int trial = 0; trial < 24; ++trial) {
        SCOPED_TRACE(trial);
        const LayerModel truth = resolvableModel(random, 2 + trial % 3);
        auto s = soundingOf(truth, 26, 0.0, random);
        perturb(s->model, random, 1.25);
        const FitSummary fit = fitModel(*s, *ws, options);
        ASSERT_GT(fit.startSsq, 1e-4);
        // The fit stops once a pass gains little, so "back" means to a
        // thousandth of the start's error, the curve within a per cent.
        EXPECT_LT(fit.ssq, 2e-3 * fit.startSsq) << "start SSQ " << fit.startSsq;
        for (int k = 0; k <= 26; ++k)
            EXPECT_NEAR(s->computedRho[k] / s->composite(k), 1.0, 0.01) << "row " << k;
        // The values the curve pins down best are the true ones.
        EXPECT_NEAR(s->model.resistivity[0] / truth.resistivity[0], 1.0, 0.01);
        EXPECT_NEAR(s->model.depth[0] / truth.depth[0], 1.0, 0.05);
        const int n = truth.interfaceCount;
        EXPECT_NEAR(s->model.resistivity[n] / truth.resistivity[n], 1.0, 0.02);
    }
}

TEST(FitProperties, OnNoisyDataTheFitNeverEndsAboveItsStartAndHeldValuesStay) {
    Random random(77);
    auto ws = std::make_unique<FitWorkspace>();
    for (int trial = 0; trial < 40; ++trial) {
        SCOPED_TRACE(trial);
        const LayerModel truth = resolvableModel(random, 2 + trial % 4);
        auto s = soundingOf(truth, random.whole(14, 30), 0.05, random);
        perturb(s->model, random, 2.5);
        for (int k = 0; k <= s->model.interfaceCount; ++k) {
            if (random.whole(0, 5) == 0) s->model.resistivityFixed[k] = 1;
            if (k < s->model.interfaceCount && random.whole(0, 6) == 0) s->model.depthFixed[k] = 1;
            if (k < s->model.interfaceCount && random.whole(0, 6) == 0) s->model.thicknessFixed[k] = 1;
        }
        const LayerModel start = s->model;
        ComputationOptions options;
        options.fitUntilConverged = trial % 2 == 0;
        const FitSummary fit = fitModel(*s, *ws, options);
        ASSERT_TRUE(fit.status == FitStatus::Converged || fit.status == FitStatus::NoImprovement)
            << int(fit.status);
        EXPECT_LE(fit.ssq, fit.startSsq);
        EXPECT_EQ(s->ssq, fit.ssq);
        // The curve and SSQ left on the record are those of the final model.
        auto check = std::make_unique<Sounding>(*s);
        ASSERT_EQ(computeForward(*check), kSuccess);
        EXPECT_EQ(check->computedRho, s->computedRho);
        EXPECT_DOUBLE_EQ(check->ssq, fit.ssq);
        // Held resistivities and depths keep their start values bit for bit;
        // flags never change.
        for (int k = 0; k <= start.interfaceCount; ++k) {
            if (start.resistivityFixed[k]) {
                EXPECT_EQ(s->model.resistivity[k], start.resistivity[k]) << "rho " << k;
            }
            if (k < start.interfaceCount && start.depthFixed[k]) {
                EXPECT_FLOAT_EQ(s->model.depth[k], start.depth[k]) << "depth " << k;
            }
        }
        // A held thickness keeps its value where no held depth makes its
        // layer take up a change.
        const bool anyDepthHeld = std::count(start.depthFixed.begin(), start.depthFixed.end(), 1) > 0;
        for (int k = 0; k < start.interfaceCount && !anyDepthHeld; ++k) {
            if (start.thicknessFixed[k]) {
                EXPECT_NEAR(s->model.thickness(k) / start.thickness(k), 1.0, 1e-5) << "thickness " << k;
            }
        }
        EXPECT_EQ(s->model.resistivityFixed, start.resistivityFixed);
        EXPECT_EQ(s->model.depthFixed, start.depthFixed);
        EXPECT_EQ(s->model.thicknessFixed, start.thicknessFixed);
        for (int k = 0; k < s->model.interfaceCount; ++k) EXPECT_GE(s->model.thickness(k), 0.0) << k;
    }
}

TEST(ForwardProperties, TheShortFilterAgreesWithTheAccurateOneForModerateContrasts) {
    // Every layer within a factor of 10 of the top one: there the 13-tap
    // filter is good to a per cent or two.
    Random random(5);
    ComputationOptions accurate;
    accurate.accurateForward = true;
    double worst = 0.0;
    for (int trial = 0; trial < 60; ++trial) {
        auto s = std::make_unique<Sounding>();
        s->minGridIndex = 0;
        s->maxGridIndex = 40;
        LayerModel& m = s->model;
        m.interfaceCount = random.whole(1, 5);
        const double top = random.logUniform(1, 1000);
        double depth = random.logUniform(0.5, 5);
        for (int k = 0; k <= m.interfaceCount; ++k) {
            m.resistivity[k] = static_cast<float>(k == 0 ? top : top * random.logUniform(0.1, 10));
            m.depth[k] = k < m.interfaceCount ? static_cast<float>(depth) : kHalfSpaceDepth;
            depth *= random.logUniform(1.3, 6);
        }
        ASSERT_EQ(computeForward(*s), kSuccess);
        const auto standard = s->computedRho;
        ASSERT_EQ(computeForward(*s, accurate), kSuccess);
        for (int k = 0; k <= 40; ++k) {
            const double error = std::fabs(standard[k] / s->computedRho[k] - 1.0);
            worst = std::max(worst, error);
            EXPECT_LT(error, 0.025) << "trial " << trial << ", row " << k;
        }
    }
    EXPECT_GT(worst, 1e-4) << "the two filters are not the same computation";
}

TEST(ForwardProperties, AHalfSpaceAndAModelOfEqualLayersGiveTheirResistivityEverywhere) {
    Random random(11);
    for (int trial = 0; trial < 20; ++trial) {
        auto s = std::make_unique<Sounding>();
        s->minGridIndex = random.whole(0, 10);
        s->maxGridIndex = s->minGridIndex + random.whole(0, 60);
        const float rho = static_cast<float>(random.logUniform(0.01, 1e5));
        s->model.interfaceCount = random.whole(0, 4);
        for (int k = 0; k <= s->model.interfaceCount; ++k) {
            s->model.resistivity[k] = rho;
            s->model.depth[k] =
                k < s->model.interfaceCount ? static_cast<float>(k + 1) * 3.0f : kHalfSpaceDepth;
        }
        ASSERT_EQ(computeForward(*s), kSuccess);
        for (int k = s->minGridIndex; k <= s->maxGridIndex; ++k)
            EXPECT_NEAR(s->computedRho[k] / rho, 1.0, 2e-5) << "trial " << trial << ", row " << k;
    }
}

TEST(ColourScaleProperties, TextsStepsAndFractionsGoRoundTrip) {
    Random random(3);
    for (int trial = 0; trial < 300; ++trial) {
        const double low = random.uniform(-3, 5);
        const double high = low + random.logUniform(0.1, 6);
        SCOPED_TRACE(::testing::Message() << low << " " << high);
        // The typed range's text reads back with either decimal sign.
        for (const char* separator : {".", ","}) {
            const std::string text = colourRangeText(LogRange{low, high}, separator);
            const auto back = parseColourRange(text, separator);
            ASSERT_TRUE(back.has_value()) << text;
            EXPECT_NEAR(back->low, low, 3e-6) << text;
            EXPECT_NEAR(back->high, high, 3e-6) << text;
        }

        const LogRange normal = normalisedRange(high, low);
        EXPECT_DOUBLE_EQ(normal.low, low);
        EXPECT_DOUBLE_EQ(normal.high, high);
        const ColourScale scale(normal);
        for (int i = 0; i < ColourScale::kSteps; i += 17) {
            const double value = low + (high - low) * i / 255.0;
            EXPECT_EQ(scale.indexOf(value), i);
            EXPECT_NEAR(scale.fractionOf(value), i / 255.0, 1e-12);
            EXPECT_EQ(scale.colourOf(value), ColourScale::ramp(i / 255.0));
        }
        // A narrow range is widened to a decade around its middle.
        const double narrow = random.uniform(0.0, 0.0999);
        const LogRange wide = normalisedRange(low, low + narrow);
        EXPECT_NEAR(wide.high - wide.low, 1.0, 1e-12);
        EXPECT_NEAR(0.5 * (wide.high + wide.low), low + 0.5 * narrow, 1e-12);
        // Decades: exactly the integers inside the range.
        const std::vector<int> decades = scale.decades();
        for (int d = static_cast<int>(std::floor(low)) - 1; d <= static_cast<int>(std::ceil(high)) + 1; ++d) {
            const bool inside = d >= low - 1e-9 && d <= high + 1e-9;
            EXPECT_EQ(std::count(decades.begin(), decades.end(), d), inside ? 1 : 0) << d;
        }
    }
}

/// Length along the terrain polyline from x = a to x = b (signed), with the
/// terrain linear between vertices and level beyond neither end is used.
double polylineLength(const std::vector<TerrainVertex>& v, double a, double b) {
    const auto z = [&v](double x) {
        for (std::size_t j = 1; j < v.size(); ++j)
            if (x <= v[j].x)
                return v[j - 1].z + (v[j].z - v[j - 1].z) * (x - v[j - 1].x) / (v[j].x - v[j - 1].x);
        return static_cast<double>(v.back().z);
    };
    const double sign = b >= a ? 1.0 : -1.0;
    const double lo = std::min(a, b), hi = std::max(a, b);
    std::vector<double> xs{lo};
    for (const TerrainVertex& t : v)
        if (t.x > lo && t.x < hi) xs.push_back(t.x);
    xs.push_back(hi);
    double length = 0.0;
    for (std::size_t i = 1; i < xs.size(); ++i)
        length += std::hypot(xs[i] - xs[i - 1], z(xs[i]) - z(xs[i - 1]));
    return sign * length;
}

TEST(TerrainDrapeProperties, ChainagesAlongTheTerrainGrowWithXAndPointsLandWhereTheirLengthLeads) {
    Random random(8);
    for (int trial = 0; trial < 100; ++trial) {
        SCOPED_TRACE(trial);
        std::vector<TerrainVertex> vertices;
        double x = random.uniform(-200, 0), z = random.uniform(100, 500);
        for (int j = random.whole(2, 25); j > 0; --j) {
            vertices.push_back({static_cast<float>(x), static_cast<float>(z)});
            x += random.uniform(2, 60);
            z += random.uniform(-30, 30);
        }
        const double first = vertices.front().x, last = vertices.back().x;
        // The anchor (smallest chainage along the terrain) stands at c on the
        // profile; lengths along the terrain count from there.
        const double c = random.uniform(first, last);
        const double alongFirst = c + polylineLength(vertices, c, first);
        const double alongLast = c + polylineLength(vertices, c, last);
        Profile profile;
        const int count = random.whole(1, 8);
        const double anchorAlong = random.uniform(alongFirst + 0.01, alongLast - 0.01);
        for (int i = 0; i < count; ++i) {
            VesPoint p;
            p.name = "P" + std::to_string(i);
            p.terrainChainage =
                static_cast<float>(i == 0 ? anchorAlong : random.uniform(anchorAlong, alongLast - 1e-3));
            p.profileChainage =
                i == 0 ? static_cast<float>(c) : static_cast<float>(random.uniform(first, last));
            profile.points.push_back(p);
        }
        const DrapeOutcome out = drapeProfileOnTerrain(profile, vertices);
        ASSERT_TRUE(out.done) << out.message;
        ASSERT_EQ(out.alongTerrain.size(), vertices.size());
        for (std::size_t j = 0; j < vertices.size(); ++j) {
            EXPECT_NEAR(
                out.alongTerrain[j],
                static_cast<float>(c) + polylineLength(vertices, static_cast<float>(c), vertices[j].x),
                1e-3 + 1e-6 * std::fabs(out.alongTerrain[j]))
                << "vertex " << j;
            if (j > 0) {
                EXPECT_GT(out.alongTerrain[j], out.alongTerrain[j - 1]) << "vertex " << j;
            }
        }
        // Each point stands where its length along the terrain leads, on the
        // terrain; a point further along the terrain is further along X.
        for (const VesPoint& p : profile.points) {
            const double at = p.profileChainage;
            EXPECT_NEAR(static_cast<float>(c) + polylineLength(vertices, static_cast<float>(c), at),
                        p.terrainChainage, 2e-3 + 1e-5 * std::fabs(p.terrainChainage))
                << p.name;
            double terrainZ = vertices.back().z;
            for (std::size_t j = 1; j < vertices.size(); ++j) {
                if (at <= vertices[j].x) {
                    terrainZ = vertices[j - 1].z + (vertices[j].z - vertices[j - 1].z) *
                                                       (at - vertices[j - 1].x) /
                                                       (vertices[j].x - vertices[j - 1].x);
                    break;
                }
            }
            EXPECT_NEAR(p.z, terrainZ, 2e-3 + 1e-5 * std::fabs(terrainZ)) << p.name;
        }
        std::vector<VesPoint> sorted = profile.points;
        std::sort(sorted.begin(), sorted.end(),
                  [](const VesPoint& a, const VesPoint& b) { return a.terrainChainage < b.terrainChainage; });
        for (std::size_t i = 1; i < sorted.size(); ++i)
            EXPECT_GE(sorted[i].profileChainage, sorted[i - 1].profileChainage) << sorted[i].name;
    }
}

}  // namespace
}  // namespace orma
