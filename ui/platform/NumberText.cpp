#include "ui/platform/NumberText.h"

#include <QLocale>

#include <cmath>
#include <cstring>

#include "core/DecimalText.h"
#include "io/CLocaleFormat.h"

namespace orma::ui {

namespace {

// Marks around each real conversion of a format, so that only the numbers
// of a text get the desktop's separator (a file name's point stays).
constexpr char kNumberStart = '\x01';
constexpr char kNumberEnd = '\x02';

bool isRealConversion(char c) { return c != '\0' && std::strchr("fFeEgGaA", c) != nullptr; }
bool isLengthModifier(char c) { return c != '\0' && std::strchr("hlLqjzt", c) != nullptr; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string markedFormat(const char* format) {
    std::string marked;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            marked.push_back(*p);
            continue;
        }
        if (p[1] == '%') {
            marked += "%%";
            ++p;
            continue;
        }
        const char* q = p + 1;
        while (*q != '\0' && !isLetter(*q)) ++q;  // flags, width, precision
        while (isLengthModifier(*q)) ++q;
        if (*q == '\0') {
            marked.append(p);
            break;
        }
        const bool real = isRealConversion(*q);
        if (real) marked.push_back(kNumberStart);
        marked.append(p, q + 1);
        if (real) marked.push_back(kNumberEnd);
        p = q;
    }
    return marked;
}

}  // namespace

std::string decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? std::string(".") : point.toStdString();
}

std::string boxText(float value) { return shortestDecimalText(value, decimalSeparator()); }
std::string boxText(double value) { return shortestDecimalText(value, decimalSeparator()); }

std::optional<double> typedNumber(std::string_view text) { return parseTypedDecimal(text, decimalSeparator()); }

std::optional<float> typedFloat(std::string_view text) {
    const std::optional<double> value = typedNumber(text);
    if (!value || !std::isfinite(static_cast<float>(*value))) return std::nullopt;
    return static_cast<float>(*value);
}

std::string shownNumber(std::string text) { return withDecimalSeparator(std::move(text), decimalSeparator()); }

int formatShown(char* buffer, std::size_t size, const char* format, std::va_list args) {
    if (size == 0) return 0;
    const std::string marked = markedFormat(format);
    std::va_list again;
    va_copy(again, args);
    char small[512];
    std::string large;
    const char* text = small;
    int length = formatInCLocale(small, sizeof small, marked.c_str(), args);
    if (length >= static_cast<int>(sizeof small)) {
        large.resize(static_cast<std::size_t>(length) + 1);
        length = formatInCLocale(large.data(), large.size(), marked.c_str(), again);
        text = large.data();
    }
    va_end(again);
    if (length < 0) length = 0;
    const std::string separator = decimalSeparator();
    std::size_t out = 0;
    bool inNumber = false;
    const auto put = [&](const char* piece, std::size_t n) {
        const std::size_t room = size - 1 - out;
        const std::size_t taken = n < room ? n : room;
        std::memcpy(buffer + out, piece, taken);
        out += taken;
    };
    for (int i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == kNumberStart || c == kNumberEnd) inNumber = c == kNumberStart;
        else if (inNumber && c == '.') put(separator.data(), separator.size());
        else put(&c, 1);
    }
    buffer[out] = '\0';
    return static_cast<int>(out);
}

std::string shownText(const char* format, ...) {
    char buffer[1024];
    std::va_list args;
    va_start(args, format);
    const int length = formatShown(buffer, sizeof buffer, format, args);
    va_end(args);
    return std::string(buffer, static_cast<std::size_t>(length));
}

}  // namespace orma::ui
