#include "io/VdbCommands.h"

#include <system_error>

#include "io/VdbFile.h"

namespace orma {

bool nameTaken(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

bool openDatabaseFile(VesDatabase& db, const std::string& path, UserDialogs& dialogs) {
    const int previousLocality = db.currentLocality;
    const int previousProfile = db.currentProfile;
    if (const Outcome read = readVdbFile(path, db); !read) {
        dialogs.message(read.text());
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
    return openStartDatabase(db, StartDatabase{workingDirectory / kSampleDatabase, false}, dialogs);
}

bool openStartDatabase(VesDatabase& db, const StartDatabase& start, UserDialogs& dialogs) {
    const std::string path = start.file.string();
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

std::optional<std::string> freeNumberedCopyName(const std::string& base, const NameTaken& taken) {
    for (int n = 1; n <= kMaxCopyNumber; ++n) {
        std::string name = numberedCopyName(base, n);
        if (!taken(name)) return name;
    }
    return std::nullopt;
}

bool saveDatabase(VesDatabase& db, UserDialogs& dialogs, bool askName, const char* dialogTitle,
                  const DatabaseSaveRules& rules) {
    const auto isProtected = [&](const std::string& path) { return liesWithin(path, rules.protectedFolder); };
    const auto inRefuge = [&](const std::string& path) {
        return (rules.refugeFolder / std::filesystem::path(path).filename()).string();
    };
    if (askName) {
        const std::string proposed = isProtected(db.fileName) ? inRefuge(db.fileName) : db.fileName;
        const auto chosen =
            dialogs.saveFile(FileDialogOptions{kVdbSaveFilter, kVdbExtension, proposed, dialogTitle});
        if (chosen && !chosen->empty()) {
            if (isProtected(*chosen)) {
                dialogs.message(kInstalledDataNotWritten + rules.protectedFolder.string());
                return false;
            }
            db.fileName = *chosen;
        }
        db.saveBaseName = db.fileName;
    }
    if (db.fileName.empty()) {
        // Nothing was ever opened or chosen: there is no name to write under.
        dialogs.message(kVdbNoFileChosen);
        return false;
    }
    std::string base = db.saveBaseName;
    const bool redirected = isProtected(base);
    if (redirected) base = inRefuge(base);
    std::string target = db.fileName;
    // The installed file itself is never the target, even when it is gone.
    if (isProtected(target) || nameTaken(target)) {
        const std::optional<std::string> copy = freeNumberedCopyName(base);
        if (!copy) {
            dialogs.message(kVdbCannotCreate);
            return false;
        }
        target = *copy;
    }
    if (redirected) {
        std::error_code error;
        std::filesystem::create_directories(rules.refugeFolder, error);  // a failure is said by the write
    }
    // The fixed text, then why: a full disk, a read-only folder, a letter
    // the file's code page cannot hold.
    if (const Outcome saved = writeVdbFile(db, target); !saved) {
        dialogs.message(saved.text());
        return false;
    }
    db.fileName = target;
    if (redirected) db.saveBaseName = base;
    return true;
}

std::string sectionCaption(const VesDatabase& db) {
    const Locality* locality = db.activeLocality();
    return "db: " + db.fileName + " - loc:" + (locality != nullptr ? locality->name : std::string());
}

}  // namespace orma
