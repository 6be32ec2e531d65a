#pragma once
// The colour scale of the colour sections: log10 of a resistivity mapped onto
// a perceptually uniform, colour-blind-safe ramp (dark violet for low, through
// blue and green, to yellow for high resistivity). Values outside the range
// take the colour of its nearer end.
//
// Colours are returned as the section bitmap stores its pixels, 0xFFRRGGBB.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orma {

/// A range of log10 resistivities (ohm·m); low < high once normalised.
struct LogRange {
    double low = 0.0;
    double high = 3.0;
};

/// A range no narrower than a tenth of a decade: a profile whose models all
/// hold one resistivity is shown half a decade either side of it, so its
/// colour sits in the middle of the scale.
LogRange normalisedRange(double lowLog, double highLog);

/// "10 1000": the typed range of resistivities in ohm·m, both above zero, the
/// lower first; nullopt for anything else. The decimal sign is the point or
/// `decimalSeparator`; blanks or a semicolon stand between the two, and a
/// comma too unless it is the decimal sign ("0,5 20" on a Czech desktop).
std::optional<LogRange> parseColourRange(std::string_view text, std::string_view decimalSeparator);

/// The text that parseColourRange reads back as `range` (six digits).
std::string colourRangeText(const LogRange& range, std::string_view decimalSeparator);

/// A resistivity written for a scale label: "0.1", "10", "1000", "1e+06",
/// with `decimalSeparator` as its decimal sign.
std::string resistivityLabel(double ohmMetres, std::string_view decimalSeparator);

class ColourScale {
public:
    static constexpr int kSteps = 256;

    explicit ColourScale(LogRange range = {});

    const LogRange& range() const { return range_; }
    /// 0 at the low end, 1 at the high end, clamped.
    double fractionOf(double log10Value) const;
    /// The colour of a log10 resistivity; NaN takes the low end.
    std::uint32_t colourOf(double log10Value) const { return lut_[indexOf(log10Value)]; }
    /// The table index of a log10 resistivity (for painters that keep indices).
    int indexOf(double log10Value) const;
    std::uint32_t colourAtIndex(int index) const { return lut_[static_cast<std::size_t>(index)]; }

    /// The integer decades (10^d ohm·m) inside the range.
    std::vector<int> decades() const;

    /// The ramp itself at a fraction 0..1 (0xFFRRGGBB).
    static std::uint32_t ramp(double fraction);

private:
    LogRange range_;
    double scale_ = 1.0;  ///< table steps per decade
    std::array<std::uint32_t, kSteps> lut_{};
};

}  // namespace orma
