// The accurate forward computation against references computed here: the
// exact two-layer image series, and direct numerical integration of the
// Hankel integral for multi-layer models.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "EngineFixtures.h"
#include "core/AccurateForward.h"
#include "core/Forward.h"
#include "support/ImageSeries.h"

namespace orma {
namespace {

constexpr double kTarget = 1e-4;  // 0.01 %

using orma::test::imageSeries;

TEST(AccurateForward, TwoLayersMatchTheImageSeriesForEveryContrastAndSpacing) {
    const double h = 2.5;
    std::vector<double> ab2;  // AB/2 / h from 0.1 to 10,000, 8 per decade
    for (int j = -8; j <= 32; ++j) ab2.push_back(h * std::pow(10.0, j / 8.0));
    for (double ratio : {0.001, 0.01, 0.1, 0.5, 2.0, 10.0, 100.0, 1000.0}) {
        const double rho[] = {100.0, 100.0 * ratio};
        const double thickness[] = {h};
        std::vector<double> curve(ab2.size());
        ASSERT_EQ(computeAccurateCurve(2, rho, thickness, ab2.data(), static_cast<int>(ab2.size()), curve.data()),
                  kSuccess);
        for (std::size_t i = 0; i < ab2.size(); ++i) {
            const double exact = imageSeries(rho[0], rho[1], h, ab2[i]);
            EXPECT_NEAR(curve[i] / exact, 1.0, kTarget) << "rho2/rho1 " << ratio << " AB/2/h " << ab2[i] / h;
        }
    }
}

TEST(AccurateForward, HalfSpaceGivesItsResistivityEverywhere) {
    const double rho[] = {37.5};
    std::vector<double> ab2;
    for (int j = 0; j < 60; ++j) ab2.push_back(0.3 * std::pow(1.37, j));
    std::vector<double> curve(ab2.size());
    ASSERT_EQ(computeAccurateCurve(1, rho, nullptr, ab2.data(), static_cast<int>(ab2.size()), curve.data()),
              kSuccess);
    for (double value : curve) EXPECT_DOUBLE_EQ(value, 37.5);
    // So does a stack of equal layers.
    const double same[] = {37.5, 37.5, 37.5};
    const double thickness[] = {1.0, 4.0};
    ASSERT_EQ(computeAccurateCurve(3, same, thickness, ab2.data(), static_cast<int>(ab2.size()), curve.data()),
              kSuccess);
    for (double value : curve) EXPECT_NEAR(value, 37.5, 37.5e-12);
}

// --- Direct numerical integration -------------------------------------------

/// The resistivity transform by the recursion from the half-space up.
double transform(const std::vector<double>& rho, const std::vector<double>& h, double lambda) {
    double t = rho.back();
    for (int i = static_cast<int>(h.size()) - 1; i >= 0; --i) {
        const double th = std::tanh(lambda * h[i]);
        t = (t + rho[i] * th) / (1.0 + t * th / rho[i]);
    }
    return t;
}

struct GaussLegendre {
    std::vector<double> x, w;  // on [-1, 1]
    explicit GaussLegendre(int n) : x(n), w(n) {
        for (int i = 0; i < n; ++i) {
            double z = std::cos(M_PI * (i + 0.75) / (n + 0.5));
            double dp = 0.0;
            for (int iteration = 0; iteration < 100; ++iteration) {
                double p0 = 1.0, p1 = 0.0;
                for (int j = 1; j <= n; ++j) {
                    const double p2 = p1;
                    p1 = p0;
                    p0 = ((2.0 * j - 1.0) * z * p1 - (j - 1.0) * p2) / j;
                }
                dp = n * (z * p0 - p1) / (z * z - 1.0);
                const double step = p0 / dp;
                z -= step;
                if (std::fabs(step) < 1e-16) break;
            }
            x[i] = z;
            w[i] = 2.0 / ((1.0 - z * z) * dp * dp);
        }
    }
    template <class F>
    double integrate(F f, double a, double b) const {
        double sum = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) sum += w[i] * f(0.5 * (a + b) + 0.5 * (b - a) * x[i]);
        return 0.5 * (b - a) * sum;
    }
};

/// rhoA(s) = rho1 + s^2 * integral (T - rho1) lambda J1(lambda s) dlambda, piece by
/// piece between the zeros of J1 (the first piece split in halves down to
/// tiny lambda, where deep layers shape T), until the kernel has died away.
double integratedApparentResistivity(const std::vector<double>& rho, const std::vector<double>& h, double s) {
    static const GaussLegendre rule(16);
    auto integrand = [&](double lambda) {
        return (transform(rho, h, lambda) - rho[0]) * lambda * std::cyl_bessel_j(1.0, lambda * s);
    };
    double sum = 0.0;
    double top = 1.2 * M_PI / s;  // below the first zero of J1 (3.83 / s)
    for (int j = 0; j < 80; ++j) sum += rule.integrate(integrand, top * std::ldexp(1.0, -j - 1), top * std::ldexp(1.0, -j));
    double lower = top;
    for (int m = 1;; ++m) {
        const double upper = (m + 1.25) * M_PI / s;  // near the zeros of J1 (x ~ (m + 1/4) pi)
        sum += rule.integrate(integrand, lower, upper);
        lower = upper;
        if (2.0 * lower * h[0] > 60.0) break;  // e^-60 of the kernel left
    }
    return rho[0] + s * s * sum;
}

TEST(AccurateForward, AgreesWithDirectIntegrationOnRandomLayeredModels) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int model = 0; model < 4; ++model) {
        const int layers = 3 + model * 7 / 3;  // 3, 5, 7, 10
        std::vector<double> rho(layers);
        std::vector<double> h(layers - 1);
        for (double& r : rho) r = std::pow(10.0, 3.0 * unit(random));  // 1 .. 1000 ohm-m
        for (double& t : h) t = std::pow(10.0, 0.2 + 1.0 * unit(random));  // 1.6 .. 16 m
        std::vector<double> ab2;
        for (int k = 0; k <= 26; k += 3) ab2.push_back(abGridValue(k) * (1.0 + 0.37 * unit(random)));
        std::vector<double> curve(ab2.size());
        ASSERT_EQ(computeAccurateCurve(layers, rho.data(), h.data(), ab2.data(), static_cast<int>(ab2.size()),
                                       curve.data()),
                  kSuccess);
        for (std::size_t i = 0; i < ab2.size(); ++i) {
            const double exact = integratedApparentResistivity(rho, h, ab2[i]);
            EXPECT_NEAR(curve[i] / exact, 1.0, kTarget) << layers << " layers, AB/2 " << ab2[i];
        }
    }
}

// --- The lagged computation ----------------------------------------------------

TEST(AccurateForward, InterpolatedSpacingsMatchTheFilterEvaluatedThere) {
    // A conductive basement gives the steepest curves to interpolate.
    const double rho[] = {100.0, 300.0, 0.1};
    const double h[] = {2.0, 6.0};
    std::vector<double> ab2;
    for (int i = 0; i < 200; ++i) ab2.push_back(0.7 * std::pow(1.047, i));
    std::vector<double> curve(ab2.size());
    ASSERT_EQ(computeAccurateCurve(3, rho, h, ab2.data(), static_cast<int>(ab2.size()), curve.data()), kSuccess);
    for (std::size_t i = 0; i < ab2.size(); ++i)
        EXPECT_NEAR(curve[i] / accurateApparentResistivityAt(3, rho, h, ab2[i]), 1.0, 1e-5) << ab2[i];

    // A spacing gets the same value whatever is computed along with it.
    double single = 0.0;
    ASSERT_EQ(computeAccurateCurve(3, rho, h, &ab2[77], 1, &single), kSuccess);
    EXPECT_EQ(single, curve[77]);
}

TEST(AccurateForward, RefusesWhatItCannotCompute) {
    const double rho[] = {10.0, 100.0};
    const double h[] = {1.0};
    double out = 0.0;
    for (double bad : {0.0, -3.0, std::nan(""), HUGE_VAL, 1e30, 1e-30}) {
        EXPECT_EQ(computeAccurateCurve(2, rho, h, &bad, 1, &out), kFailed) << bad;
    }
    const double spread[] = {1.0, 1e15};  // more than the lagged grid spans at once
    double two[2];
    EXPECT_EQ(computeAccurateCurve(2, rho, h, spread, 2, two), kFailed);
    const double zero[] = {10.0, 0.0};
    const double ab2 = 10.0;
    EXPECT_EQ(computeAccurateCurve(2, zero, h, &ab2, 1, &out), kFailed);
}

TEST(AccurateForward, ChosenThroughTheOptionsOnTheSounding) {
    // Conductive basement: the standard filter misreads it by percents, the
    // accurate one follows the image series.
    auto s = test::soundingWithModel({100, 0.1f}, {1}, 0, 40);
    ComputationOptions accurate;
    accurate.accurateForward = true;
    ASSERT_EQ(computeForward(*s, accurate), kSuccess);
    double worstStandard = 0.0;
    for (int k = 0; k <= 40; ++k) {
        const double exact = imageSeries(100.0, static_cast<double>(0.1f), 1.0, abGridValue(k));
        EXPECT_NEAR(s->computedRho[k] / exact, 1.0, kTarget) << k;
        EXPECT_EQ(s->computedPacked[k], s->computedRho[k]);
    }
    const auto accurateCurve = s->computedRho;
    ASSERT_EQ(computeForward(*s), kSuccess);
    for (int k = 0; k <= 40; ++k)
        worstStandard = std::max(worstStandard, std::fabs(s->computedRho[k] / accurateCurve[k] - 1.0));
    EXPECT_GT(worstStandard, 0.05);
    EXPECT_FLOAT_EQ(s->grid.value[9], 10.326907f);  // the grid table takes exact values either way
}

}  // namespace
}  // namespace orma
