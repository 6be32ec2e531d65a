// Terrain heights of the whole profile: a surveyed terrain line (X, Z) read
// from a text file, the profile's points draped along it.

#include <filesystem>

#include "core/TerrainDrape.h"
#include "io/TerrainFile.h"
#include "io/UserDialogs.h"
#include "ui/section/TSection.h"

namespace orma::ui {

void TSection::loadTerrainHeights() {
    if (link_.showSectionOnce) link_.showSectionOnce();
    FileDialogOptions options;  // no filter: any file
    options.title = "Load terrain heights of the whole profile (X tab Z)";
    std::string path;
    for (;;) {
        const std::optional<std::string> chosen = dialogs_.openFile(options);
        if (!chosen) {
            dialogs_.message(kTerrainNoFileChosen);
            return;
        }
        std::error_code ec;
        if (std::filesystem::exists(*chosen, ec)) {
            path = *chosen;
            break;
        }
        dialogs_.message("File" + *chosen + "does not exist. Choose other!");
        options.proposedName = *chosen;
    }
    const TerrainFileContents terrain = readTerrainFile(path);
    if (!terrain.opened) {
        dialogs_.message(kTerrainCannotOpen);
        return;
    }
    dialogs_.message(terrainHeaderMessage(terrain));
    if (!terrain.headerComplete) dialogs_.message(kTerrainHeaderIncomplete);
    if (!terrain.vertexProblem.empty()) {
        // The import is all or nothing: no point moves.
        dialogs_.message(terrain.vertexProblem);
        return;
    }
    Profile* profile = db_.activeProfile();
    if (profile == nullptr) return;
    const DrapeOutcome outcome = drapeProfileOnTerrain(*profile, terrain.vertices);
    if (!outcome.done) {
        dialogs_.message(outcome.message);
        return;
    }
    databaseChanged();
    redrawSection();
    showStatus("Terrain heights of " + path + " taken: " + std::to_string(profile->points.size()) +
               " VES points draped along the terrain.");
}

}  // namespace orma::ui
