// Database commands of the section window: open, save, new locality and
// profile, deletion of a point, and the point parameters dialog.

#include <QScrollArea>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "io/UserDialogs.h"
#include "io/VdbCommands.h"
#include "ui/platform/ImageView.h"
#include "ui/platform/RecentMenu.h"
#include "ui/section/TSection.h"
#include "ui/section/TVESparametryEdit.h"

namespace orma::ui {

std::string savedDatabaseStatus(const VesDatabase& db, SaveCommand command) {
    const std::string base = std::filesystem::path(db.saveBaseName).filename().string();
    std::string text = "Saved as " + db.fileName;
    if (db.fileName == db.saveBaseName) {
        text += command == SaveCommand::ChosenName ? ": the name chosen" : "";
    } else if (command == SaveCommand::ChosenName) {
        text += ": " + base + " exists, so its next numbered copy";
    } else {
        text += ": the next numbered copy of " + base;
    }
    return text + (command == SaveCommand::ChosenName ? " (Ctrl+Alt+U)." : " (Ctrl+U).");
}

std::string openedDatabaseStatus(const VesDatabase& db) {
    std::size_t profiles = 0, points = 0;
    for (const Locality& locality : db.localities) {
        profiles += locality.profiles.size();
        for (const Profile& profile : locality.profiles) points += profile.points.size();
    }
    return "Opened " + db.fileName + ": " + std::to_string(db.localities.size()) + " localities, " +
           std::to_string(profiles) + " profiles, " + std::to_string(points) + " VES points.";
}

void TSection::rememberDatabaseFile() {
    if (db_.fileName.empty()) return;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(db_.fileName, error);
    recentDatabases_->remember(error ? db_.fileName : absolute.lexically_normal().string());
}

void TSection::afterDatabaseOpened() {
    rememberDatabaseFile();
    // Whatever the database held before is gone: so is its recovery copy.
    recovery_.remove();
    savedRevision_ = db_.revision();
    display_.resetAfterOpen();
    forgetReopenedPoint();
    // The models of before a joint fit belong to the database that is gone.
    jointUndo_.reset();
    updateJointUndoItem();
    redrawSection();
}

void TSection::openDatabase() {
    if (link_.showSectionOnce) link_.showSectionOnce();
    if (!settleUnsavedChanges(false)) return;
    if (!openDatabaseWithDialog(db_, dialogs_)) return;
    afterDatabaseOpened();
    showStatus(openedDatabaseStatus(db_));
}

void TSection::openRecentDatabase(const std::string& path) {
    if (!recentDatabases_->stillThere(path)) return;
    if (!settleUnsavedChanges(false)) return;
    if (!openDatabaseFile(db_, path, dialogs_)) return;
    afterDatabaseOpened();
    showStatus(openedDatabaseStatus(db_));
}

void TSection::saveDatabaseUnderChosenName() {
    if (!saveDatabaseAs(db_, dialogs_, saveRules_)) return;
    databaseSaved();
    showStatus(savedDatabaseStatus(db_, SaveCommand::ChosenName));
}

void TSection::saveDatabaseNextCopy() {
    if (!saveDatabaseNext(db_, dialogs_, saveRules_)) return;
    databaseSaved();
    showStatus(savedDatabaseStatus(db_, SaveCommand::NextCopy));
}

namespace {

/// What the parameters dialog can change.
struct EditedNames {
    std::string locality, country, region, profile;
    std::optional<VesPoint> point;

    static EditedNames of(const VesDatabase& db) {
        EditedNames names;
        if (const Locality* locality = db.activeLocality()) {
            names.locality = locality->name;
            names.country = locality->country;
            names.region = locality->region;
        }
        if (const Profile* profile = db.activeProfile()) names.profile = profile->name;
        if (const VesPoint* point = db.selectedPoint()) names.point = *point;
        return names;
    }
    bool operator==(const EditedNames&) const = default;
};

}  // namespace

bool TSection::editParameters() {
    if (parametersDialog_ == nullptr) return true;  // nothing to ask, nothing cancelled
    const EditedNames before = EditedNames::of(db_);
    parametersDialog_->prepareFromSection(db_);
    runParametersDialog(*parametersDialog_);
    const bool accepted = parametersDialog_->result() == QDialog::Accepted;
    if (accepted) parametersDialog_->applyToDatabase();
    parametersDialog_->openedFromSection = false;
    if (accepted && !(EditedNames::of(db_) == before)) databaseChanged();
    redrawSection();
    return accepted;
}

void TSection::addWithParameters(Outcome (*add)(VesDatabase&)) {
    const bool unsavedBefore = hasUnsavedChanges();
    const int locality = db_.currentLocality, profile = db_.currentProfile, point = db_.currentPoint;
    const std::size_t localities = db_.localities.size();
    const Outcome outcome = add(db_);
    if (!outcome.message.empty()) dialogs_.message(outcome.message);
    if (!outcome.ok) return;
    if (!editParameters()) {
        // Cancelled: the new locality or profile goes again, nothing changed.
        if (db_.localities.size() > localities) db_.localities.pop_back();
        else if (Locality* owner = db_.activeLocality()) owner->profiles.pop_back();
        db_.currentLocality = locality;
        db_.currentProfile = profile;
        db_.currentPoint = point;
        if (!unsavedBefore) savedRevision_ = db_.revision();
        redrawSection();
        return;
    }
    forgetReopenedPoint();
    databaseChanged();
    // What the interpretation window holds is no stored point of the new
    // locality or profile.
    if (link_.setOpenStoredPoint) link_.setOpenStoredPoint(std::nullopt);
}

void TSection::newLocality() { addWithParameters(addLocality); }

void TSection::newProfile() { addWithParameters(addProfile); }

void TSection::deleteCurrentPoint() {
    // A point goes with its readings and model, and the section has no undo:
    // the user confirms, as for the click on a point without a curve.
    const Profile* profile = db_.activeProfile();
    const VesPoint* point = db_.selectedPoint();
    if (profile != nullptr && point != nullptr && profile->points.size() >= 2 &&
        !dialogs_.askYesNo("Delete the VES point " + point->name + " from the profile?"))
        return;
    deleteSelectedPointNow();
}

void TSection::deleteSelectedPointNow() {
    const Outcome outcome = deleteSelectedPoint(db_);
    if (!outcome.message.empty()) dialogs_.message(outcome.message);
    if (!outcome.ok) return;
    databaseChanged();
    loadSelectedPoint();
    redrawSection();
}

void TSection::loadSelectedPoint() {
    const VesPoint* point = db_.selectedPoint();
    if (point == nullptr || link_.sounding == nullptr) return;
    if (link_.settleInterpretation && !link_.settleInterpretation(false)) return;
    point = db_.selectedPoint();
    if (point == nullptr) return;
    const std::vector<std::string> messages = loadPointIntoSounding(*point, *link_.sounding);
    rememberReopenedPoint();
    if (link_.reopenStoredPoint) link_.reopenStoredPoint(messages);
    else showMessages(messages);
}

}  // namespace orma::ui
