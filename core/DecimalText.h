#pragma once
// Numbers as people type and read them: the decimal sign is the desktop's
// separator (a comma on a Czech desktop) or the point, never a grouping sign.
// The window passes its separator in; nothing here looks at a locale, so the
// same text reads the same in every process.

#include <optional>
#include <string>
#include <string_view>

namespace orma {

/// One typed number: an optional sign, digits with `separator` or '.' as the
/// decimal sign, an optional exponent (2,5e3); blanks around it allowed.
/// nullopt for anything else, also for inf, nan and values beyond a double.
std::optional<double> parseTypedDecimal(std::string_view text, std::string_view separator);

/// `text`, a number written with a point, with `separator` in its place.
std::string withDecimalSeparator(std::string text, std::string_view separator);

/// The shortest text that reads back as the same value, with `separator`:
/// plain digits from 1e-5 to 1e15 (2,5, 0,001, 1200000), an exponent beyond.
std::string shortestDecimalText(double value, std::string_view separator);
std::string shortestDecimalText(float value, std::string_view separator);

}  // namespace orma
