#include "io/VdbCommands.h"

#include <system_error>

#include "io/VdbFile.h"

namespace orma {

namespace {

/// A name that is taken: any directory entry, a dangling link included.
bool nameTaken(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

/// How many numbered copies are tried before the save gives up.
constexpr int kMaxCopyNumber = 1000000;

}  // namespace

bool openDatabaseFile(VesDatabase& db, const std::string& path, UserDialogs& dialogs) {
    const int previousLocality = db.currentLocality;
    const int previousProfile = db.currentProfile;
    std::string message;
    if (!readVdbFile(path, db, message)) {
        dialogs.message(message);
        return false;
    }
    db.fileName = path;
    db.saveBaseName = path;
    settleSelectionAfterOpen(db, previousLocality, previousProfile);
    return true;
}

bool openDatabaseWithDialog(VesDatabase& db, UserDialogs& dialogs) {
    std::string proposed = db.fileName;
    while (true) {
        const auto chosen =
            dialogs.openFile(FileDialogOptions{kVdbOpenFilter, kVdbExtension, proposed, kVdbOpenTitle});
        if (!chosen || chosen->empty()) {
            dialogs.message(kVdbNoFileChosen);
            return false;
        }
        std::error_code error;
        if (std::filesystem::exists(*chosen, error)) return openDatabaseFile(db, *chosen, dialogs);
        dialogs.message("File" + *chosen + "does not exist. Try another one!");
        proposed = *chosen;
    }
}

bool openSampleDatabase(VesDatabase& db, const std::filesystem::path& workingDirectory, UserDialogs& dialogs) {
    const std::string path = (workingDirectory / kSampleDatabase).string();
    // The names point at the sample even when it is missing, so a first save
    // writes a database there.
    db.fileName = path;
    db.saveBaseName = path;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        dialogs.message("File" + path + " does not exist. Find other!");
        dialogs.message(kVdbCannotOpen);
        return false;
    }
    return openDatabaseFile(db, path, dialogs);
}

std::string numberedCopyName(const std::string& base, int n) {
    std::filesystem::path name(base);
    name.replace_extension(".vdb_" + std::to_string(n));
    return name.string();
}

bool saveDatabase(VesDatabase& db, UserDialogs& dialogs, bool askName, const char* dialogTitle) {
    if (askName) {
        const auto chosen =
            dialogs.saveFile(FileDialogOptions{kVdbSaveFilter, kVdbExtension, db.fileName, dialogTitle});
        if (chosen && !chosen->empty()) db.fileName = *chosen;
        db.saveBaseName = db.fileName;
    }
    if (db.fileName.empty()) {
        // Nothing was ever opened or chosen: there is no name to write under.
        dialogs.message(kVdbNoFileChosen);
        return false;
    }
    std::string target = db.fileName;
    for (int n = 1; nameTaken(target); ++n) {
        if (n > kMaxCopyNumber) {
            dialogs.message(kVdbCannotCreate);
            return false;
        }
        target = numberedCopyName(db.saveBaseName, n);
    }
    // The fixed text, then why: a full disk, a read-only folder, a letter
    // the file's code page cannot hold.
    if (const Outcome saved = writeVdbFile(db, target); !saved) {
        dialogs.message(saved.text());
        return false;
    }
    db.fileName = target;
    return true;
}

std::string sectionCaption(const VesDatabase& db) {
    const Locality* locality = db.activeLocality();
    return "db: " + db.fileName + " - loc:" + (locality != nullptr ? locality->name : std::string());
}

}  // namespace orma
