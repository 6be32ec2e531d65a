#include "ui/platform/ReplaceQuestion.h"

#include <filesystem>
#include <system_error>

namespace orma::ui {

bool mayReplaceFile(const std::string& path, UserDialogs& dialogs) {
    std::error_code error;
    const bool taken = std::filesystem::exists(path, error) || std::filesystem::is_symlink(path, error);
    return !taken || dialogs.askYesNo(path + " already exists. Replace it?");
}

}  // namespace orma::ui
