#pragma once
// One rule for numbers in both windows: shown with the desktop's decimal
// separator (a comma on a Czech desktop), typed with it or with a point,
// proposed in input boxes as the shortest text that gives the same value
// back. The separator is Qt's (the user's locale, or what a test set with
// QLocale::setDefault), never the C library's: files keep their point.

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "io/UserDialogs.h"

namespace orma::ui {

/// The desktop's decimal separator.
std::string decimalSeparator();

/// A number put into an input box or a dialog field: the shortest text that
/// reads back as the same value (0,001 for the float 0.001, 2,5, 1200).
std::string boxText(float value);
std::string boxText(double value);

/// A typed number: the desktop's separator or a point as its decimal sign,
/// blanks around it allowed; nullopt when the text is not a finite number.
std::optional<double> typedNumber(std::string_view text);

/// The same, for a value kept as a float: nullopt also beyond a float.
std::optional<float> typedFloat(std::string_view text);

/// A number written with a point (by a pattern or to_chars), as shown.
std::string shownNumber(std::string text);

/// vsnprintf for texts on screen: every real conversion (%f, %g, %e) shows
/// the desktop's separator, whatever the C library's locale; the rest of the
/// text is left as it is. Returns the length written (cut to fit `size`).
[[gnu::format(printf, 3, 0)]] int formatShown(char* buffer, std::size_t size, const char* format, std::va_list args);

/// The same into a string.
[[gnu::format(printf, 1, 2)]] std::string shownText(const char* format, ...);

/// An input box asked until `read` takes the answer: each refusal shows
/// `refusal` and asks again with the text typed. nullopt on Cancel.
template <typename Value>
std::optional<Value> askUntilRead(UserDialogs& dialogs, const std::string& caption, const std::string& prompt,
                                  std::string proposed, const std::string& refusal,
                                  const std::function<std::optional<Value>(const std::string&)>& read) {
    for (;;) {
        const std::optional<std::string> typed = dialogs.inputQuery(caption, prompt, proposed);
        if (!typed) return std::nullopt;
        if (std::optional<Value> value = read(*typed)) return value;
        dialogs.message(refusal);
        proposed = *typed;
    }
}

}  // namespace orma::ui
