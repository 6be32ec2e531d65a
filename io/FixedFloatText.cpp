#include "io/FixedFloatText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace orma {

namespace {

char* writeSlow(char* dest, float value) {
    const double wide = value;
    if (std::isnan(wide)) {
        const char* text = std::signbit(wide) ? "-nan" : "nan";
        const std::size_t length = std::strlen(text);
        std::memcpy(dest, text, length);
        return dest + length;
    }
    return std::to_chars(dest, dest + kMaxFixed6Length, wide, std::chars_format::fixed, 6).ptr;
}

}  // namespace

void appendFixed6(std::string& out, float value) {
    char buffer[kMaxFixed6Length];
    out.append(buffer, writeFixed6(buffer, value));
}

char* writeFixed6(char* dest, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const int biasedExponent = static_cast<int>((bits >> 23) & 0xFFu);
    // value = mantissa * 2^exponent with an integer mantissa below 2^24.
    std::uint64_t mantissa = bits & 0x7FFFFFu;
    int exponent = -149;
    if (biasedExponent != 0) {
        mantissa |= 0x800000u;
        exponent = biasedExponent - 150;
    }
    // Beyond 2^43 (and for inf and nan) value * 10^6 no longer fits 64 bits.
    if (exponent > 19) return writeSlow(dest, value);
    const std::uint64_t scaled = mantissa * 1000000u;
    std::uint64_t micro = 0;  // |value| * 10^6, rounded half to even
    if (exponent >= 0) {
        micro = scaled << exponent;
    } else if (-exponent < 64) {
        const int shift = -exponent;
        micro = scaled >> shift;
        const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (remainder > half || (remainder == half && (micro & 1u) != 0)) ++micro;
    }
    char buffer[32];
    char* end = buffer + sizeof buffer;
    char* p = end;
    std::uint64_t decimals = micro % 1000000u;
    std::uint64_t whole = micro / 1000000u;
    for (int i = 0; i < 6; ++i) {
        *--p = static_cast<char>('0' + decimals % 10u);
        decimals /= 10u;
    }
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + whole % 10u);
        whole /= 10u;
    } while (whole != 0);
    if (negative) *--p = '-';
    const auto length = static_cast<std::size_t>(end - p);
    std::memcpy(dest, p, length);
    return dest + length;
}

}  // namespace orma
