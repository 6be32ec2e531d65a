#include "io/FormatPatterns.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>
#include "io/CharClasses.h"

namespace orma {

std::string formatFixed(double value) {
    char buffer[400];  // the largest double in fixed notation needs 309 digits + 7
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0.000000";
    return std::string(buffer, result.ptr);
}

std::string FormatArg::asReal() const {
    switch (kind_) {
        case Kind::Real: return formatFixed(real_);
        case Kind::Integer: return formatFixed(static_cast<double>(integer_));
        case Kind::Text: return std::string(text_);
    }
    return {};
}

std::string FormatArg::asInteger() const {
    switch (kind_) {
        case Kind::Integer: return std::to_string(integer_);
        case Kind::Real: return std::to_string(static_cast<long long>(std::isfinite(real_) ? std::trunc(real_) : 0));
        case Kind::Text: return std::string(text_);
    }
    return {};
}

std::string FormatArg::asText() const {
    switch (kind_) {
        case Kind::Text: return std::string(text_);
        case Kind::Real: return formatFixed(real_);
        case Kind::Integer: return std::to_string(integer_);
    }
    return {};
}

std::string formatPattern(std::string_view pattern, std::initializer_list<FormatArg> args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out.push_back(c);
            continue;
        }
        const char conversion = pattern[++i];
        if (conversion == '%') {
            out.push_back('%');
            continue;
        }
        if (next == args.end()) continue;
        const FormatArg& arg = *next++;
        if (conversion == 'f') out += arg.asReal();
        else if (conversion == 'i' || conversion == 'd') out += arg.asInteger();
        else out += arg.asText();
    }
    return out;
}

namespace {

std::size_t skipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isScanfSpace(text[pos])) ++pos;
    return pos;
}

/// Reads a real at `pos` like strtof: optional sign, decimal digits with an
/// optional point and exponent, or inf/nan. Returns the end, or npos.
std::size_t readReal(std::string_view text, std::size_t pos, float& value) {
    const char* begin = text.data() + pos;
    const char* end = text.data() + text.size();
    bool negative = false;
    if (begin < end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
        if (begin < end && (*begin == '+' || *begin == '-')) return std::string_view::npos;
    }
    float parsed = 0.0f;
    auto result = std::from_chars(begin, end, parsed, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // strtof gives infinity (or zero) here; the reading still counts.
        double wide = 0.0;
        const auto again = std::from_chars(begin, end, wide, std::chars_format::general);
        if (again.ec == std::errc::result_out_of_range) {
            // Beyond double: decide by the sign of the exponent.
            std::string_view digits(begin, static_cast<std::size_t>(again.ptr - begin));
            const std::size_t e = digits.find_first_of("eE");
            const bool tiny = e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-';
            wide = tiny ? 0.0 : HUGE_VAL;
        }
        parsed = static_cast<float>(wide);
        result.ptr = again.ptr;
        result.ec = std::errc();
    }
    if (result.ec != std::errc()) return std::string_view::npos;
    value = negative ? -parsed : parsed;
    return static_cast<std::size_t>(result.ptr - text.data());
}

std::size_t readInteger(std::string_view text, std::size_t pos, int& value) {
    const char* begin = text.data() + pos;
    const char* end = text.data() + text.size();
    bool negative = false;
    if (begin < end && (*begin == '+' || *begin == '-')) {
        negative = *begin == '-';
        ++begin;
    }
    if (begin == end || *begin < '0' || *begin > '9') return std::string_view::npos;
    long long magnitude = 0;
    const auto result = std::from_chars(begin, end, magnitude, 10);
    if (result.ec != std::errc()) return std::string_view::npos;
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue < INT_MIN || signedValue > INT_MAX) return std::string_view::npos;
    value = static_cast<int>(signedValue);
    return static_cast<std::size_t>(result.ptr - text.data());
}

}  // namespace

struct ScanAccess {
    static ScanTarget::Kind kind(const ScanTarget& t) { return t.kind_; }
    static float* real(const ScanTarget& t) { return t.real_; }
    static int* integer(const ScanTarget& t) { return t.integer_; }
    static std::string* text(const ScanTarget& t) { return t.text_; }
};

ScanResult scanPattern(std::string_view input, std::string_view pattern,
                       std::initializer_list<ScanTarget> targets) {
    ScanResult result;
    std::size_t pos = 0;
    auto next = targets.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char p = pattern[i];
        if (isScanfSpace(p)) {
            pos = skipSpace(input, pos);
            continue;
        }
        if (p != '%' || i + 1 >= pattern.size()) {
            if (pos >= input.size() || input[pos] != p) break;
            ++pos;
            continue;
        }
        const char conversion = pattern[++i];
        if (conversion == '%') {
            pos = skipSpace(input, pos);
            if (pos >= input.size() || input[pos] != '%') break;
            ++pos;
            continue;
        }
        if (next == targets.end()) break;
        const ScanTarget& target = *next++;
        const std::size_t start = skipSpace(input, pos);
        std::size_t end = std::string_view::npos;
        if (conversion == 'f' && ScanAccess::kind(target) == ScanTarget::Kind::Real) {
            end = readReal(input, start, *ScanAccess::real(target));
        } else if ((conversion == 'i' || conversion == 'd') &&
                   ScanAccess::kind(target) == ScanTarget::Kind::Integer) {
            end = readInteger(input, start, *ScanAccess::integer(target));
        } else if (conversion == 's' && ScanAccess::kind(target) == ScanTarget::Kind::Text) {
            end = start;
            while (end < input.size() && !isScanfSpace(input[end])) ++end;
            if (end == start) end = std::string_view::npos;
            else ScanAccess::text(target)->assign(input.substr(start, end - start));
        }
        if (end == std::string_view::npos) break;
        pos = end;
        ++result.conversions;
    }
    result.consumed = pos;
    return result;
}

std::optional<int> parseInteger(std::string_view text) {
    std::size_t begin = skipSpace(text, 0);
    std::size_t end = text.size();
    while (end > begin && isScanfSpace(text[end - 1])) --end;
    if (begin == end) return std::nullopt;
    int value = 0;
    const std::size_t stop = readInteger(text.substr(0, end), begin, value);
    if (stop != end) return std::nullopt;
    return value;
}

}  // namespace orma
