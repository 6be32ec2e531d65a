#pragma once
// A long published digital linear filter for Hankel transforms of order 1:
//   integral_0^inf f(lambda) J1(lambda r) dlambda
//     ~ (1/r) * sum_i f(b_i / r) * w_i,   b_i = exp(kHankelJ1Step * (i - kHankelJ1Centre)).
// The abscissae are spaced evenly in ln, so transforms at r values spaced by
// the same step share their kernel samples (lagged convolution).

#include <array>

namespace orma {

inline constexpr int kHankelJ1Taps = 201;
inline constexpr int kHankelJ1Centre = 100;  ///< the tap whose abscissa is 1
inline constexpr double kHankelJ1Step = 0.124;  ///< natural-log spacing of the abscissae

/// The weights w_i, i = 0..200 (source cited with the table).
extern const std::array<double, kHankelJ1Taps> kHankelJ1Weights;

}  // namespace orma
