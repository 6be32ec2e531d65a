// The interpreted sounding into the section's active profile ("<-" and I),
// the next file of the sounding's directory (D, and after every transfer),
// and the quick import of a whole directory of GEF files (Ctrl+I).

#include <QPushButton>

#include <cctype>
#include <filesystem>

#include "core/PointNumber.h"
#include "io/DirectoryListing.h"
#include "io/GefReader.h"
#include "io/QuickImport.h"
#include "io/SheetReader.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

namespace {

constexpr const char* kAlreadyInProfileButton = "Reinterpreted VES curve is already in the profile.";
constexpr const char* kAlreadyInProfileKey = "Reinterpreted VES curve is already in the profile";
constexpr const char* kReadAndInterpret = "Read and interpret VES curve!";
constexpr const char* kImportError = "import error";
constexpr const char* kPassedOver = "Passed over: these files of the folder do not read as a sounding.";
constexpr const char* kReadingCaption = "ORMA-programme is reading file: ";

/// A curve read from a file whose name carries its number: GEF files (any
/// case) and sheets.
bool namedByFile(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.size() < 4) return false;
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".gef" || isSheetFileName(name);
}

}  // namespace

std::optional<float> Ttelmorwin::chainageFromFileName() {
    if (sounding_.source == CurveSource::Rst || !namedByFile(sounding_.gefPath)) {
        return static_cast<float>(sounding_.pointNumber);
    }
    const PointNumberResult number = pointNumberFromFileName(sounding_.gefPath, sounding_.source, sounding_.pointNumber);
    if (!number.number) {
        dialogs_.message(number.error);
        return std::nullopt;
    }
    return static_cast<float>(*number.number);
}

void Ttelmorwin::transferByButton() {
    if (showsStoredPoint()) {
        dialogs_.message(kAlreadyInProfileButton);
        return;
    }
    transferToProfile();
}

void Ttelmorwin::transferByKey() {
    if (showsStoredPoint()) {
        dialogs_.message(kAlreadyInProfileKey);
        return;
    }
    transferToProfile();
}

void Ttelmorwin::transferToProfile() {
    if (storeInProfile()) loadNextGef();
}

bool Ttelmorwin::storeInProfile() {
    if (!sounding_.curveLoaded || !plot_->plotDrawn || !plot_->modelShown) {
        dialogs_.message(kReadAndInterpret);
        return false;
    }
    const std::optional<float> chainage = chainageFromFileName();
    if (!chainage) return false;
    proposedChainage_ = *chainage;
    if (!appendToProfile || !appendToProfile(sounding_, proposedChainage_)) return false;
    interpretationSettled();
    return true;
}

// The walk passes over files of the folder that do not read as a sounding of
// the same kind (a terrain list or a note among the sheets, a damaged GEF) and
// names them; the window changes only when a file has been read whole, so a
// folder with nothing more to read leaves curve, model, caption and editing
// as they were. Work in no database is asked about once a file has been read.
void Ttelmorwin::loadNextGef() {
    if (sounding_.gefPath.empty()) return;
    std::vector<std::string> passedOver;
    std::filesystem::path current = sounding_.gefPath;
    while (const std::optional<std::filesystem::path> next = nextFileInDirectory(current)) {
        current = *next;
        const std::string path = next->string();
        Sounding candidate = sounding_;
        std::vector<std::string> messages;
        candidate.curveLoaded = false;
        const CurveFileOutcome result = isSheetFileName(path) ? openSheetCurve(candidate, path, messages)
                                                              : openGefCurve(candidate, path, messages);
        if (!result) {
            std::erase(messages, std::string(kReadingError));
            passedOver.push_back(next->filename().string() + (messages.empty() ? "" : ": " + messages.front()));
            continue;
        }
        // Asked only now that there is a curve to take the work's place.
        if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
        sounding_ = std::move(candidate);
        sounding_.gefPath = path;
        sounding_.mouseDrawnCurve = false;
        afterNewCurve();
        showStatus(curveReadStatus(path));
        setCaption(kReadingCaption + sounding_.gefPath);
        showMessages(messages);
        if (!passedOver.empty()) dialogs_.messageWithList(kPassedOver, passedOver);
        const PointNumberResult number = pointNumberFromFileName(path, sounding_.source, sounding_.pointNumber);
        proposedChainage_ = static_cast<float>(number.number.value_or(sounding_.pointNumber));
        plot_->redrawAll();
        Img->update();
        return;
    }
    if (!passedOver.empty()) dialogs_.messageWithList(kImportError, passedOver);
}

void Ttelmorwin::quickImportDirectory() {
    const std::optional<std::string> chosen = dialogs_.openFile(quickImportDialogOptions(sounding_.gefPath));
    if (!chosen) {
        dialogs_.message(kGefNoFileChosen);
        return;
    }
    const std::vector<std::filesystem::path> files =
        listDirectoryFiles(std::filesystem::path(*chosen).parent_path(), ListedFiles::Gef);
    rememberGefFolder(*chosen);
    if (importIntoProfile) importIntoProfile(files);
}

void Ttelmorwin::profileChosenInSection() {
    openStoredPoint_.reset();
    importdorezu->show();
}

}  // namespace orma::ui
