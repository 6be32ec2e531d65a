#pragma once
// The terrain height list of a profile (*.txt): a name (one word), the number
// of vertices n, then n pairs of horizontal chainage X and elevation Z, all
// separated by any white space (the usual layout is "X<tab>Z" per line).

#include <filesystem>
#include <string>
#include <vector>

#include "core/TerrainDrape.h"

namespace orma {

inline constexpr const char* kTerrainNoFileChosen = "No file chosen.";
inline constexpr const char* kTerrainCannotOpen = "Cannot open input file.txt or ter";
inline constexpr const char* kTerrainHeaderIncomplete = "Not to items on the first row: action-pf, ,numberOfPoints";
inline constexpr const char* kTerrainTooManyVertices = "Too much of terrain points";
inline constexpr const char* kTerrainReadingError = "Terrain reading error!";

struct TerrainFileContents {
    bool opened = false;         ///< false: the file could not be read at all
    std::string name;            ///< the first word
    int count = 0;               ///< the announced number of vertices
    bool headerComplete = false; ///< both the name and the count were there
    std::vector<TerrainVertex> vertices;
    /// Why the vertices could not all be taken: empty when they were, else
    /// kTerrainTooManyVertices, kTerrainReadingError, or a message naming
    /// what follows the announced vertices (a count smaller than the list).
    std::string vertexProblem;
};

/// Reads the terrain file; the text is Windows-1250 (the name comes back in
/// UTF-8). More than kMaxTerrainVertices vertices are not read at all; a
/// file holding anything after its announced vertices gives no vertices.
TerrainFileContents readTerrainFile(const std::filesystem::path& path);

/// Reads the terrain list from the text of a whole file (UTF-8).
TerrainFileContents readTerrainText(std::string_view text);

/// "name of terrain file: " + name + " number of points: " + n.
std::string terrainHeaderMessage(const TerrainFileContents& contents);

}  // namespace orma
