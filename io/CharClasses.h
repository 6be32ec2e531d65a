#pragma once
// Character classes of the file readers, fixed to the "C" locale whatever
// locale the window has set.

namespace orma {

/// What scanf's conversions skip: blank, tab, line feed, carriage return,
/// vertical tab and form feed.
constexpr bool isScanfSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// The same within one line: everything scanf skips except the line feed.
constexpr bool isLineBlank(char c) { return c != '\n' && isScanfSpace(c); }

}  // namespace orma
