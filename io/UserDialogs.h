#pragma once
// The port through which file commands talk to the user. Declared without Qt so
// that io/ sequences (RST writer prompts, manual input) can be tested with a
// scripted implementation; the windows use the Qt one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orma {

struct FileDialogOptions {
    std::string filter;            ///< e.g. "soubor ap.KELDOR|*.RST" (caption|pattern)
    std::string defaultExtension;  ///< e.g. "RST", appended when the name has none
    std::string proposedName;      ///< initial file name, may be empty
    /// What the dialog is for ("Open field sheet"): its window title, so
    /// that a dialog met in passing says which command opened it. Empty
    /// leaves the program's name.
    std::string title;
};

/// A font as the font dialog shows it.
struct FontChoice {
    std::string family;
    int pointSize = 8;
    bool bold = false;
    bool italic = false;
    std::uint32_t colour = 0;  ///< 0x00BBGGRR
};

/// Where the print commands send their pages, as chosen in the printer setup.
/// Empty names mean the system's default printer.
struct PrinterChoice {
    std::string printerName;  ///< a printer known to the system, or empty
    std::string outputFile;   ///< print into this PDF file instead, or empty
    bool landscape = false;
};

/// The answer to a question about work that is not saved.
enum class SaveAnswer {
    Save,     ///< save it, then go on
    Discard,  ///< go on without it
    Cancel,   ///< go back: nothing happens (also Escape and the close box)
};

/// A question with three answers. The first two buttons read "Save" and
/// "Discard" in the platform's words unless labels are given (e.g. "Open"
/// and "Throw away" for a recovery copy); the third is always Cancel.
struct SaveQuestion {
    std::string text;
    std::string saveLabel;     ///< empty: the platform's "Save"
    std::string discardLabel;  ///< empty: the platform's "Discard"
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

    // The calls below have answers for implementations that cannot show a
    // dialog (command-line tools): each behaves as if the user cancelled.

    /// A question with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text) {
        (void)text;
        return false;
    }
    /// Save / Discard / Cancel.
    virtual SaveAnswer askSaveDiscardCancel(const SaveQuestion& question) {
        (void)question;
        return SaveAnswer::Cancel;
    }
    /// A message with a long list below it (one entry a line), shown in a box
    /// that scrolls instead of growing beyond the screen. Without a window
    /// the list follows the text in one message.
    virtual void messageWithList(const std::string& text, const std::vector<std::string>& lines) {
        std::string whole = text;
        for (const std::string& line : lines) whole += "\n" + line;
        message(whole);
    }
    /// The platform colour dialog preset to `initial` (0x00BBGGRR); nullopt
    /// when cancelled.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial) {
        (void)initial;
        return std::nullopt;
    }
    /// The platform font dialog; nullopt when cancelled.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) {
        (void)initial;
        return std::nullopt;
    }
    /// The platform printer setup dialog, preset to `current`; the new choice,
    /// or nullopt when cancelled.
    virtual std::optional<PrinterChoice> printerSetup(const PrinterChoice& current) {
        (void)current;
        return std::nullopt;
    }
};

}  // namespace orma
