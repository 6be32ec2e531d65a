// The fit on curves it cannot match exactly: noisy composites, steps that
// overshoot and must be damped, values the data cannot resolve, and the stop
// rule. Expected paths come from the independent reference in ReferenceFit.h.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "ReferenceFit.h"
#include "core/Fit.h"

namespace orma {
namespace {

namespace ref = test::reference;

/// The data every test here fits: the reference curve of `truth` with a
/// deterministic 4 % ripple, so no model reaches it exactly.
std::vector<double> noisyData(const ref::Earth& truth, int kmax) {
    std::vector<double> data = ref::curve(truth, 0, kmax);
    for (int k = 0; k <= kmax; ++k) data[k] *= 1.0 + 0.04 * std::sin(2.3 * k);
    return data;
}

ref::Problem problem(const ref::Earth& truth, const ref::Earth& start, int kmax) {
    ref::Problem p;
    p.data = noisyData(truth, kmax);
    p.kmin = 0;
    p.kmax = kmax;
    p.start = start;
    p.rhoFree.assign(start.rho.size(), true);
    p.hFree.assign(start.h.size(), true);
    return p;
}

/// The same problem as the window holds it: the start model, its held values
/// and the composite on grid rows kmin..kmax.
std::unique_ptr<Sounding> soundingFor(const ref::Problem& p) {
    auto s = std::make_unique<Sounding>();
    s->minGridIndex = p.kmin;
    s->maxGridIndex = p.kmax;
    const int n = static_cast<int>(p.start.h.size());
    s->model.interfaceCount = n;
    float depth = 0.0f;
    for (int i = 0; i <= n; ++i) {
        s->model.resistivity[i] = static_cast<float>(p.start.rho[i]);
        s->model.resistivityFixed[i] = p.rhoFree[i] ? 0 : 1;
    }
    for (int i = 0; i < n; ++i) {
        depth += static_cast<float>(p.start.h[i]);
        s->model.depth[i] = depth;
        s->model.thicknessFixed[i] = p.hFree[i] ? 0 : 1;
    }
    s->model.depth[n] = kHalfSpaceDepth;
    for (int k = p.kmin; k <= p.kmax; ++k) s->branches.shiftedRho[k][0] = static_cast<float>(p.data[k - p.kmin]);
    return s;
}

class FitDamping : public ::testing::Test {
protected:
    std::unique_ptr<FitWorkspace> ws = std::make_unique<FitWorkspace>();
};

/// One free value, the half-space of a two-layer earth under a held 100 ohm-m
/// layer: its step for damping mu is (J.r) / (mu^2 + J.J), with J the column of
/// d ln(rhoA) / d ln(rho2) and r the log residual. Levels are 0, then |w| = |J|.
struct OneFreeValue {
    ref::Problem p;
    double jr = 0.0;
    double jj = 0.0;
    double startSsq = 0.0;

    OneFreeValue(double thickness, int kmax, double trueRho2, double startRho2) {
        p = problem({{100, trueRho2}, {thickness}}, {{100, startRho2}, {thickness}}, kmax);
        p.rhoFree = {false, true};
        p.hFree = {false};
        const std::vector<std::vector<double>> j = ref::Fit(p).jacobian(p.start);
        const std::vector<double> computed = ref::curve(p.start, 0, kmax);
        for (int k = 0; k <= kmax; ++k) {
            jj += j[k][0] * j[k][0];
            jr += j[k][0] * std::log(p.data[k] / computed[k]);
        }
        startSsq = ref::ssq(p.data, computed);
    }
    double ssqAfter(double logStep) const {
        ref::Earth trial = p.start;
        trial.rho[1] *= std::exp(logStep);
        return ref::ssq(p.data, ref::curve(trial, 0, p.kmax));
    }
};

TEST_F(FitDamping, OvershootingStepIsRetriedWithTheSquareOfTheSingularValue) {
    // A 3 m layer over a 500 ohm-m basement, started at 3000 ohm-m.
    const OneFreeValue one(3.0, 16, 500.0, 3000.0);
    const double w2 = one.jj;
    ASSERT_GT(std::sqrt(w2), 0.05);
    // By hand: the plain Gauss-Newton step overshoots; damping mu = |w| halves
    // it (mu^2 + w^2 = 2 w^2), and that step lowers the error.
    ASSERT_GT(one.ssqAfter(one.jr / w2), one.startSsq);
    ASSERT_LT(one.ssqAfter(one.jr / (2.0 * w2)), one.startSsq);

    const ref::Outcome expected = ref::Fit(one.p).run();
    ASSERT_EQ(expected.trials, expected.linearisations + 1);  // the one damped retry
    auto s = soundingFor(one.p);
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_EQ(summary.status, FitStatus::Converged);
    EXPECT_EQ(summary.linearisations, expected.linearisations);
    EXPECT_EQ(summary.trials, expected.trials);
    EXPECT_NEAR(s->model.resistivity[1], expected.earth.rho[1], 1e-4 * expected.earth.rho[1]);
    EXPECT_NEAR(summary.ssq, expected.ssq, 1e-4 * expected.ssq);
    EXPECT_EQ(s->model.resistivity[0], 100.0f);
    EXPECT_EQ(s->model.depth[0], 3.0f);
}

TEST_F(FitDamping, ModelStaysWhenNeitherTheFullNorTheDampedStepHelps) {
    // A 0.5 m layer over 300 ohm-m, started at 6000 ohm-m on spacings up to
    // 8 m: the curve bends so much that even half the Gauss-Newton step
    // overshoots. With only two levels (0 and |w|) the fit gives up unchanged.
    const OneFreeValue one(0.5, 8, 300.0, 6000.0);
    const double w2 = one.jj;
    ASSERT_GT(one.ssqAfter(one.jr / w2), one.startSsq);
    ASSERT_GT(one.ssqAfter(one.jr / (2.0 * w2)), one.startSsq);

    auto s = soundingFor(one.p);
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_EQ(summary.status, FitStatus::NoImprovement);
    EXPECT_EQ(summary.linearisations, 1);
    EXPECT_EQ(summary.trials, 2);
    EXPECT_EQ(s->model.resistivity[1], 6000.0f);
    EXPECT_NEAR(summary.ssq, one.startSsq, 1e-5 * one.startSsq);
}

TEST_F(FitDamping, ValueTheCurveHardlyResolvesIsNotMoved) {
    // Spacings up to 2.8 m over a 5 m layer: the basement's singular value is
    // about 0.02, inside the truncated band, so no step moves it at all.
    const OneFreeValue one(5.0, 4, 300.0, 100.0);
    const double w = std::sqrt(one.jj);
    ASSERT_GT(w, 0.01);
    ASSERT_LT(w, 0.04);

    auto s = soundingFor(one.p);
    const FitSummary summary = fitModel(*s, *ws);
    EXPECT_EQ(summary.status, FitStatus::NoImprovement);
    EXPECT_EQ(summary.acceptedSteps, 0);
    EXPECT_EQ(s->model.resistivity[1], 100.0f);
}

struct NoisyCase {
    const char* name;
    ref::Earth truth;
    ref::Earth start;
    int kmax;
};

/// Fits whose reference paths damp steps, meet singular values just above the
/// cutoff and continue after improvements between 2.5 % and 25 %.
const NoisyCase kNoisyCases[] = {
    {"H-type", {{200, 20, 500}, {3, 15}}, {{150, 30, 400}, {2, 20}}, 26},
    {"K-type", {{10, 100, 20}, {1, 9}}, {{20, 50, 30}, {2, 5}}, 26},
    {"four layers", {{50, 400, 30, 1000}, {2, 8, 50}}, {{75, 250, 45, 600}, {1.2, 14, 40}}, 29},
    {"Q-type", {{300, 80, 10}, {2, 12}}, {{200, 100, 20}, {3, 10}}, 26},
    {"HK-type", {{100, 10, 300, 30}, {2, 4, 24}}, {{120, 8, 250, 40}, {2.5, 7, 25}}, 26},
    {"H-type far start", {{200, 20, 500}, {3, 15}}, {{300, 10, 2000}, {1, 40}}, 26},
};

TEST_F(FitDamping, NoisyFitsFollowTheReferencePathStepForStep) {
    for (const NoisyCase& c : kNoisyCases) {
        SCOPED_TRACE(c.name);
        const ref::Problem p = problem(c.truth, c.start, c.kmax);
        const ref::Outcome expected = ref::Fit(p).run();
        auto s = soundingFor(p);
        const FitSummary summary = fitModel(*s, *ws);

        EXPECT_NEAR(summary.startSsq, expected.startSsq, 1e-4 * expected.startSsq);
        // The stop rule decides how many linearisations run, the damping
        // levels how many trials each one takes.
        EXPECT_EQ(summary.linearisations, expected.linearisations);
        EXPECT_EQ(summary.trials, expected.trials);
        EXPECT_NEAR(summary.ssq, expected.ssq, 1e-4 * expected.ssq);
        for (std::size_t i = 0; i < c.start.rho.size(); ++i)
            EXPECT_NEAR(s->model.resistivity[i], expected.earth.rho[i], 2e-3 * expected.earth.rho[i]) << "rho" << i + 1;
        for (std::size_t i = 0; i < c.start.h.size(); ++i)
            EXPECT_NEAR(s->model.thickness(static_cast<int>(i)), expected.earth.h[i], 2e-3 * expected.earth.h[i])
                << "h" << i + 1;
    }
}

TEST_F(FitDamping, LevelsAreTheSingularValuesFromLargestToZero) {
    // What the last linearisation of a fit left in the workspace: the
    // singular values by decreasing magnitude, then 0 (tried from the end).
    for (const NoisyCase& c : kNoisyCases) {
        SCOPED_TRACE(c.name);
        const ref::Problem p = problem(c.truth, c.start, c.kmax);
        const ref::Outcome expected = ref::Fit(p).run();
        auto s = soundingFor(p);
        fitModel(*s, *ws);
        const int m = static_cast<int>(expected.lastLevels.size()) - 1;
        for (int i = 0; i <= m; ++i) {
            const double tried = expected.lastLevels[m - i];
            EXPECT_NEAR(std::fabs(ws->dampingLevels[i]), tried, 1e-4 * tried + 1e-6) << "level " << i;
        }
        EXPECT_EQ(ws->dampingLevels[m], 0.0);
    }
}

}  // namespace
}  // namespace orma
