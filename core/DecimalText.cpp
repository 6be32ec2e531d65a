#include "core/DecimalText.h"

#include <charconv>
#include <cmath>

namespace orma {

namespace {

std::string_view withoutBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool isNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E';
}

template <typename Number>
std::string shortest(Number value, std::string_view separator) {
    char buffer[400];
    const double magnitude = std::fabs(static_cast<double>(value));
    const bool plain = magnitude == 0.0 || (magnitude >= 1e-5 && magnitude < 1e15);
    const auto result = plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                              : std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) return "0";
    return withDecimalSeparator(std::string(buffer, result.ptr), separator);
}

}  // namespace

std::optional<double> parseTypedDecimal(std::string_view text, std::string_view separator) {
    text = withoutBlanks(text);
    std::string number;
    for (std::size_t i = 0; i < text.size();) {
        if (!separator.empty() && text.compare(i, separator.size(), separator) == 0) {
            number.push_back('.');
            i += separator.size();
        } else if (isNumberCharacter(text[i])) {
            number.push_back(text[i++]);
        } else {
            return std::nullopt;  // letters, blanks inside, grouping signs
        }
    }
    const char* begin = number.data();
    const char* end = begin + number.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && (*begin == '+' || *begin == '-')) return std::nullopt;
    }
    if (begin == end) return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string withDecimalSeparator(std::string text, std::string_view separator) {
    if (separator == ".") return text;
    const std::size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, separator);
    return text;
}

std::string shortestDecimalText(double value, std::string_view separator) { return shortest(value, separator); }

std::string shortestDecimalText(float value, std::string_view separator) { return shortest(value, separator); }

}  // namespace orma
