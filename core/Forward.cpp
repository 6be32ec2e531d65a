#include "core/Forward.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/FitWorkspace.h"
#include "core/ForwardAtSpacings.h"

namespace orma {

namespace {

// Transform samples m = -20 .. 98 + 4, stored at m + 20.
constexpr int kFirstSample = -kSamplesBelow;

/// The abscissae u(m) = 10^(m/8.876) as floats. They never change, so they are
/// computed once instead of on every mouse move.
const std::array<float, kMaxSamples>& abscissae() {
    static const std::array<float, kMaxSamples> table = [] {
        std::array<float, kMaxSamples> u{};
        for (int i = 0; i < kMaxSamples; ++i) {
            const int m = i + kFirstSample;
            u[i] = static_cast<float>(std::exp(kLn10 * m * kGridStep));
        }
        return u;
    }();
    return table;
}

bool rangeComputable(const Sounding& s, int interfaceCount) {
    return interfaceCount >= 0 && interfaceCount < kMaxLayers && s.minGridIndex >= 0 &&
           s.maxGridIndex < kGridPoints && s.minGridIndex <= s.maxGridIndex;
}

/// The shared body of both modes. `rho` holds N + 1 working resistivities
/// (changed here by the floor), `h` the N thicknesses.
int computeCurve(Sounding& s, int n, float* rho, const double* h) {
    const int kmin = s.minGridIndex;
    const int kmax = s.maxGridIndex;

    const std::array<float, kMaxSamples>& u = abscissae();
    // Grid point k lies at sample m = k: the exact AB/2 values are the abscissae.
    for (int k = 0; k <= kmax; ++k) s.grid.value[k] = u[k - kFirstSample];

    // The half-space itself is not floored: a resistivity of 0 there simply
    // starts the recursion at zero.
    for (int layer = 0; layer < n; ++layer)
        if (rho[layer] < kMinResistivity) rho[layer] = kMinResistivity;

    // The recursion runs layer by layer across all samples rather than sample
    // by sample: the samples are independent, so the divisions of neighbouring
    // samples overlap instead of waiting on each other. Each sample still sees
    // exactly the same operations in the same order.
    std::array<float, kMaxSamples> transform;
    const int samples = kmax + kSamplesAbove - kFirstSample + 1;
    for (int i = 0; i < samples; ++i) {
        if (n > 0 && std::fabs(u[i]) < 1e-11f) return kFailed;
        transform[i] = rho[n];
    }
    for (int layer = n - 1; layer >= 0; --layer) {
        const double minusTwoH = -2.0 * h[layer];
        const float r = rho[layer];
        const float r2 = r * r;
        for (int i = 0; i < samples; ++i) {
            // Below -104 the exponential rounds to 0 as a float anyway.
            const double x = minusTwoH / u[i];
            const float e = x < -104.0 ? 0.0f : static_cast<float>(std::exp(x));
            if (std::fabs(e + 1.0f) < 1e-8f) return kFailed;
            const float w = (1.0f - e) * r / (e + 1.0f);
            const float t = transform[i];
            transform[i] = (w + t) / (t * w / r2 + 1.0f);
        }
    }

    for (int k = kmin; k <= kmax; ++k) {
        float sum = 0.0f;
        for (int tap = 0; tap < kFilterTaps; ++tap) {
            const int m = k - 2 * (tap + kFilterFirstTap);
            sum += kFilterCoefficients[tap] * transform[m - kFirstSample];
        }
        s.computedRho[k] = sum;
        s.computedPacked[k - kmin] = sum;
    }
    return kSuccess;
}

/// The curve by the filter and at the spacings the options choose, in double.
/// Every resistivity, the half-space's included, is floored at 1e-6.
int computeCurveWithOptions(Sounding& s, int n, const double* resistivity, const double* h,
                            const ComputationOptions& options) {
    const int kmin = s.minGridIndex;
    const int kmax = s.maxGridIndex;
    const std::array<float, kMaxSamples>& u = abscissae();
    for (int k = 0; k <= kmax; ++k) s.grid.value[k] = u[k - kFirstSample];

    std::array<double, kMaxLayers> rho;
    for (int layer = 0; layer <= n; ++layer)
        rho[layer] = resistivity[layer] < kMinResistivity ? kMinResistivity : resistivity[layer];
    const int rows = kmax - kmin + 1;
    std::array<double, kGridPoints> spacing{};
    std::array<double, kGridPoints> curve{};
    for (int j = 0; j < rows; ++j) spacing[j] = rowSpacing(s, kmin + j, options.measuredSpacings);
    if (computeCurveAtSpacings(options, n + 1, rho.data(), h, spacing.data(), rows, curve.data()) != kSuccess)
        return kFailed;
    for (int j = 0; j < rows; ++j) {
        const float value = static_cast<float>(curve[j]);
        s.computedRho[kmin + j] = value;
        s.computedPacked[j] = value;
    }
    return kSuccess;
}

}  // namespace

int computeForward(Sounding& sounding, const ComputationOptions& options) {
    const LayerModel& model = sounding.model;
    const int n = model.interfaceCount;
    if (!rangeComputable(sounding, n)) return kFailed;
    std::array<double, kMaxLayers> h;
    for (int i = 0; i < n; ++i) h[i] = model.thickness(i);
    int result;
    if (options.standardForward()) {
        std::array<float, kMaxLayers> rho;
        for (int i = 0; i <= n; ++i) rho[i] = model.resistivity[i];
        result = computeCurve(sounding, n, rho.data(), h.data());
    } else {
        std::array<double, kMaxLayers> rho;
        for (int i = 0; i <= n; ++i) rho[i] = model.resistivity[i];
        result = computeCurveWithOptions(sounding, n, rho.data(), h.data(), options);
    }
    if (result == kSuccess) sounding.ssq = computeSsq(sounding);
    return result;
}

int computeForward(Sounding& sounding, const double* fitResistivity, const double* fitThickness,
                   const ComputationOptions& options) {
    const int n = sounding.model.interfaceCount;
    if (!rangeComputable(sounding, n)) return kFailed;
    if (!options.standardForward()) return computeCurveWithOptions(sounding, n, fitResistivity, fitThickness, options);
    std::array<float, kMaxLayers> rho;
    for (int i = 0; i <= n; ++i) rho[i] = static_cast<float>(fitResistivity[i]);
    return computeCurve(sounding, n, rho.data(), fitThickness);
}

double computeSsq(const Sounding& sounding) {
    double sum = 0.0;
    for (int k = sounding.minGridIndex; k <= sounding.maxGridIndex; ++k) {
        if (k < 0 || k >= kGridSlots || !sounding.hasComposite(k)) continue;
        const double computed = sounding.computedRho[k];
        if (!(computed > 0.0) || !std::isfinite(computed)) return std::numeric_limits<double>::infinity();
        const double ratio = std::log(static_cast<double>(sounding.composite(k)) / computed);
        sum += ratio * ratio;
    }
    return sum;
}

}  // namespace orma
