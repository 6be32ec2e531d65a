// "How does it work": the HTML manual in its help window.

#include <QCoreApplication>

#include "io/UserDialogs.h"
#include "ui/interpretation/HelpWindow.h"
#include "ui/interpretation/Ttelmorwin.h"

namespace orma::ui {

std::vector<std::filesystem::path> Ttelmorwin::defaultManualFolders() {
    std::vector<std::filesystem::path> folders;
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (!programFolder.isEmpty()) folders.emplace_back(programFolder.toStdString());
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    if (!ec) folders.push_back(current);
    return folders;
}

void Ttelmorwin::showManual() {
    const std::vector<std::filesystem::path> folders =
        manualFolders.empty() ? defaultManualFolders() : manualFolders;
    const std::optional<std::filesystem::path> page = findManual(folders);
    if (!page) {
        std::string where;
        for (const std::filesystem::path& folder : folders) where += "\n" + (folder / "manual").string();
        dialogs_.message("The manual (manual/index.html) was not found. It is looked for in these folders:" + where);
        return;
    }
    if (!helpWindow_) helpWindow_ = std::make_unique<HelpWindow>(this);
    if (!helpWindow_->open(*page)) {
        dialogs_.message("The manual " + page->string() + " cannot be read.");
        return;
    }
    helpWindow_->show();
    helpWindow_->raise();
}

}  // namespace orma::ui
