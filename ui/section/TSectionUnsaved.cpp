// Changes of the database that are not saved yet: the caption's mark, the
// Save / Discard / Cancel question before the program ends or another
// database opens, and the recovery copy written after every change and
// offered again after a crash.

#include <filesystem>
#include <system_error>

#include "io/UserDialogs.h"
#include "io/VdbCommands.h"
#include "io/VdbFile.h"
#include "ui/section/TSection.h"

namespace orma::ui {

namespace {

constexpr const char* kOpenRecovery = "Open";
constexpr const char* kThrowAwayRecovery = "Throw away";

std::string databaseName(const VesDatabase& db) {
    return db.fileName.empty() ? std::string("without a name") : db.fileName;
}

}  // namespace

std::string TSection::captionText() const { return (hasUnsavedChanges() ? "*" : "") + sectionCaption(db_); }

void TSection::databaseChanged() {
    db_.markChanged();
    const Outcome kept = recovery_.write(db_);
    // Said once: the user knows, and every further change would say it again.
    if (!kept && !recoveryFailureShown_) {
        recoveryFailureShown_ = true;
        dialogs_.message(kept.text());
    }
    setCaption(captionText());
    updateJointUndoItem();
}

void TSection::databaseSaved() {
    rememberDatabaseFile();
    savedRevision_ = db_.revision();
    recovery_.remove();
    setCaption(captionText());
}

bool TSection::settleUnsavedChanges(bool ending) {
    if (!hasUnsavedChanges()) return true;
    const std::string text = "The database " + databaseName(db_) + " has changes that are not saved.\n" +
                             (ending ? "Save them (as the next numbered copy) before the program ends?"
                                     : "Save them (as the next numbered copy) before another database is opened?");
    switch (dialogs_.askSaveDiscardCancel(SaveQuestion{text, {}, {}})) {
        case SaveAnswer::Save:
            if (!saveDatabaseNext(db_, dialogs_, saveRules_)) return false;
            databaseSaved();
            showStatus(savedDatabaseStatus(db_, SaveCommand::NextCopy));
            return true;
        case SaveAnswer::Discard: return true;
        case SaveAnswer::Cancel: return false;
    }
    return false;
}

bool TSection::mayEndProgram() {
    // A transfer of the interpretation's work changes the database: that
    // question comes first.
    if (link_.settleInterpretation && !link_.settleInterpretation(true)) return false;
    if (!settleUnsavedChanges(true)) return false;
    // Discarded: the copy goes, and the other window's close asks no more.
    recovery_.remove();
    savedRevision_ = db_.revision();
    return true;
}

void TSection::offerRecoveryCopies() {
    for (const FoundRecoveryCopy& found : findRecoveryCopies(recovery_.directory())) {
        const std::string text =
            "The program ended on " + found.savedAt + " without saving the changes of the database " +
            (found.database.empty() ? std::string("without a name") : found.database) +
            ". Its recovery copy holds them:\n" + found.copy.string() +
            "\n\nOpen: open the recovery copy (it still needs saving).\nThrow away: delete the recovery copy.\n"
            "Cancel: keep it for the next start.";
        const SaveAnswer answer = dialogs_.askSaveDiscardCancel(SaveQuestion{text, kOpenRecovery, kThrowAwayRecovery});
        if (answer == SaveAnswer::Discard) {
            std::error_code error;
            std::filesystem::remove(found.copy, error);
        } else if (answer == SaveAnswer::Save && openRecoveryCopy(found)) {
            // One database at a time: any other copy waits for the next start.
            return;
        }
    }
}

bool TSection::openRecoveryCopy(const FoundRecoveryCopy& found) {
    const int previousLocality = db_.currentLocality;
    const int previousProfile = db_.currentProfile;
    if (const Outcome read = readVdbFile(found.copy.string(), db_); !read) {
        dialogs_.message(read.text());
        return false;
    }
    // It stands for its database, which has not got these changes yet.
    db_.fileName = found.database;
    db_.saveBaseName = found.database;
    settleSelectionAfterOpen(db_, previousLocality, previousProfile);
    afterDatabaseOpened();
    // Later changes replace this copy; a save or a discard removes it.
    recovery_.adopt(found.copy, found.database);
    databaseChanged();
    showStatus("Opened the recovery copy " + found.copy.string() + " of " + databaseName(db_) +
               ": save it to keep its changes.");
    return true;
}

}  // namespace orma::ui
