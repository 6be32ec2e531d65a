#include "io/CLocaleFormat.h"

#include <locale.h>

#include <cstdio>

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

}  // namespace orma
