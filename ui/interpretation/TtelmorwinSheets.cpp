// File menu: field sheets in (*.csv, *.txt), the curve and model out as CSV.

#include <QPushButton>

#include <filesystem>
#include <memory>

#include "core/Forward.h"
#include "io/CurveModelCsv.h"
#include "io/GefReader.h"
#include "io/SheetReader.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/WindowMessages.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"

namespace orma::ui {

namespace {

constexpr const char* kNoCurveToSave = "Read VES curve first!";

}  // namespace

// A sheet takes the road of a GEF file: the same reset, caption and shift.
void Ttelmorwin::openSheet() {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    loadChosenCurveFile(dialogs_.openFile(sheetOpenDialogOptions(sounding_)), openSheetCurve);
}

void Ttelmorwin::saveCurveAndModelCsv() {
    if (!sounding_.curveLoaded || !sounding_.compositeBuilt) {
        dialogs_.message(kNoCurveToSave);
        return;
    }
    // The model's curve and SSQ computed afresh on a copy (a drift since the
    // last computation leaves the SSQ on screen behind); the window is untouched.
    auto saved = std::make_unique<Sounding>(sounding_);
    const bool withModel = saved->model.exists();
    if (withModel && computeForward(*saved, computation_) != kSuccess) {
        dialogs_.message(kForwardFailed);
        return;
    }
    const auto chosen = dialogs_.saveFile(curveCsvSaveDialogOptions(sounding_));
    if (!chosen || chosen->empty()) return;
    std::error_code error;
    const bool exists = std::filesystem::exists(*chosen, error) || std::filesystem::is_symlink(*chosen, error);
    if (exists && !dialogs_.askYesNo(*chosen + " already exists. Replace it?")) return;
    const std::string text = formatCurveModelCsv(*saved, CurveCsvParts{true, withModel, withModel}, sounding_.gefPath);
    const FileResult written = saveCurveModelCsv(*chosen, text, exists ? ExistingFile::Replace : ExistingFile::Refuse);
    if (!written) {
        dialogs_.message(written.describe(*chosen));
        return;
    }
    showStatus((withModel ? "Curve and model saved as " : "Curve saved as ") + *chosen);
}

}  // namespace orma::ui
