#pragma once
// The dialog port answered by real Qt dialogs: QMessageBox, an input box
// sized to its caption (InputBox.h), QFileDialog, QColorDialog, QFontDialog
// and QPrintDialog.

#include <string>

#include "io/UserDialogs.h"

class QWidget;

namespace orma::ui {

/// "caption|*.EXT|caption2|*.ext2" -> "caption (*.EXT *.ext);;caption2 (...)".
/// Every pattern is offered in its given, lower and upper case spelling, so
/// that "*.GEF" also finds "ves1.gef" on a case-sensitive file system; filters
/// that come out identical are listed once. Several patterns of one entry may
/// be separated by ';'. A text without '|' is used as a single pattern.
std::string toQtFileFilter(const std::string& filter);

/// `path` with "." + `extension` appended when its file name has no extension
/// (an empty extension, or a leading '.' in it, is handled).
std::string withDefaultExtension(const std::string& path, const std::string& extension);

class QtUserDialogs : public UserDialogs {
public:
    /// `parent` may be null (dialogs then centre on the screen) and may be set
    /// later, once the main window exists.
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const std::string& text) override;
    std::optional<std::string> inputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& proposed) override;
    /// The default extension is added only when the name as typed does not
    /// name an existing file.
    std::optional<std::string> openFile(const FileDialogOptions& options) override;
    /// Qt asks no overwrite question: the caller decides what an existing
    /// file means. The default extension is added to a name without one.
    std::optional<std::string> saveFile(const FileDialogOptions& options) override;
    bool askYesNo(const std::string& text) override;
    /// A QMessageBox with Save, Discard and Cancel (Save the default, Escape
    /// and the close box Cancel).
    SaveAnswer askSaveDiscardCancel(const SaveQuestion& question) override;
    /// The text above a read-only list that scrolls; the box is never taller
    /// than two thirds of the screen, whatever the list's length.
    void messageWithList(const std::string& text, const std::vector<std::string>& lines) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override;
    /// The system's print dialog used as the printer setup: a printer of the
    /// system or "Print to File (PDF)", orientation and paper. Its accept
    /// button reads "OK", since nothing is printed here.
    std::optional<PrinterChoice> printerSetup(const PrinterChoice& current) override;

private:
    QWidget* parent_;
};

}  // namespace orma::ui
