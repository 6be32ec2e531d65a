// The statistics of parameter ranges against computations made here without
// the program's fit machinery: the linearised standard deviation from a plain
// least-squares covariance (finite differences of the model's curve, residual
// variance over rows minus free parameters), and the range bounds against a
// brute-force profile of the SSQ.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "EngineFixtures.h"
#include "core/Fit.h"
#include "core/ParameterRanges.h"

namespace orma {
namespace {

using test::setCompositeFromModel;
using test::soundingWithModel;

void scaleByFixedNoise(Sounding& s, double amplitude) {
    for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k)
        s.branches.shiftedRho[k][0] *= static_cast<float>(1.0 + amplitude * std::sin(2.7 * k + 0.4));
}

/// One free value of the test's own parameterisation.
struct Parameter {
    bool thickness = false;
    int layer = 1;  ///< 1-based
};

/// ln of the model's curve at the composite rows, with parameter p scaled by exp(step).
std::vector<double> logCurve(const Sounding& base, const std::vector<Parameter>& parameters, int p,
                             double step, const ComputationOptions& options) {
    auto s = std::make_unique<Sounding>(base);
    LayerModel& m = s->model;
    if (p >= 0) {
        const Parameter& q = parameters[static_cast<std::size_t>(p)];
        const int i = q.layer - 1;
        if (!q.thickness) {
            m.resistivity[i] = static_cast<float>(m.resistivity[i] * std::exp(step));
        } else {
            // The layer grows; the boundaries below move with it down to the
            // next held depth, whose layer takes the difference.
            const double change = m.thickness(i) * (std::exp(step) - 1.0);
            for (int d = i; d < m.interfaceCount; ++d) {
                if (d > i && m.depthFixed[d]) break;
                m.depth[d] = static_cast<float>(m.depth[d] + change);
            }
        }
    }
    EXPECT_EQ(computeForward(*s, options), kSuccess);
    std::vector<double> out;
    for (int k = s->minGridIndex; k <= s->maxGridIndex; ++k)
        if (s->hasComposite(k)) out.push_back(std::log(static_cast<double>(s->computedRho[k])));
    return out;
}

/// Inverse of a small symmetric positive definite matrix (Gauss-Jordan).
std::vector<std::vector<double>> inverse(std::vector<std::vector<double>> a) {
    const std::size_t n = a.size();
    std::vector<std::vector<double>> inv(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) inv[i][i] = 1.0;
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        std::swap(a[c], a[pivot]);
        std::swap(inv[c], inv[pivot]);
        const double d = a[c][c];
        for (std::size_t j = 0; j < n; ++j) a[c][j] /= d, inv[c][j] /= d;
        for (std::size_t r = 0; r < n; ++r) {
            if (r == c) continue;
            const double f = a[r][c];
            for (std::size_t j = 0; j < n; ++j) a[r][j] -= f * a[c][j], inv[r][j] -= f * inv[c][j];
        }
    }
    return inv;
}

/// sqrt of the diagonal of SSQ / (rows - M) * (J^T J)^-1 at the model of `s`,
/// with J from central differences of ln rhoA by the log-parameters.
std::vector<double> plainLogStdDevs(const Sounding& s, const std::vector<Parameter>& parameters,
                                    const ComputationOptions& options) {
    const std::vector<double> centre = logCurve(s, parameters, -1, 0.0, options);
    double ssq = 0.0;
    std::size_t row = 0;
    for (int k = s.minGridIndex; k <= s.maxGridIndex; ++k) {
        if (!s.hasComposite(k)) continue;
        const double r = std::log(static_cast<double>(s.composite(k))) - centre[row++];
        ssq += r * r;
    }
    const std::size_t rows = centre.size(), m = parameters.size();
    const double h = options.standardForward() ? 2e-3 : 1e-4;
    std::vector<std::vector<double>> jacobian(rows, std::vector<double>(m));
    for (std::size_t c = 0; c < m; ++c) {
        const std::vector<double> up = logCurve(s, parameters, static_cast<int>(c), h, options);
        const std::vector<double> down = logCurve(s, parameters, static_cast<int>(c), -h, options);
        for (std::size_t r = 0; r < rows; ++r) jacobian[r][c] = (up[r] - down[r]) / (2 * h);
    }
    std::vector<std::vector<double>> normal(m, std::vector<double>(m, 0.0));
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t j = 0; j < m; ++j)
            for (std::size_t r = 0; r < rows; ++r) normal[i][j] += jacobian[r][i] * jacobian[r][j];
    const std::vector<std::vector<double>> covariance = inverse(normal);
    const double variance = ssq / static_cast<double>(rows - m);
    std::vector<double> out;
    for (std::size_t c = 0; c < m; ++c) out.push_back(std::sqrt(variance * covariance[c][c]));
    return out;
}

const ParameterRange* rangeOf(const RangeSummary& summary, const Parameter& p) {
    for (int c = 0; c < summary.parameterCount; ++c)
        if (summary.ranges[c].isThickness == p.thickness && summary.ranges[c].layer == p.layer)
            return &summary.ranges[c];
    return nullptr;
}

/// The sounding with the model the ranges were found around.
std::unique_ptr<Sounding> atOptimum(const Sounding& s, const RangeSummary& summary) {
    auto best = std::make_unique<Sounding>(s);
    best->model.resistivity = summary.best.resistivity;
    best->model.depth = summary.best.depth;
    return best;
}

class RangeStatistics : public ::testing::Test {
protected:
    std::unique_ptr<FitWorkspace> ws = std::make_unique<FitWorkspace>();
};

TEST_F(RangeStatistics, StdFactorIsAPlainLeastSquaresCovarianceWithRowsMinusParametersFreedom) {
    // 15 rows for 5 values: a freedom of rows instead of rows - 5 would shrink
    // the deviations by a fifth.
    for (const bool accurate : {true, false}) {
        SCOPED_TRACE(accurate ? "accurate filter" : "standard filter");
        ComputationOptions options;
        options.accurateForward = accurate;
        auto s = soundingWithModel({80, 15, 300}, {2, 9}, 2, 16);
        setCompositeFromModel(*s);
        scaleByFixedNoise(*s, 0.03);
        const RangeSummary summary = computeParameterRanges(*s, *ws, options);
        ASSERT_EQ(summary.status, RangeStatus::Computed);
        ASSERT_EQ(summary.parameterCount, 5);
        const std::vector<Parameter> parameters{{false, 1}, {true, 1}, {false, 2}, {true, 2}, {false, 3}};
        const auto best = atOptimum(*s, summary);
        const std::vector<double> expected = plainLogStdDevs(*best, parameters, options);
        for (std::size_t c = 0; c < parameters.size(); ++c) {
            SCOPED_TRACE(c);
            const ParameterRange* range = rangeOf(summary, parameters[c]);
            ASSERT_NE(range, nullptr);
            ASSERT_TRUE(std::isfinite(range->logStdDev));
            EXPECT_NEAR(range->logStdDev / expected[c], 1.0, accurate ? 0.005 : 0.02)
                << "stdFactor " << std::exp(range->logStdDev) << ", expected " << std::exp(expected[c]);
        }
    }
}

TEST_F(RangeStatistics, HeldValuesLeaveTheirColumnsOutOfTheCovariance) {
    // rho1 and the depth of boundary 2 held: h1 (its change taken up by layer
    // 2), rho2, rho3 and nothing else are free.
    ComputationOptions options;
    options.accurateForward = true;
    auto s = soundingWithModel({80, 15, 300}, {2, 9}, 0, 16);
    setCompositeFromModel(*s);
    scaleByFixedNoise(*s, 0.03);
    s->model.resistivityFixed[0] = 1;
    s->model.depthFixed[1] = 1;
    const RangeSummary summary = computeParameterRanges(*s, *ws, options);
    ASSERT_EQ(summary.status, RangeStatus::Computed);
    ASSERT_EQ(summary.parameterCount, 3);
    const std::vector<Parameter> parameters{{true, 1}, {false, 2}, {false, 3}};
    const auto best = atOptimum(*s, summary);
    const std::vector<double> expected = plainLogStdDevs(*best, parameters, options);
    for (std::size_t c = 0; c < parameters.size(); ++c) {
        const ParameterRange* range = rangeOf(summary, parameters[c]);
        ASSERT_NE(range, nullptr) << c;
        EXPECT_NEAR(range->logStdDev / expected[c], 1.0, 0.005) << c;
    }
}

TEST_F(RangeStatistics, NoFreedomLeftGivesNoDeviation) {
    // Three values on three rows: the residual variance is undefined.
    auto s = soundingWithModel({50, 200}, {4}, 6, 8);
    setCompositeFromModel(*s);
    scaleByFixedNoise(*s, 0.02);
    const RangeSummary summary = computeParameterRanges(*s, *ws);
    ASSERT_EQ(summary.status, RangeStatus::Computed);
    ASSERT_EQ(summary.parameterCount, 3);
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(std::isnan(summary.ranges[c].logStdDev)) << c;
}

/// The SSQ of the model refitted with one value held at `value`, started from
/// the optimum: one point of the profile.
double profileSsq(const Sounding& s, const RangeSummary& summary, const Parameter& p, double value,
                  FitWorkspace& ws) {
    auto probe = atOptimum(s, summary);
    LayerModel& m = probe->model;
    const int i = p.layer - 1;
    if (!p.thickness) {
        m.resistivity[i] = static_cast<float>(value);
        m.resistivityFixed[i] = 1;
    } else {
        const double change = value - m.thickness(i);
        for (int d = i; d < m.interfaceCount; ++d) m.depth[d] = static_cast<float>(m.depth[d] + change);
        m.thicknessFixed[i] = 1;
    }
    ComputationOptions options;
    options.fitUntilConverged = true;
    return fitModel(*probe, ws, options).ssq;
}

TEST_F(RangeStatistics, BoundsMatchABruteForceProfile) {
    auto s = soundingWithModel({200, 20, 500}, {3, 18}, 0, 26);
    setCompositeFromModel(*s);
    scaleByFixedNoise(*s, 0.01);
    const RangeSummary summary = computeParameterRanges(*s, *ws);
    ASSERT_EQ(summary.status, RangeStatus::Computed);
    for (const Parameter& p : {Parameter{false, 2}, Parameter{true, 1}, Parameter{false, 1}}) {
        SCOPED_TRACE(::testing::Message() << (p.thickness ? "h" : "rho") << p.layer);
        const ParameterRange* range = rangeOf(summary, p);
        ASSERT_NE(range, nullptr);
        ASSERT_FALSE(range->lowerUnbounded || range->upperUnbounded);
        ASSERT_LT(range->lower, range->value);
        ASSERT_GT(range->upper, range->value);
        // Every held value whose refitted model stays within the threshold
        // lies inside the range (to the half per cent the bounds are found to).
        const double width = std::log(range->upper / range->lower);
        const double from = std::log(range->lower) - 0.5 * width, to = std::log(range->upper) + 0.5 * width;
        int inside = 0;
        for (int i = 0; i <= 40; ++i) {
            const double v = std::exp(from + i * (to - from) / 40);
            if (profileSsq(*s, summary, p, v, *ws) > summary.threshold) continue;
            ++inside;
            EXPECT_GE(v, range->lower * std::exp(-0.006)) << "a model within the threshold is excluded";
            EXPECT_LE(v, range->upper * std::exp(0.006)) << "a model within the threshold is excluded";
        }
        EXPECT_GT(inside, 10);
        // And the range is no wider than the profile: just beyond each bound
        // the refitted SSQ is above the threshold.
        EXPECT_GT(profileSsq(*s, summary, p, range->upper * std::exp(0.008), *ws), summary.threshold);
        EXPECT_GT(profileSsq(*s, summary, p, range->lower * std::exp(-0.008), *ws), summary.threshold);
        // The models reported at the bounds are what was held there.
        const ModelValues& upper = range->upperModel;
        const double heldUpper =
            p.thickness
                ? (p.layer == 1 ? upper.depth[0] : upper.depth[p.layer - 1] - upper.depth[p.layer - 2])
                : upper.resistivity[p.layer - 1];
        EXPECT_GE(heldUpper, range->value);
        EXPECT_LE(heldUpper, range->upper * 1.0001);
        EXPECT_LE(upper.ssq, summary.threshold * (1 + 1e-9));
    }
}

}  // namespace
}  // namespace orma
