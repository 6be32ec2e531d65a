#pragma once
// Cells of the CSV files the program writes.

#include <charconv>
#include <string>
#include <string_view>

namespace orma {

/// The shortest text that reads back as the same float or double.
template <typename Number>
std::string shortestNumberText(Number value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

/// A text cell: quoted (quotes doubled) when it holds a comma, a quote or a
/// line break; a line break becomes a blank, so that every row stays one line.
inline std::string csvCell(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return quoted + '"';
}

}  // namespace orma
