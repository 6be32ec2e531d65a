#pragma once
// The standard logarithmic AB/2 series on which every curve is sampled:
// 99 points at 10^(k/8.876) m, 8.876 steps per decade.

#include <array>

namespace orma {

/// Decades per grid step (= 1/8.876). Every index <-> AB/2 conversion uses it.
inline constexpr double kGridStep = 0.11266336187471834863;
/// ln 10, to take the grid's powers of ten as exp(kLn10 * decades).
inline constexpr double kLn10 = 2.30258509299404568402;
inline constexpr int kGridPoints = 99;   ///< grid indices 0..98 are used
inline constexpr int kGridSlots = 150;   ///< size of the per-grid tables

/// trunc(8.876 * log10(a) + 0.2), truncating toward zero. `a` must be > 0.
int abGridIndex(double a);

/// The exact AB/2 of grid point k: 10^(k/8.876) metres.
double abGridValue(int k);

struct SnappedAb2 {
    int index;
    float nominal;  ///< the customary field value shown and written for the index
};

/// Assigns a measured AB/2 to a grid index: the first row of the field table whose
/// open interval holds `a`, otherwise the index formula with the exact value.
SnappedAb2 snapAb2(double a);

/// The AB/2 each grid index is shown and written with. Readers store nominal
/// field values into it; the forward computation overwrites entries with the
/// exact values.
struct AbGrid {
    std::array<float, kGridSlots> value{};
};

}  // namespace orma
