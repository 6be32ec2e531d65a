#include "io/ProgramFolders.h"

#include <system_error>

#include "io/RecentFiles.h"
#include "io/SectionSettingsFile.h"
#include "io/VdbCommands.h"
#include "io/WindowSettingsFile.h"

namespace orma {

namespace {

namespace fs = std::filesystem;

fs::path resolved(const fs::path& path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    if (error) absolute = path;
    fs::path canonical = fs::weakly_canonical(absolute, error);
    return (error ? absolute : canonical).lexically_normal();
}

bool isThere(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool holdsSettingsFile(const fs::path& folder) {
    for (const char* name : {kWindowSettingsFileName, kSectionSettingsFileName, kRecentFileName}) {
        if (isThere(folder / name)) return true;
    }
    return false;
}

}  // namespace

bool liesWithin(const fs::path& path, const fs::path& folder) {
    if (path.empty() || folder.empty()) return false;
    const fs::path inner = resolved(path);
    const fs::path outer = resolved(folder);
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty() && std::next(o) == outer.end()) break;  // a trailing separator
        if (i == inner.end() || *i != *o) return false;
    }
    return true;
}

ProgramFolders findProgramFolders(const FolderFacts& facts) {
    ProgramFolders folders;
    const fs::path program = resolved(facts.programDirectory);
    const fs::path prefix = program.parent_path();
    const fs::path data = prefix / kInstalledDataFolder;
    std::error_code error;
    const bool installed = !facts.programDirectory.empty() && fs::is_directory(data, error);
    if (installed) folders.installedData = data;

    const fs::path current = facts.currentDirectory;
    const auto mayWrite = [&](const fs::path& folder) { return !facts.writable || facts.writable(folder); };
    if (!installed ||
        (holdsSettingsFile(current) && mayWrite(current) && !liesWithin(current, prefix))) {
        folders.settings = current;
    } else {
        folders.settings = facts.configDirectory;
        folders.settingsInConfigFolder = true;
    }

    const fs::path localSample = current / kSampleDatabase;
    const fs::path installedSample = data / kInstalledSamplesFolder / kSampleDatabase;
    if (isThere(localSample) || !installed || !isThere(installedSample)) {
        folders.startDatabase.file = localSample;
        folders.startDatabase.readOnly = installed && liesWithin(localSample, data);
    } else {
        folders.startDatabase = StartDatabase{installedSample, true};
    }

    if (!facts.programDirectory.empty()) folders.manualFolders.push_back(facts.programDirectory);
    if (installed) folders.manualFolders.push_back(data);
    if (!current.empty()) folders.manualFolders.push_back(current);

    if (installed) folders.saveRules = DatabaseSaveRules{data, facts.documentsDirectory / kDocumentsSubfolder};
    return folders;
}

}  // namespace orma
