#pragma once
// What every fuzz target checks after feeding its input to the code: a
// failed check prints itself and aborts, which libFuzzer reports as a crash
// with the input that caused it.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Sounding.h"

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace orma::fuzz {

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

/// The tables of a sounding never hold anything a later step could index
/// out of range or take the logarithm of.
inline void checkSane(const Sounding& s) {
    FUZZ_CHECK(s.points.pointCount >= 0 && s.points.pointCount <= kMaxPoints);
    FUZZ_CHECK(s.minGridIndex >= 0 && s.maxGridIndex < kGridPoints);
    for (int i = 0; i < s.points.pointCount; ++i) {
        FUZZ_CHECK(s.points.gridIndex[i] >= 0 && s.points.gridIndex[i] < kGridPoints);
        FUZZ_CHECK(s.points.branch[i] >= 0 && s.points.branch[i] <= kMaxBranches);
        FUZZ_CHECK(std::isfinite(s.points.ab2[i]) && s.points.ab2[i] > 0.0f);
        FUZZ_CHECK(std::isfinite(s.points.rhoA[i]) && s.points.rhoA[i] > 0.0f);
    }
    for (int k = 0; k < kGridPoints; ++k) {
        for (int j = 0; j < kBranchColumns; ++j) {
            const float v = s.branches.shiftedRho[k][j];
            FUZZ_CHECK(v == kMissing || (std::isfinite(v) && v > 0.0f) || v == 0.0f);
        }
    }
}

/// A sounding holding a good curve, as before the user opens a damaged file.
std::unique_ptr<Sounding> loadedSounding();

}  // namespace orma::fuzz
