#pragma once
// The scanf/printf-style patterns of the file formats ("r%f s%i a%f m%f",
// "%s %s", "b %i" ...), done without the C library so that the process locale
// (a GUI sets it from the environment) can never turn the decimal point into
// a comma. "%f" writes six decimals, "%i" a plain integer.

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace orma {

/// printf "%f": fixed notation, six decimals, '.' as separator.
std::string formatFixed(double value);

/// One argument of formatPattern.
class FormatArg {
public:
    FormatArg(double value) : kind_(Kind::Real), real_(value) {}
    FormatArg(float value) : kind_(Kind::Real), real_(value) {}
    FormatArg(int value) : kind_(Kind::Integer), integer_(value) {}
    FormatArg(long long value) : kind_(Kind::Integer), integer_(value) {}
    FormatArg(std::string_view value) : kind_(Kind::Text), text_(value) {}
    FormatArg(const std::string& value) : kind_(Kind::Text), text_(value) {}
    FormatArg(const char* value) : kind_(Kind::Text), text_(value) {}

    std::string asReal() const;
    std::string asInteger() const;
    std::string asText() const;

private:
    enum class Kind { Real, Integer, Text };
    Kind kind_;
    double real_ = 0.0;
    long long integer_ = 0;
    std::string_view text_;
};

/// printf with the conversions %f, %i, %s and %%; arguments are consumed in order.
std::string formatPattern(std::string_view pattern, std::initializer_list<FormatArg> args);

/// Where one conversion of scanPattern stores its value.
class ScanTarget {
public:
    ScanTarget(float* target) : kind_(Kind::Real), real_(target) {}
    ScanTarget(int* target) : kind_(Kind::Integer), integer_(target) {}
    ScanTarget(std::string* target) : kind_(Kind::Text), text_(target) {}

    enum class Kind { Real, Integer, Text };

private:
    friend struct ScanAccess;
    Kind kind_;
    float* real_ = nullptr;
    int* integer_ = nullptr;
    std::string* text_ = nullptr;
};

struct ScanResult {
    int conversions = 0;        ///< values stored, as sscanf counts them
    std::size_t consumed = 0;   ///< characters of the input used
};

/// sscanf with the directives of the formats: a blank matches any run of
/// whitespace (also none), %f a real, %i a decimal integer, %s a word, any
/// other character itself. Every conversion skips leading whitespace. Scanning
/// stops at the first mismatch; targets of conversions not reached keep their
/// values. Integers are decimal: a leading zero never makes them octal, and a
/// value outside the 32-bit range does not match.
ScanResult scanPattern(std::string_view input, std::string_view pattern,
                       std::initializer_list<ScanTarget> targets);

/// A typed integer (input boxes, command-line options): decimal with an
/// optional sign, surrounding blanks allowed, nothing else.
std::optional<int> parseInteger(std::string_view text);

}  // namespace orma
