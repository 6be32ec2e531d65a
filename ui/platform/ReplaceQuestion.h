#pragma once
// A picture saved over an existing file replaces it only when the user says
// so: the save dialogs ask nothing themselves.

#include <string>

#include "io/UserDialogs.h"

namespace orma::ui {

/// True when `path` names nothing yet, or the user answers Yes to replacing
/// it ("PATH already exists. Replace it?", as for the curve's CSV file).
bool mayReplaceFile(const std::string& path, UserDialogs& dialogs);

}  // namespace orma::ui
