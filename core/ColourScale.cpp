#include "core/ColourScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/DecimalText.h"

namespace orma {

namespace {

constexpr double kNarrowestRange = 0.1;  // decades

std::uint32_t packRgb(double r, double g, double b) {
    const auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

/// What stands between the two values of a typed range: blanks, a semicolon,
/// and a comma where the comma is not the decimal sign.
bool isRangeSeparator(char c, std::string_view decimalSeparator) {
    return c == ' ' || c == '\t' || c == ';' || (c == ',' && decimalSeparator != ",");
}

/// printf "%.Ng" without the process locale.
std::string generalDigits(double value, int digits) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("?");
}

}  // namespace

LogRange normalisedRange(double lowLog, double highLog) {
    if (!std::isfinite(lowLog) || !std::isfinite(highLog)) return LogRange{};
    if (lowLog > highLog) std::swap(lowLog, highLog);
    if (highLog - lowLog < kNarrowestRange) {
        const double middle = 0.5 * (lowLog + highLog);
        return LogRange{middle - 0.5, middle + 0.5};
    }
    return LogRange{lowLog, highLog};
}

std::optional<LogRange> parseColourRange(std::string_view text, std::string_view decimalSeparator) {
    std::vector<double> values;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isRangeSeparator(text[at], decimalSeparator)) ++at;
        std::size_t end = at;
        while (end < text.size() && !isRangeSeparator(text[end], decimalSeparator)) ++end;
        if (end > at) {
            const std::optional<double> value = parseTypedDecimal(text.substr(at, end - at), decimalSeparator);
            if (!value) return std::nullopt;
            values.push_back(*value);
        }
        at = end;
    }
    if (values.size() != 2) return std::nullopt;
    const double low = values[0], high = values[1];
    if (!(low > 0.0) || !(high > low) || !std::isfinite(high)) return std::nullopt;
    return LogRange{std::log10(low), std::log10(high)};
}

std::string colourRangeText(const LogRange& range, std::string_view decimalSeparator) {
    return withDecimalSeparator(generalDigits(std::pow(10.0, range.low), 6), decimalSeparator) + " " +
           withDecimalSeparator(generalDigits(std::pow(10.0, range.high), 6), decimalSeparator);
}

std::string resistivityLabel(double ohmMetres, std::string_view decimalSeparator) {
    const bool plain = ohmMetres >= 1e-4 && ohmMetres < 1e6;
    if (plain) return withDecimalSeparator(generalDigits(ohmMetres, 6), decimalSeparator);
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, ohmMetres, std::chars_format::scientific, 0);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("?");
}

std::uint32_t ColourScale::ramp(double fraction) {
    // A polynomial fit of the viridis ramp: lightness grows steadily from end
    // to end, and no two colours differ only in red against green.
    const double t = std::clamp(fraction, 0.0, 1.0);
    static constexpr double c[7][3] = {
        {0.2777273272234177, 0.005407344544966578, 0.3340998053353061},
        {0.1050930431085774, 1.404613529898575, 1.384590162594685},
        {-0.3308618287255563, 0.214847559468213, 0.09509516302823659},
        {-4.634230498983486, -5.799100973351585, -19.33244095627987},
        {6.228269936347081, 14.17993336680509, 56.69055260068105},
        {4.776384997670288, -13.74514537774601, -65.35303263337234},
        {-5.435455855934631, 4.645852612178535, 26.3124352495832},
    };
    double rgb[3];
    for (int channel = 0; channel < 3; ++channel) {
        double v = c[6][channel];
        for (int k = 5; k >= 0; --k) v = c[k][channel] + t * v;
        rgb[channel] = v;
    }
    return packRgb(rgb[0], rgb[1], rgb[2]);
}

ColourScale::ColourScale(LogRange range) : range_(normalisedRange(range.low, range.high)) {
    scale_ = (kSteps - 1) / (range_.high - range_.low);
    for (int i = 0; i < kSteps; ++i) lut_[static_cast<std::size_t>(i)] = ramp(i / double(kSteps - 1));
}

double ColourScale::fractionOf(double log10Value) const {
    return std::clamp((log10Value - range_.low) / (range_.high - range_.low), 0.0, 1.0);
}

int ColourScale::indexOf(double log10Value) const {
    const double position = (log10Value - range_.low) * scale_ + 0.5;
    if (!(position > 0.0)) return 0;  // also NaN
    if (position >= kSteps - 1) return kSteps - 1;
    return static_cast<int>(position);
}

std::vector<int> ColourScale::decades() const {
    std::vector<int> result;
    for (int d = static_cast<int>(std::ceil(range_.low - 1e-9)); d <= std::floor(range_.high + 1e-9); ++d)
        result.push_back(d);
    return result;
}

}  // namespace orma
