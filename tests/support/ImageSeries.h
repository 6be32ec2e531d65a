#pragma once
// The exact apparent resistivity of two layers over a Schlumberger array, by
// the image series: the reference of the forward filter tests.

#include <cmath>

namespace orma::test {

/// rhoA(s) = rho1 (1 + 2 s^3 sum k^n / (s^2 + (2nh)^2)^(3/2)), k = (rho2 - rho1) / (rho2 + rho1).
/// Near ratios of 0.001 or 1000 |k| is 0.998, so the sum runs until |k|^n is
/// below 1e-18 (some 21,000 terms) rather than a fixed count.
inline double imageSeries(double rho1, double rho2, double h, double s) {
    const double k = (rho2 - rho1) / (rho2 + rho1);
    double sum = 0.0;
    double power = 1.0;
    for (int n = 1; std::fabs(power) > 1e-18 && n < 1000000; ++n) {
        power *= k;
        const double image = 2.0 * n * h;
        sum += power / std::pow(s * s + image * image, 1.5);
    }
    return rho1 * (1.0 + 2.0 * s * s * s * sum);
}

}  // namespace orma::test
