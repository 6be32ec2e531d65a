#include "core/ColourScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace orma {

namespace {

constexpr double kNarrowestRange = 0.1;  // decades

std::uint32_t packRgb(double r, double g, double b) {
    const auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; }

std::optional<double> parseNumber(std::string_view word) {
    double value = 0.0;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size()) return std::nullopt;
    return value;
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

std::optional<LogRange> parseColourRange(std::string_view text) {
    std::vector<double> values;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isSeparator(text[at])) ++at;
        std::size_t end = at;
        while (end < text.size() && !isSeparator(text[end])) ++end;
        if (end > at) {
            const std::optional<double> value = parseNumber(text.substr(at, end - at));
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

std::string colourRangeText(const LogRange& range) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g %.6g", std::pow(10.0, range.low), std::pow(10.0, range.high));
    return buffer;
}

std::string resistivityLabel(double ohmMetres) {
    char buffer[32];
    if (ohmMetres >= 1e-4 && ohmMetres < 1e6) std::snprintf(buffer, sizeof buffer, "%.6g", ohmMetres);
    else std::snprintf(buffer, sizeof buffer, "%.0e", ohmMetres);
    return buffer;
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
