#pragma once
// A forward computation of its own for the accuracy check of the global fit:
// the Schlumberger apparent resistivity of a layered earth in double
// precision, written apart from the program's forward code so that a fault
// there cannot hide here.
//
//   rhoA(s) = rho1 + sum_i w_i b_i (T(b_i / s) - rho1)
//
// with Key's 201-point J1 filter (the published weights, evaluated directly at
// each spacing: no lagged convolution, no interpolation), T the resistivity
// transform by the plain recursion from the half-space up, and the analytic
// derivatives of ln rhoA by every ln rho and ln h carried through the same
// recursion. quadratureApparentResistivity integrates the Hankel transform
// numerically instead, to check the filter on a few models.

#include <vector>

namespace orma::accuracy {

struct Earth {
    std::vector<double> rho;        ///< L resistivities, the last the half-space
    std::vector<double> thickness;  ///< L - 1 thicknesses
    int parameters() const { return static_cast<int>(rho.size() + thickness.size()); }
};

/// ln rhoA at each spacing; with `jacobian` non-null also d ln rhoA / d p for
/// p = ln rho1..ln rhoL, ln h1..ln h(L-1), row by row (spacings x parameters).
void logApparentResistivity(const Earth& earth, const std::vector<double>& spacings, std::vector<double>& logRhoA,
                            std::vector<double>* jacobian = nullptr);

/// The apparent resistivity at one spacing by Gauss-Legendre quadrature of the
/// Hankel integral between the zeros of J1 (slow; a check only).
double quadratureApparentResistivity(const Earth& earth, double spacing);

}  // namespace orma::accuracy
