#pragma once
// The question the interpretation window asks before work that is in no
// database yet would go (End, another curve, a point of the profile).

#include <string>

namespace orma::test {

inline constexpr const char* kBeforeAnotherCurve = "before another curve is opened?";
inline constexpr const char* kBeforeStoredPoint = "before a point of the profile is opened?";
inline constexpr const char* kBeforeEnd = "before the program ends?";

inline std::string unsavedWorkQuestion(const std::string& curve, const std::string& before) {
    return "The interpretation of " + curve +
           " (its curve and model) is in no database yet.\nTransfer it into the active profile (as <-) " + before;
}

}  // namespace orma::test
