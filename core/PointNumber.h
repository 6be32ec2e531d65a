#pragma once
// The point number (chainage) that a sounding's file name proposes: the run of
// digits in the name, e.g. 125 from "125.GEF", 12 from "VES12.GEF", -25 from
// "VES-25.GEF", 3125 from "PF3_125.GEF" (a single collected character tolerates
// one gap before the next digits).

#include <optional>
#include <string>
#include <string_view>

#include "core/Sounding.h"

namespace orma {

struct PointNumberResult {
    std::optional<int> number;  ///< empty when the collected text is not an integer
    std::string error;          ///< why not, e.g. a sign followed by another sign
};

/// The point number proposed for a sounding read from `filePath` (its directory
/// part is ignored; '/' and '\' both separate). A curve from an RST record
/// (`source` Rst) keeps `recordPointNumber`, the number stored in the record.
///
/// The name is scanned from its first character. Digits, and a sign met before
/// the first digit, are collected; one that does not directly follow the
/// previous collected character ends the scan once two or more characters are
/// collected. The scan also ends at ".GEF" or ".gef" and at the end of the
/// name. No digit collected gives 0; "--5" or "+-5" gives an error, because
/// such a text does not convert to an integer; so does a number beyond the
/// 32-bit range.
PointNumberResult pointNumberFromFileName(std::string_view filePath, CurveSource source,
                                          int recordPointNumber);

}  // namespace orma
