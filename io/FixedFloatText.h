#pragma once
// printf "%f" of a float (promoted to double, six decimals), fast: the
// database writer formats several million numbers per large file. The result
// is the exact decimal rounding of the float's binary value, ties to even,
// as glibc's printf gives it, without the process locale.

#include <string>

namespace orma {

/// Appends "%f" of `value` to `out` ("-0.000000" for negative values that
/// round to zero, "inf", "-inf", "nan", "-nan" as printf writes them).
void appendFixed6(std::string& out, float value);

/// The longest text writeFixed6 writes ("-3402823466385288598117041834845"
/// "16921600.000000" and the like).
inline constexpr int kMaxFixed6Length = 48;

/// Writes "%f" of `value` at `dest` (room for kMaxFixed6Length characters)
/// and returns the end of the text.
char* writeFixed6(char* dest, float value);

}  // namespace orma
