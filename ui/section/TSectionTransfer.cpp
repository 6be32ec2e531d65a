// Soundings of the interpretation window stored as points of the active
// profile: the transfer of one interpreted sounding through the point
// parameters dialog, the write-back of a re-interpreted point, and the quick
// import of a whole directory of GEF files.

#include <QApplication>
#include <QDialog>
#include <QProgressDialog>

#include <filesystem>
#include <memory>

#include "io/QuickImport.h"
#include "io/UserDialogs.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {

namespace {

std::string fullProfileMessage(const Profile& profile) {
    return "The profile " + profile.name + " already holds " + std::to_string(kMaxVesPoints) +
           " VES points, as many as a profile can. Create a new profile (popup menu of the section) for more.";
}

/// The point name proposed for a sounding: its file name without the
/// directory and the extension (VES12 for .../VES12.GEF).
std::string proposedPointName(const std::string& path) {
    const std::filesystem::path file(path);
    return file.has_extension() ? file.stem().string() : file.filename().string();
}

}  // namespace

bool TSection::appendSounding(const Sounding& sounding, float proposedChainage) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return false;
    if (static_cast<int>(profile->points.size()) >= kMaxVesPoints) {
        dialogs_.message(fullProfileMessage(*profile));
        return false;
    }
    // The new point starts with the date, operator, comment, Y and Z of the
    // point selected in the section, and the proposed chainage everywhere.
    VesPoint fresh;
    if (const VesPoint* selected = db_.selectedPoint()) {
        fresh.date = selected->date;
        fresh.operatorName = selected->operatorName;
        fresh.comment = selected->comment;
        fresh.y = selected->y;
        fresh.z = selected->z;
    }
    fresh.terrainChainage = fresh.x = fresh.profileChainage = proposedChainage;
    const int previousPoint = db_.currentPoint;
    profile->points.push_back(std::move(fresh));
    db_.currentPoint = profile->mxindex_bodu();
    if (parametersDialog_ != nullptr) {
        parametersDialog_->prepareForTransfer(db_, proposedPointName(sounding.gefPath), proposedChainage);
        runParametersDialog(*parametersDialog_);
        if (parametersDialog_->result() != QDialog::Accepted) {
            // Cancelled: no point, the sounding stays where it is.
            profile->points.pop_back();
            db_.currentPoint = previousPoint;
            redrawSection();
            return false;
        }
        parametersDialog_->applyToDatabase();
    }
    storeSoundingInPoint(sounding, profile->points.back());
    takeDepthRanges(profile->points.back());
    forgetReopenedPoint();
    databaseChanged();
    redrawSection();
    const VesPoint& added = profile->points.back();
    showStatus("VES point " + added.name + " added to profile " + profile->name + " (" +
               std::to_string(profile->points.size()) + " points); not saved yet.");
    return true;
}

void TSection::takeDepthRanges(VesPoint& point) const {
    if (!link_.depthRanges) return;
    const std::optional<std::array<DepthRange, kMaxPointLayers>> ranges = link_.depthRanges();
    if (!ranges) return;
    point.depthRange.fill(DepthRange{});
    for (int i = 0; i < point.MDLmx && i < kMaxPointLayers; ++i)
        point.depthRange[static_cast<std::size_t>(i)] = (*ranges)[static_cast<std::size_t>(i)];
}

void TSection::rememberReopenedPoint() {
    reopened_ = {db_.currentLocality, db_.currentProfile, db_.currentPoint};
    if (link_.sounding != nullptr && link_.setOpenStoredPoint) link_.setOpenStoredPoint(reopened_);
}

bool TSection::interpretationShowsStoredPoint() const {
    return link_.showsStoredPoint && link_.showsStoredPoint();
}

void TSection::storeReinterpretedPoint() {
    if (link_.sounding == nullptr || !interpretationShowsStoredPoint()) return;
    // Only into the point the sounding came from: after another database was
    // opened, or the point moved, nothing is written.
    if (reopened_.index < 0 || reopened_.locality != db_.currentLocality || reopened_.profile != db_.currentProfile ||
        reopened_.index != db_.currentPoint) {
        return;
    }
    VesPoint* point = db_.selectedPoint();
    if (point == nullptr) return;
    VesPoint updated = *point;
    storeSoundingInPoint(*link_.sounding, updated);
    takeDepthRanges(updated);
    if (updated == *point) return;
    *point = std::move(updated);
    databaseChanged();
    redrawSection();
}

void TSection::importFiles(const std::vector<std::filesystem::path>& files) {
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    std::unique_ptr<QProgressDialog> dialog;
    ImportProgress progress = importProgress;
    if (!progress) {
        dialog = std::make_unique<QProgressDialog>("Importing GEF files into the profile...", "Cancel", 0,
                                                   static_cast<int>(files.size()), this);
        dialog->setObjectName("importProgress");
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(300);
        progress = [&dialog](int done, int total) {
            dialog->setMaximum(total);
            dialog->setValue(done);
            QApplication::processEvents();
            return !dialog->wasCanceled();
        };
    }
    const QuickImportReport report = quickImportFiles(*profile, files, progress);
    dialog.reset();
    if (report.imported > 0) {
        db_.currentPoint = profile->mxindex_bodu();
        databaseChanged();
    }
    redrawSection();
    showStatus(std::to_string(report.imported) + " of " + std::to_string(report.total) +
               " soundings imported into profile " + profile->name +
               (report.cancelled ? " (import cancelled)." : "."));
    // However many files were skipped, the box stays on the screen: they are
    // listed in a part of it that scrolls.
    if (report.skipped.empty()) dialogs_.message(report.summary(profile->name));
    else dialogs_.messageWithList(report.summary(profile->name), report.skipped);
}

}  // namespace orma::ui
