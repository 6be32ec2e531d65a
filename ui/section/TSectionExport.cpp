// What leaves the section window: the section as a JPEG image, printed, or
// as the CAD script of the UCM export with its options; and the settings
// file orma.ini that keeps those options between runs.

#include <QImage>
#include <QScrollArea>

#include <filesystem>

#include "core/SectionFrame.h"
#include "io/JpegWriter.h"
#include "io/SectionSettingsFile.h"
#include "io/UcmWriter.h"
#include "io/UserDialogs.h"
#include "io/VdbCommands.h"
#include "ui/platform/Canvas.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/Printing.h"
#include "ui/platform/ReplaceQuestion.h"
#include "ui/section/SectionView.h"
#include "ui/section/TSection.h"
#include "ui/section/TparUCM.h"

namespace orma::ui {

namespace {

constexpr const char* kJpegFilter = "souboryJPG|*.jpg|souboryJPG|*.JPG";
constexpr const char* kJpegExtension = "jpg";
constexpr const char* kJpegTitle = "Save the section as a JPEG picture";
constexpr const char* kUcmTitle = "Export the section as a UCM script (NAME and its companion NAME_b)";

}  // namespace

void TSection::loadSettingsFile() {
    if (const std::optional<std::string> problem = readSectionSettings(sectionSettingsPath(workingDirectory_), ucm_)) {
        dialogs_.message(*problem);
    }
}

void TSection::writeSettingsFile() {
    if (const Outcome saved = writeSectionSettings(sectionSettingsPath(workingDirectory_), ucm_); !saved) {
        dialogs_.message(saved.text());
    }
}

/// Exports need points; on an empty profile the command offers to open a
/// database instead, saying why before any file dialog appears.
bool TSection::exportableOrOpen() {
    if (db_.activePointCount() > 0) return true;
    const Profile* profile = db_.activeProfile();
    const std::string named = profile != nullptr ? "The profile " + profile->name : std::string("The active profile");
    if (dialogs_.askYesNo(named + " has no VES points yet, so there is nothing to export. Open another database?")) {
        openDatabase();
    }
    return false;
}

// The image saved is the section as drawn (the image control's part of the
// bitmap), not the whole bitmap of twice the screen.
void TSection::saveSectionAsJpeg() {
    if (!exportableOrOpen()) return;
    FileDialogOptions options;
    options.filter = kJpegFilter;
    options.defaultExtension = kJpegExtension;
    options.title = kJpegTitle;
    const std::optional<std::string> chosen = dialogs_.saveFile(options);
    if (!chosen || !mayReplaceFile(*chosen, dialogs_)) return;
    const int width = std::min(imgRez->width(), canvas_->width());
    const int height = std::min(imgRez->height(), canvas_->height());
    const QImage rgb = canvas_->image().copy(0, 0, width, height).convertToFormat(QImage::Format_RGB888);
    const JpegWriteResult written = writeJpeg(*chosen, rgb.constBits(), rgb.width(), rgb.height(),
                                              static_cast<std::size_t>(rgb.bytesPerLine()));
    if (!written.ok) {
        dialogs_.message(written.error);
        return;
    }
    showStatus("Section saved as " + *chosen);
}

void TSection::printSection() {
    const std::optional<PrinterChoice> chosenTarget = choosePrintTarget(printerChoice_, dialogs_);
    if (!chosenTarget) return;
    const PrinterChoice& target = *chosenTarget;
    // The client area as shown: the visible part of the scrolled section.
    const QSize client = clientSize();
    const QPoint offset = -imgRez->pos();
    const QImage shown = canvas_->image().copy(offset.x(), offset.y(), std::min(client.width(), imgRez->width()),
                                               std::min(client.height(), imgRez->height()));
    const PrintOutcome printed = printImage(shown, target, windowTitle().toStdString());
    if (!printed.ok) {
        dialogs_.message(printed.error);
        return;
    }
    showStatus(printedStatus(target));
}

void TSection::choosePrinter() {
    if (const std::optional<PrinterChoice> chosen = dialogs_.printerSetup(printerChoice_)) printerChoice_ = *chosen;
}

void TSection::editUcmOptions() {
    if (!exportableOrOpen()) return;
    if (ucmDialog_ == nullptr) return;
    ucmDialog_->prepare(ucm_, dialogs_);
    if (runUcmDialog) runUcmDialog(*ucmDialog_);
    else ucmDialog_->exec();
    if (ucmDialog_->edited()) ucm_ = *ucmDialog_->edited();
    redrawSection();
}

void TSection::exportUcm() {
    if (!exportableOrOpen()) return;
    const Locality* locality = db_.activeLocality();
    const Profile* profile = db_.activeProfile();
    if (locality == nullptr || profile == nullptr || profile->points.empty()) return;
    if (const std::optional<UcmParametersProblem> problem = ucmParametersProblem(ucm_)) {
        dialogs_.message(problem->message);
        return;
    }
    FileDialogOptions options;
    options.filter = kUcmFilter;
    options.defaultExtension = kUcmExtension;
    options.proposedName = lastUcmFile_;
    options.title = kUcmTitle;
    SectionLimits limits{display_.minChainage, display_.maxChainage, display_.minElevation, display_.maxElevation};
    const auto takenName = [](const std::string& path) -> std::optional<std::string> {
        std::error_code ec;
        for (const std::string& name : {path, ucmSecondFileName(path)}) {
            if (std::filesystem::exists(name, ec) || std::filesystem::is_symlink(name, ec)) return name;
        }
        return std::nullopt;
    };
    std::optional<std::string> chosen;
    for (;;) {
        chosen = dialogs_.saveFile(options);
        if (!chosen) {
            dialogs_.message(kUcmNoFileChosen);
            return;
        }
        options.proposedName = lastUcmFile_ = *chosen;
        // Neither file is ever written over, the companion "_b" file included.
        const std::optional<std::string> taken = takenName(*chosen);
        if (!taken) break;
        dialogs_.message(ucmFileExistsMessage(*taken));
    }
    UcmParameters parameters = ucm_;
    const UcmScripts scripts =
        formatUcmScripts(locality->name, *profile, exportFrame(*profile, limits), parameters, display_.labels);
    if (const std::optional<std::string> problem = writeUcmFiles(*chosen, scripts)) {
        dialogs_.message(*problem);
        return;
    }
    // The steps fitted to this section stay for the next export.
    ucm_ = parameters;
    showStatus("UCM script written: " + *chosen + " and " + ucmSecondFileName(*chosen));
}

}  // namespace orma::ui
