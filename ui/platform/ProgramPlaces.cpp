#include "ui/platform/ProgramPlaces.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <unistd.h>

#include <system_error>

namespace orma::ui {

namespace {

std::filesystem::path pathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

FolderFacts folderFactsOfThisProcess() {
    FolderFacts facts;
    facts.programDirectory = pathOf(QCoreApplication::applicationDirPath());
    std::error_code error;
    facts.currentDirectory = std::filesystem::current_path(error);
    facts.documentsDirectory = pathOf(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    facts.configDirectory = pathOf(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    facts.writable = [](const std::filesystem::path& folder) {
        return ::access(folder.c_str(), W_OK) == 0;
    };
    return facts;
}

}  // namespace orma::ui
