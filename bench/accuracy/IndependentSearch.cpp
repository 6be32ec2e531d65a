#include "IndependentSearch.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace orma::accuracy {

namespace {

constexpr double kMinLogH = -6.907755278982137;     // ln 1e-3
constexpr double kMaxLogH = 20.72326583694641;      // ln 1e9
constexpr int kMaxIterations = 500;

std::vector<double> toParameters(const Earth& e) {
    std::vector<double> p;
    for (double r : e.rho) p.push_back(std::log(r));
    for (double h : e.thickness) p.push_back(std::log(h));
    return p;
}

/// Resistivities are kept within this factor of the measured range: beyond it
/// a thin layer is known by its conductance or transverse resistance alone,
/// and a thin top layer far more resistive than the curve drives any filter
/// past its accuracy (the sum must cancel rho1 to the last digits).
constexpr double kResistivityReach = 1e4;

struct Bounds {
    double minLogRho = 0.0;
    double maxLogRho = 0.0;
};

Bounds boundsOf(const Curve& curve) {
    const auto [minRho, maxRho] = std::minmax_element(curve.rhoA.begin(), curve.rhoA.end());
    return {std::log(*minRho / kResistivityReach), std::log(*maxRho * kResistivityReach)};
}

Earth toEarth(const std::vector<double>& p, int layers) {
    Earth e;
    for (int i = 0; i < layers; ++i) e.rho.push_back(std::exp(p[static_cast<std::size_t>(i)]));
    for (int i = 0; i + 1 < layers; ++i)
        e.thickness.push_back(std::exp(std::clamp(p[static_cast<std::size_t>(layers + i)], kMinLogH, kMaxLogH)));
    return e;
}

void clampParameters(std::vector<double>& p, int layers, const Bounds& bounds) {
    for (int i = 0; i < static_cast<int>(p.size()); ++i)
        p[static_cast<std::size_t>(i)] = i < layers ? std::clamp(p[static_cast<std::size_t>(i)], bounds.minLogRho, bounds.maxLogRho)
                                                    : std::clamp(p[static_cast<std::size_t>(i)], kMinLogH, kMaxLogH);
}

/// Solves the symmetric positive definite system A x = b (n x n) by Cholesky;
/// false when A is not positive definite.
bool choleskySolve(std::vector<double> A, std::vector<double> b, int n, std::vector<double>& x) {
    for (int j = 0; j < n; ++j) {
        double d = A[static_cast<std::size_t>(j * n + j)];
        for (int k = 0; k < j; ++k) d -= A[static_cast<std::size_t>(j * n + k)] * A[static_cast<std::size_t>(j * n + k)];
        if (!(d > 0.0)) return false;
        d = std::sqrt(d);
        A[static_cast<std::size_t>(j * n + j)] = d;
        for (int i = j + 1; i < n; ++i) {
            double s = A[static_cast<std::size_t>(i * n + j)];
            for (int k = 0; k < j; ++k) s -= A[static_cast<std::size_t>(i * n + k)] * A[static_cast<std::size_t>(j * n + k)];
            A[static_cast<std::size_t>(i * n + j)] = s / d;
        }
    }
    for (int i = 0; i < n; ++i) {
        double s = b[static_cast<std::size_t>(i)];
        for (int k = 0; k < i; ++k) s -= A[static_cast<std::size_t>(i * n + k)] * b[static_cast<std::size_t>(k)];
        b[static_cast<std::size_t>(i)] = s / A[static_cast<std::size_t>(i * n + i)];
    }
    for (int i = n - 1; i >= 0; --i) {
        double s = b[static_cast<std::size_t>(i)];
        for (int k = i + 1; k < n; ++k) s -= A[static_cast<std::size_t>(k * n + i)] * b[static_cast<std::size_t>(k)];
        b[static_cast<std::size_t>(i)] = s / A[static_cast<std::size_t>(i * n + i)];
    }
    x = b;
    return true;
}

double residuals(const Curve& curve, const Earth& earth, std::vector<double>& r, std::vector<double>* J) {
    std::vector<double> logRhoA;
    logApparentResistivity(earth, curve.spacing, logRhoA, J);
    double ssq = 0.0;
    r.resize(logRhoA.size());
    for (std::size_t k = 0; k < logRhoA.size(); ++k) {
        r[k] = std::log(curve.rhoA[k]) - logRhoA[k];
        ssq += r[k] * r[k];
    }
    return std::isfinite(ssq) ? ssq : INFINITY;
}

}  // namespace

double curveSsq(const Curve& curve, const Earth& earth) {
    std::vector<double> r;
    return residuals(curve, earth, r, nullptr);
}

double refine(const Curve& curve, Earth& earth, int* iterations) {
    const int layers = static_cast<int>(earth.rho.size());
    const int n = earth.parameters();
    const std::size_t rows = curve.spacing.size();
    const Bounds bounds = boundsOf(curve);
    std::vector<double> p = toParameters(earth);
    clampParameters(p, layers, bounds);
    std::vector<double> r, J, trialR;
    double ssq = residuals(curve, toEarth(p, layers), r, &J);
    double mu = -1.0, nu = 2.0;
    int done = 0;
    for (int iteration = 0; iteration < kMaxIterations && ssq > 0.0; ++iteration) {
        ++done;
        std::vector<double> A(static_cast<std::size_t>(n * n), 0.0), g(static_cast<std::size_t>(n), 0.0);
        for (std::size_t k = 0; k < rows; ++k) {
            const double* row = &J[k * static_cast<std::size_t>(n)];
            for (int i = 0; i < n; ++i) {
                g[static_cast<std::size_t>(i)] += row[i] * r[k];
                for (int j = 0; j < n; ++j) A[static_cast<std::size_t>(i * n + j)] += row[i] * row[j];
            }
        }
        double gradient = 0.0, largest = 0.0;
        for (int i = 0; i < n; ++i) {
            gradient = std::max(gradient, std::fabs(g[static_cast<std::size_t>(i)]));
            largest = std::max(largest, A[static_cast<std::size_t>(i * n + i)]);
        }
        if (gradient < 1e-12 * std::max(ssq, 1e-30) || largest == 0.0) break;
        if (mu < 0.0) mu = 1e-3;
        bool accepted = false;
        while (!accepted) {
            std::vector<double> damped = A;
            for (int i = 0; i < n; ++i)
                damped[static_cast<std::size_t>(i * n + i)] +=
                    mu * std::max(A[static_cast<std::size_t>(i * n + i)], 1e-12 * largest);
            std::vector<double> step;
            if (!choleskySolve(damped, g, n, step)) {
                mu *= nu;
                nu *= 2.0;
                if (mu > 1e20) break;
                continue;
            }
            std::vector<double> trial = p;
            for (int i = 0; i < n; ++i) trial[static_cast<std::size_t>(i)] += step[static_cast<std::size_t>(i)];
            clampParameters(trial, layers, bounds);
            std::vector<double> trialJ;
            const double trialSsq = residuals(curve, toEarth(trial, layers), trialR, &trialJ);
            double predicted = 0.0;  // 2 step.g - step.A.step, the model's decrease
            for (int i = 0; i < n; ++i) {
                double As = 0.0;
                for (int j = 0; j < n; ++j) As += A[static_cast<std::size_t>(i * n + j)] * step[static_cast<std::size_t>(j)];
                predicted += step[static_cast<std::size_t>(i)] * (2.0 * g[static_cast<std::size_t>(i)] - As);
            }
            if (trialSsq < ssq) {
                const double rho = predicted > 0.0 ? (ssq - trialSsq) / predicted : 1.0;
                mu *= std::max(1.0 / 3.0, 1.0 - std::pow(2.0 * rho - 1.0, 3));
                nu = 2.0;
                const double gain = ssq - trialSsq;
                p = trial;
                r = trialR;
                J = trialJ;
                ssq = trialSsq;
                accepted = true;
                if (gain < 1e-12 * ssq) iteration = kMaxIterations;  // no longer moving
            } else {
                mu *= nu;
                nu *= 2.0;
                if (mu > 1e20) break;
            }
        }
        if (!accepted) break;
    }
    earth = toEarth(p, layers);
    if (iterations != nullptr) *iterations += done;
    return ssq;
}

SearchResult independentSearch(const Curve& curve, int layers, int starts, std::uint64_t seed) {
    const auto [minRho, maxRho] = std::minmax_element(curve.rhoA.begin(), curve.rhoA.end());
    const auto [minS, maxS] = std::minmax_element(curve.spacing.begin(), curve.spacing.end());
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> logRho(std::log(*minRho / 50.0), std::log(*maxRho * 50.0));
    std::uniform_real_distribution<double> logDepth(std::log(*minS / 10.0), std::log(*maxS * 2.0));
    SearchResult result;
    result.ssq = INFINITY;
    for (int start = 0; start < starts; ++start) {
        Earth earth;
        for (int i = 0; i < layers; ++i) earth.rho.push_back(std::exp(logRho(rng)));
        std::vector<double> depth;
        for (int i = 0; i + 1 < layers; ++i) depth.push_back(std::exp(logDepth(rng)));
        std::sort(depth.begin(), depth.end());
        double above = 0.0;
        for (double d : depth) {
            earth.thickness.push_back(std::max(d - above, 1e-3));
            above = std::max(d, above + 1e-3);
        }
        const double ssq = refine(curve, earth, &result.iterations);
        ++result.starts;
        if (ssq < result.ssq) {
            result.ssq = ssq;
            result.best = earth;
        }
    }
    return result;
}

}  // namespace orma::accuracy
