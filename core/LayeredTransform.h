#pragma once
// The resistivity transform T(lambda) of a layered earth and its derivatives,
// in double, shared by the computations that evaluate it at abscissae of
// their own choosing (any AB/2, the long filter). Layer i has resistivity
// rho[i] and, above the half-space, thickness h[i].

#include <array>

#include "core/Sounding.h"

namespace orma {

/// Beyond 2 lambda h = 40, tanh(lambda h) is 1 in double: the layer hides
/// everything below it and its top transform is its own resistivity.
inline constexpr double kOpaqueLayer = 40.0;

/// T(lambda) - rho[0] at the abscissae lambda[begin..end) into out[begin..end).
/// The recursion runs layer by layer across the samples so that the
/// divisions of neighbouring samples overlap.
void transformBelowTop(int layers, const double* rho, const double* h, const double* lambda, int begin, int end,
                       double* out);

/// Derivatives of T at abscissa u = 1/lambda by every layer resistivity
/// (dRho[k - 1] for layer k = 1..layers) and thickness (dH[k - 1], k < layers),
/// through the differentiated Pekeris recursion. No floor is applied.
void differentiateTransform(double u, int layers, const double* rho, const double* h,
                            std::array<double, kMaxLayers>& dRho, std::array<double, kMaxLayers>& dH);

}  // namespace orma
