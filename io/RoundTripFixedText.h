#pragma once
// Numbers of the database file that read back as the very float that was
// written: printf "%f" (six decimals) wherever that reads back the same, so
// that files keep their look and older files write back byte for byte, and
// more decimals where six lose something (a scale of 1:17204 is 0.0000581254,
// not 0.000058). Fixed notation throughout: every "%f" scan reads it.

#include <string>

namespace orma {

/// The longest text writeRoundTripFixed writes (a subnormal float needs 45
/// decimals and nine digits; the largest float 39 digits and six decimals).
inline constexpr int kMaxRoundTripFixedLength = 64;

/// Writes `value` at `dest` (room for kMaxRoundTripFixedLength characters)
/// and returns the end of the text. Infinities and NaN are written as printf
/// writes them.
char* writeRoundTripFixed(char* dest, float value);

void appendRoundTripFixed(std::string& out, float value);

}  // namespace orma
