#include "core/ForwardAtSpacings.h"

#include <array>
#include <cmath>

#include "core/AccurateForward.h"
#include "core/Forward.h"
#include "core/LayeredTransform.h"

namespace orma {

double rowSpacing(const Sounding& sounding, int k, bool measured) {
    if (measured) {
        double sum = 0.0;
        int count = 0;
        for (int j = 1; j < kBranchColumns; ++j) {
            const float ab2 = sounding.branches.measuredAb2[k][j];
            if (ab2 > 0.0f && std::isfinite(ab2)) {
                sum += ab2;
                ++count;
            }
        }
        if (count > 0) return sum / count;
    }
    return abGridValue(k);
}

int computeShortFilterCurve(int layerCount, const double* resistivity, const double* thickness,
                            const double* ab2, int count, double* rhoA) {
    // Tap n of the filter sits 2n grid steps below the spacing, as on the grid.
    std::array<double, kFilterTaps> lambda;
    std::array<double, kFilterTaps> kernel;
    for (int i = 0; i < count; ++i) {
        if (!(ab2[i] > 0.0) || !std::isfinite(ab2[i])) return kFailed;
        for (int tap = 0; tap < kFilterTaps; ++tap) {
            const int n = tap + kFilterFirstTap;
            lambda[tap] = 1.0 / (ab2[i] * std::exp(-kLn10 * 2 * n * kGridStep));
        }
        transformBelowTop(layerCount, resistivity, thickness, lambda.data(), 0, kFilterTaps, kernel.data());
        double sum = 0.0;
        for (int tap = 0; tap < kFilterTaps; ++tap) sum += kFilterCoefficients[tap] * (kernel[tap] + resistivity[0]);
        if (!std::isfinite(sum)) return kFailed;
        rhoA[i] = sum;
    }
    return kSuccess;
}

int computeCurveAtSpacings(const ComputationOptions& options, int layerCount, const double* resistivity,
                           const double* thickness, const double* ab2, int count, double* rhoA) {
    if (options.accurateForward)
        return computeAccurateCurve(layerCount, resistivity, thickness, ab2, count, rhoA);
    return computeShortFilterCurve(layerCount, resistivity, thickness, ab2, count, rhoA);
}

}  // namespace orma
