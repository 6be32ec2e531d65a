#pragma once
// The independent global search the global fit is measured against: plain
// Levenberg-Marquardt (Marquardt's diagonal scaling, Nielsen's damping
// update) on ln rho and ln h from many random starts, with the forward
// computation of IndependentForward.h. It shares no code with the program's
// fit.

#include <cstdint>
#include <vector>

#include "IndependentForward.h"

namespace orma::accuracy {

/// The data: spacings and measured apparent resistivities.
struct Curve {
    std::vector<double> spacing;
    std::vector<double> rhoA;
};

/// Sum of squared ln(measured / computed).
double curveSsq(const Curve& curve, const Earth& earth);

struct SearchResult {
    Earth best;
    double ssq = 0.0;
    int starts = 0;
    int iterations = 0;  ///< over all starts
};

/// `starts` random starts (ln rho uniform between a fiftieth of the smallest
/// and fifty times the largest apparent resistivity, interface depths
/// log-uniform between a tenth of the shortest and twice the longest
/// spacing), each refined until it stops improving; resistivities are kept
/// within a factor of 10^4 of the measured range and thicknesses within 1 mm
/// to 1e9 m.
SearchResult independentSearch(const Curve& curve, int layers, int starts, std::uint64_t seed);

/// Refines one earth by the same Levenberg-Marquardt iteration.
double refine(const Curve& curve, Earth& earth, int* iterations = nullptr);

}  // namespace orma::accuracy
