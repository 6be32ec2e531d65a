#pragma once
// printf in the "C" locale of the calling thread, whatever locale the
// process has. A Qt program sets the C library's locale from the environment
// at start, so on a Czech desktop plain printf("%f") writes "0,500000". The
// file formats do without printf (io/FormatPatterns.h); the command-line
// tools and the windows' own number texts format through here.

#include <cstdarg>
#include <cstddef>

namespace orma {

/// vsnprintf in the "C" locale; returns what vsnprintf returns.
[[gnu::format(printf, 3, 0)]] int formatInCLocale(char* buffer, std::size_t size, const char* format, std::va_list args);

/// The calling thread formats and scans in the "C" locale while this lives.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* previous_ = nullptr;  ///< the thread's locale_t before
};

}  // namespace orma
