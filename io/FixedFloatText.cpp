#include "io/FixedFloatText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace orma {

namespace {

/// Below this magnitude value * 10^6 is formed exactly in 64 bits: a float's
/// 24-bit mantissa times 10^6 needs 44 bits, shifted left by at most 19.
constexpr float kExactLimit = 8796093022208.0f;  // 2^43

void appendSlow(std::string& out, float value) {
    char buffer[64];
    const double wide = value;
    if (std::isnan(wide)) {
        out += std::signbit(wide) ? "-nan" : "nan";
        return;
    }
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, wide, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

}  // namespace

void appendFixed6(std::string& out, float value) {
    const float magnitude = std::fabs(value);
    if (!(magnitude < kExactLimit)) {
        appendSlow(out, value);
        return;
    }
    // magnitude = mantissa * 2^exponent with an integer mantissa below 2^24.
    int exponent = 0;
    const float fraction = std::frexp(magnitude, &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
    exponent -= 24;
    const std::uint64_t scaled = mantissa * 1000000u;
    std::uint64_t micro = 0;  // magnitude * 10^6, rounded half to even
    if (exponent >= 0) {
        micro = scaled << exponent;
    } else if (-exponent < 64) {
        const int shift = -exponent;
        micro = scaled >> shift;
        const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (remainder > half || (remainder == half && (micro & 1u) != 0)) ++micro;
    }
    if (std::signbit(value)) out.push_back('-');
    char digits[32];
    const auto whole = std::to_chars(digits, digits + sizeof digits, micro / 1000000u);
    out.append(digits, whole.ptr);
    std::uint64_t decimals = micro % 1000000u;
    char tail[7];
    tail[0] = '.';
    for (int i = 6; i >= 1; --i) {
        tail[i] = static_cast<char>('0' + decimals % 10u);
        decimals /= 10u;
    }
    out.append(tail, 7);
}

}  // namespace orma
