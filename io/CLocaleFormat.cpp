#include "io/CLocaleFormat.h"

#include <locale.h>

#include <cstdio>
#include <vector>

namespace orma {

namespace {

/// Made once: newlocale of "C" cannot fail for want of installed data.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

CLocaleScope::CLocaleScope() {
    if (cLocale() != static_cast<locale_t>(nullptr)) previous_ = uselocale(cLocale());
}

CLocaleScope::~CLocaleScope() {
    if (previous_ != nullptr) uselocale(static_cast<locale_t>(previous_));
}

int formatInCLocale(char* buffer, std::size_t size, const char* format, std::va_list args) {
    const CLocaleScope c;
    return std::vsnprintf(buffer, size, format, args);
}

std::string formatC(const char* format, ...) {
    char small[256];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = formatInCLocale(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length < 0) {
        text.clear();
    } else if (static_cast<std::size_t>(length) < sizeof small) {
        text.assign(small, static_cast<std::size_t>(length));
    } else {
        std::vector<char> large(static_cast<std::size_t>(length) + 1);
        formatInCLocale(large.data(), large.size(), format, again);
        text.assign(large.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    return text;
}

int printC(const char* format, ...) {
    const CLocaleScope c;
    std::va_list args;
    va_start(args, format);
    const int written = std::vprintf(format, args);
    va_end(args);
    return written;
}

}  // namespace orma
