#pragma once
// printf-style formatting into a fixed buffer for the plot's texts.

#include <cstdarg>
#include <string_view>

#include "ui/platform/NumberText.h"

namespace orma::ui {

class FormattedText {
public:
    /// Formats with the desktop's decimal separator in every number (the
    /// platform's, not the C library's locale; see formatShown).
    [[gnu::format(printf, 2, 3)]] explicit FormattedText(const char* format, ...) {
        va_list args;
        va_start(args, format);
        length_ = formatShown(buffer_, sizeof buffer_, format, args);
        va_end(args);
    }
    std::string_view view() const { return {buffer_, static_cast<std::size_t>(length_)}; }
    operator std::string_view() const { return view(); }

private:
    char buffer_[160];
    int length_ = 0;
};

/// The general number-to-text conversion of the labels: up to 15 significant
/// digits and no trailing zeros, so decades read 0.1, 1, 10, 100 (0,1 on a
/// desktop with a decimal comma).
inline FormattedText generalNumber(double value) { return FormattedText("%.15g", value); }

}  // namespace orma::ui
