// File menu: GEF and RST curves in, RST records out.

#include <QPushButton>
#include <algorithm>

#include <filesystem>
#include <system_error>

#include "io/GefReader.h"
#include "io/RstReader.h"
#include "io/RstWriter.h"
#include "io/SheetReader.h"
#include "io/UserDialogs.h"
#include "ui/interpretation/Ttelmorwin.h"
#include "ui/interpretation/editing/ModelEditor.h"
#include "ui/interpretation/plot/InterpretationPlot.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/RecentMenu.h"

namespace orma::ui {

std::string Ttelmorwin::curveReadStatus(const std::string& source) const {
    int rows = 0;
    for (int k = std::max(sounding_.minGridIndex, 0); k <= std::min(sounding_.maxGridIndex, kGridPoints - 1);
         ++k) {
        if (sounding_.hasComposite(k)) ++rows;
    }
    return "Read " + source + ": " + std::to_string(sounding_.points.pointCount) + " readings in " +
           std::to_string(sounding_.branches.branchCount) + " branches, " + std::to_string(rows) +
           " rows of the composite curve.";
}

void Ttelmorwin::afterNewCurve() {
    spustit->hide();
    importdorezu->hide();
    plot_->plotDrawn = false;
    plot_->modelShown = false;
    plot_->modelLabelsDrawn = false;
    // Drawing, dragging, selection and crosshair belong to the old curve, and
    // so does the history of its models.
    editor_->reset();
    history_.reset(sounding_);
    updateUndoItems();
    // A global fit's band and any result still to come belong to the old curve.
    ++curveGeneration_;
    plot_->setEquivalentBand(nullptr);
    // The ranges follow the new curve alone: the previous model has just been
    // dropped, so it must not widen them.
    plot_->fitPlotRanges();
    // A curve from a file or the database is kept there; whatever was here
    // before was settled by the question of the command that loaded it.
    interpretationSettled();
}

void Ttelmorwin::openGefFile() { openGefWithDialog(gefOpenDialogOptions(sounding_)); }

void Ttelmorwin::openGefWithDialog(const FileDialogOptions& options) {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    const std::optional<std::string> chosen = dialogs_.openFile(options);
    if (loadChosenCurveFile(chosen, openGefCurve)) rememberGefFolder(*chosen);
}

void Ttelmorwin::rememberGefFolder(const std::string& file) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(file, error);
    const std::filesystem::path folder = (error ? std::filesystem::path(file) : absolute).lexically_normal().parent_path();
    if (!folder.empty()) recentFolders_->remember(folder.string());
}

void Ttelmorwin::openRecentGefFolder(const std::string& folder) {
    if (!recentFolders_->stillThere(folder)) return;
    FileDialogOptions options = gefOpenDialogOptions(sounding_);
    // A folder given to the dialog opens it there.
    options.proposedName = (std::filesystem::path(folder) / "").string();
    openGefWithDialog(options);
}

bool Ttelmorwin::loadChosenCurveFile(const std::optional<std::string>& chosen, CurveFileOpener open) {
    if (!chosen) {
        dialogs_.message(kGefNoFileChosen);
        return false;
    }
    std::vector<std::string> messages;
    // A re-opened point stays one (its changes written back) until another
    // file has really been read in its place.
    const bool read = open(sounding_, *chosen, messages) == CurveFileEnd::Done;
    if (read) {
        openStoredPoint_.reset();
        // A curve drawn with the mouse and never committed is replaced.
        sounding_.mouseDrawnCurve = false;
        afterNewCurve();
    }
    sounding_.gefPath = *chosen;
    showStatus(read ? curveReadStatus(*chosen) : "Could not read " + *chosen);
    setCaption(gefOpenedCaption(sounding_));
    showMessages(messages);
    plot_->redrawAll();
    Img->update();
    return read;
}

void Ttelmorwin::finishRstLoad(const CurveFileOutcome& result, const std::vector<std::string>& messages) {
    if (result) {
        sounding_.mouseDrawnCurve = false;
        afterNewCurve();
        setCaption(rstOpenedCaption(sounding_));
        showStatus(
            curveReadStatus(sounding_.rstPath + ", record " + std::to_string(sounding_.rstRecordIndex)));
    }
    showMessages(messages);
    plot_->redrawAll();
    Img->update();
}

void Ttelmorwin::openRstFirstCurve() {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    const auto chosen = dialogs_.openFile(rstOpenDialogOptions(sounding_));
    if (!chosen) {
        dialogs_.message(kRstNoFileChosen);
        return;
    }
    sounding_.rstRecordIndex = 0;
    std::vector<std::string> messages;
    const CurveFileOutcome result = openRstFile(sounding_, *chosen, messages);
    // A re-opened point stays one until another record has really been read.
    if (result) openStoredPoint_.reset();
    finishRstLoad(result, messages);
}

void Ttelmorwin::openStartFile(const std::string& path, StartFileKind kind) {
    // An interpretation offered back from a recovery copy is asked about first.
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    if (kind == StartFileKind::Rst) {
        sounding_.rstRecordIndex = 0;
        std::vector<std::string> messages;
        const CurveFileOutcome result = openRstFile(sounding_, path, messages);
        if (result) openStoredPoint_.reset();
        finishRstLoad(result, messages);
    } else if (kind == StartFileKind::Sheet) {
        loadChosenCurveFile(path, openSheetCurve);
    } else if (loadChosenCurveFile(path, openGefCurve)) {
        rememberGefFolder(path);
    }
}

void Ttelmorwin::openNextRstCurve() {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    std::vector<std::string> messages;
    const CurveFileOutcome result = openFollowingRstCurve(sounding_, messages);
    openStoredPoint_.reset();
    finishRstLoad(result, messages);
}

void Ttelmorwin::openPreviousRstCurve() {
    if (!settleUnsavedInterpretation(LeavingFor::AnotherCurve)) return;
    std::vector<std::string> messages;
    const auto result = openPrecedingRstCurve(sounding_, messages);
    if (!result) return;
    openStoredPoint_.reset();
    finishRstLoad(*result, messages);
}

std::string Ttelmorwin::rstWrittenStatus(const std::string& path) const {
    return "RST record of point " + std::to_string(sounding_.pointNumber) + " (profile " +
           std::to_string(sounding_.profileNumber) + ") written to " + path;
}

void Ttelmorwin::writeRstToNewFile() {
    if (saveRstRecordToNewFile(sounding_, *rstOutput_, dialogs_) == CurveFileEnd::Done) {
        showStatus(rstWrittenStatus(sounding_.rstPath) + " (a new file, closed again).");
    }
}

void Ttelmorwin::appendRstToOpenFile() {
    if (appendRstRecord(sounding_, *rstOutput_, dialogs_) == CurveFileEnd::Done) {
        showStatus(rstWrittenStatus(rstOutput_->path()) + " (F5 appends the next one there).");
    }
}

}  // namespace orma::ui
