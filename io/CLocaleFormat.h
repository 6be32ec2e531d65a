#pragma once
// printf-style formatting that always writes a decimal point. A Qt program
// sets the C library's locale from the environment at start, so on a Czech
// desktop plain printf("%f") writes "0,500000": every number meant for a
// file, a pipe or another program is formatted here, in the "C" locale of the
// calling thread only, whatever the process locale is.

#include <cstdarg>
#include <cstddef>
#include <string>

namespace orma {

/// vsnprintf in the "C" locale; returns what vsnprintf returns.
int formatInCLocale(char* buffer, std::size_t size, const char* format, std::va_list args);

/// snprintf in the "C" locale, as a string of any length.
[[gnu::format(printf, 1, 2)]] std::string formatC(const char* format, ...);

/// printf onto standard output in the "C" locale.
[[gnu::format(printf, 1, 2)]] int printC(const char* format, ...);

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
