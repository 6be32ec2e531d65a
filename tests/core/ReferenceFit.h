#pragma once
// An independent reference of the Schlumberger curve and of the damped fit,
// written for the tests from the method's definition and sharing no code with
// the engine: the curve in double precision with tanh, derivatives by central
// differences, the singular values from a Jacobi eigen-decomposition of J^T J,
// and the damped step in its normal-equation form
//     step(mu) = sum over c with w_c > 0.05 of v_c (v_c . J^T r) / (mu^2 + w_c^2),
// which equals the truncated SVD step with damping mu whatever signs or order
// an SVD gives its singular vectors. Damping levels are tried as 0, then the
// singular values from the smallest to the largest; an accepted step that
// improves the error by less than 2.5 % ends the fit.

#include <algorithm>
#include <cmath>
#include <vector>

namespace orma::test::reference {

inline constexpr double kDecadesPerStep = 0.11266336187471834863;
inline constexpr double kTaps[13] = {0.0225, 0.0336, 0.2525, 0.8183, 1.6448, -2.7841, 1.3396,
                                     -0.4390, 0.1605, -0.0746, 0.0416, -0.0262, 0.0105};

/// A layered earth: rho.size() layers, h.size() == rho.size() - 1 thicknesses.
struct Earth {
    std::vector<double> rho;
    std::vector<double> h;
};

/// Resistivity transform at abscissa u: Pekeris recursion from the half-space up.
/// Layers above the half-space are computed at 1e-6 ohm-m at least; the
/// half-space is taken as it is.
inline double transformAt(const Earth& earth, double u) {
    const int n = static_cast<int>(earth.h.size());
    double t = earth.rho[n];
    for (int layer = n - 1; layer >= 0; --layer) {
        const double r = std::max(earth.rho[layer], 1e-6);
        const double w = r * std::tanh(earth.h[layer] / u);
        t = (w + t) / (1.0 + w * t / (r * r));
    }
    return t;
}

/// Apparent resistivity at grid point k: the 13 taps two grid steps apart,
/// tap n (n = -2..10) on the transform at grid position k - 2n.
inline double apparentResistivity(const Earth& earth, int k) {
    double sum = 0.0;
    for (int tap = 0; tap < 13; ++tap) {
        const int m = k - 2 * (tap - 2);
        sum += kTaps[tap] * transformAt(earth, std::pow(10.0, m * kDecadesPerStep));
    }
    return sum;
}

inline std::vector<double> curve(const Earth& earth, int kmin, int kmax) {
    std::vector<double> values;
    for (int k = kmin; k <= kmax; ++k) values.push_back(apparentResistivity(earth, k));
    return values;
}

inline double ssq(const std::vector<double>& data, const std::vector<double>& computed) {
    double sum = 0.0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const double r = std::log(data[i] / computed[i]);
        sum += r * r;
    }
    return sum;
}

/// Eigenvalues and eigenvectors (columns of `vectors`) of a small symmetric
/// matrix by cyclic Jacobi rotations.
inline void symmetricEigen(std::vector<std::vector<double>> a, std::vector<double>& values,
                           std::vector<std::vector<double>>& vectors) {
    const int n = static_cast<int>(a.size());
    vectors.assign(n, std::vector<double>(n, 0.0));
    for (int i = 0; i < n; ++i) vectors[i][i] = 1.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0;
        for (int p = 0; p < n; ++p)
            for (int q = p + 1; q < n; ++q) off += a[p][q] * a[p][q];
        if (off < 1e-30) break;
        for (int p = 0; p < n; ++p) {
            for (int q = p + 1; q < n; ++q) {
                if (a[p][q] == 0.0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0);
                const double s = t * c;
                for (int k = 0; k < n; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < n; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < n; ++k) {
                    const double vkp = vectors[k][p], vkq = vectors[k][q];
                    vectors[k][p] = c * vkp - s * vkq;
                    vectors[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    values.resize(n);
    for (int i = 0; i < n; ++i) values[i] = a[i][i];
}

/// A fitting problem: data on grid rows kmin..kmax, a start earth, and which
/// values are free. Parameters run rho1, h1, rho2, h2, ..., rhoL.
struct Problem {
    std::vector<double> data;
    int kmin = 0;
    int kmax = 0;
    Earth start;
    std::vector<bool> rhoFree;  ///< one per layer
    std::vector<bool> hFree;    ///< one per layer above the half-space
};

struct Outcome {
    Earth earth;
    double startSsq = 0.0;
    double ssq = 0.0;
    int linearisations = 0;
    int trials = 0;
    std::vector<double> lastLevels;  ///< damping levels of the last linearisation, in the order tried
    /// Smallest distance of a trial's relative improvement from the 2.5 % stop,
    /// and of a trial error from the error it had to beat (relative): how far
    /// the path is from a tie that rounding could tip.
    double stopMargin = 1e300;
    double acceptMargin = 1e300;
};

class Fit {
public:
    explicit Fit(const Problem& problem) : p_(problem) {
        for (std::size_t i = 0; i < p_.start.rho.size(); ++i) {
            if (p_.rhoFree[i]) params_.push_back({false, i});
            if (i < p_.start.h.size() && p_.hFree[i]) params_.push_back({true, i});
        }
    }

    Outcome run() const {
        Outcome out;
        Earth earth = p_.start;
        double current = ssq(p_.data, curve(earth, p_.kmin, p_.kmax));
        out.startSsq = current;
        const int m = static_cast<int>(params_.size());
        for (bool finished = false; !finished && out.linearisations < 1000;) {
            ++out.linearisations;
            const double toBeat = current;
            std::vector<double> levels;
            std::vector<std::vector<double>> directions;
            const std::vector<double> projected = linearise(earth, levels, directions);
            std::vector<double> order = {0.0};
            for (double w2 : levels) order.push_back(std::sqrt(std::max(w2, 0.0)));
            std::sort(order.begin() + 1, order.end());
            out.lastLevels = order;

            bool accepted = false;
            for (double mu : order) {
                std::vector<double> step(m, 0.0);
                for (int c = 0; c < m; ++c) {
                    if (!(std::sqrt(std::max(levels[c], 0.0)) > 0.05)) continue;
                    for (int i = 0; i < m; ++i) step[i] += directions[i][c] * projected[c] / (mu * mu + levels[c]);
                }
                const Earth trial = moved(earth, step);
                const double trialSsq = ssq(p_.data, curve(trial, p_.kmin, p_.kmax));
                ++out.trials;
                out.acceptMargin = std::min(out.acceptMargin, std::fabs(trialSsq - toBeat) / toBeat);
                if (!(trialSsq < toBeat)) continue;
                accepted = true;
                earth = trial;
                current = trialSsq;
                const double improvement = (toBeat - trialSsq) / trialSsq;
                out.stopMargin = std::min(out.stopMargin, std::fabs(improvement - 0.025));
                if (improvement < 0.025) finished = true;
                break;
            }
            if (!accepted) finished = true;
        }
        out.earth = earth;
        out.ssq = current;
        return out;
    }

    /// d ln(rhoA) / d ln(parameter) at every data row, by central differences.
    std::vector<std::vector<double>> jacobian(const Earth& earth) const {
        const double h = 1e-5;
        std::vector<std::vector<double>> j(p_.data.size(), std::vector<double>(params_.size()));
        for (std::size_t c = 0; c < params_.size(); ++c) {
            std::vector<double> delta(params_.size(), 0.0);
            delta[c] = h;
            const std::vector<double> up = curve(moved(earth, delta), p_.kmin, p_.kmax);
            delta[c] = -h;
            const std::vector<double> down = curve(moved(earth, delta), p_.kmin, p_.kmax);
            for (std::size_t r = 0; r < p_.data.size(); ++r) j[r][c] = (std::log(up[r]) - std::log(down[r])) / (2 * h);
        }
        return j;
    }

private:
    struct Parameter {
        bool thickness;
        std::size_t layer;
    };

    Earth moved(const Earth& earth, const std::vector<double>& logStep) const {
        Earth trial = earth;
        for (std::size_t c = 0; c < params_.size(); ++c) {
            double& value = params_[c].thickness ? trial.h[params_[c].layer] : trial.rho[params_[c].layer];
            value *= std::exp(logStep[c]);
        }
        return trial;
    }

    /// Squared singular values (eigenvalues of J^T J), their vectors, and the
    /// projections v_c . J^T r of the log residual.
    std::vector<double> linearise(const Earth& earth, std::vector<double>& levels,
                                  std::vector<std::vector<double>>& directions) const {
        const std::vector<std::vector<double>> j = jacobian(earth);
        const std::vector<double> computed = curve(earth, p_.kmin, p_.kmax);
        const std::size_t m = params_.size();
        std::vector<std::vector<double>> normal(m, std::vector<double>(m, 0.0));
        std::vector<double> gradient(m, 0.0);
        for (std::size_t r = 0; r < p_.data.size(); ++r) {
            const double residual = std::log(p_.data[r] / computed[r]);
            for (std::size_t a = 0; a < m; ++a) {
                gradient[a] += j[r][a] * residual;
                for (std::size_t b = 0; b < m; ++b) normal[a][b] += j[r][a] * j[r][b];
            }
        }
        symmetricEigen(normal, levels, directions);
        std::vector<double> projected(m, 0.0);
        for (std::size_t c = 0; c < m; ++c)
            for (std::size_t i = 0; i < m; ++i) projected[c] += directions[i][c] * gradient[i];
        return projected;
    }

    Problem p_;
    std::vector<Parameter> params_;
};

}  // namespace orma::test::reference
