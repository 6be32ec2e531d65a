#include "io/RoundTripFixedText.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "io/FixedFloatText.h"

namespace orma {

namespace {

/// From 16 on, half a float's spacing exceeds half a millionth, so the six
/// decimals always find the float again.
constexpr float kSixDecimalsAlwaysSuffice = 16.0f;

bool readsBackAs(const char* begin, const char* end, float value) {
    float back = 0.0f;
    const auto result = std::from_chars(begin, end, back, std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != end) return false;
    return std::memcmp(&back, &value, sizeof value) == 0;
}

}  // namespace

char* writeRoundTripFixed(char* dest, float value) {
    char* end = writeFixed6(dest, value);
    if (!std::isfinite(value) || std::fabs(value) >= kSixDecimalsAlwaysSuffice || readsBackAs(dest, end, value)) {
        return end;
    }
    // Six decimals are the nearest six-decimal number; as it misses the float,
    // so does every shorter one, and the shortest exact text has more decimals.
    return std::to_chars(dest, dest + kMaxRoundTripFixedLength, value, std::chars_format::fixed).ptr;
}

void appendRoundTripFixed(std::string& out, float value) {
    char buffer[kMaxRoundTripFixedLength];
    out.append(buffer, writeRoundTripFixed(buffer, value));
}

}  // namespace orma
