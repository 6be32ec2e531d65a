#pragma once
// Message texts the interpretation window's commands share.

namespace orma::ui {

/// A model whose curve cannot be computed (a value out of range, a failed filter).
inline constexpr const char* kForwardFailed = "Forward task unsuccessful";

}  // namespace orma::ui
