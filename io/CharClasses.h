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

/// The lower case of an ASCII letter; every other byte (Windows-1250 and
/// UTF-8 letters among them) stays as it is, under any locale.
constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace orma
