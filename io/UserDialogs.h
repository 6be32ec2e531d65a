#pragma once
// The port through which file commands talk to the user. Declared without Qt so
// that io/ sequences (RST writer prompts, manual input) can be tested with a
// scripted implementation; the windows use the Qt one.

#include <optional>
#include <string>

namespace orma {

struct FileDialogOptions {
    std::string filter;            ///< e.g. "soubor ap.KELDOR|*.RST" (caption|pattern)
    std::string defaultExtension;  ///< e.g. "RST", appended when the name has none
    std::string proposedName;      ///< initial file name, may be empty
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    /// Modal message box with an OK button.
    virtual void message(const std::string& text) = 0;
    /// Modal input box; nullopt when cancelled.
    virtual std::optional<std::string> inputQuery(const std::string& caption, const std::string& prompt,
                                                  const std::string& proposed) = 0;
    /// Open dialog; nullopt when cancelled.
    virtual std::optional<std::string> openFile(const FileDialogOptions& options) = 0;
    /// Save dialog; nullopt when cancelled.
    virtual std::optional<std::string> saveFile(const FileDialogOptions& options) = 0;
};

}  // namespace orma
