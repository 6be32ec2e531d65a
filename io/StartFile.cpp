#include "io/StartFile.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace orma {

StartFileKind startFileKind(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".rst") return StartFileKind::Rst;
    if (extension == ".csv" || extension == ".txt") return StartFileKind::Sheet;
    const std::string numbered = ".vdb_";
    const bool numberedCopy = extension.size() > numbered.size() && extension.compare(0, numbered.size(), numbered) == 0 &&
                              std::all_of(extension.begin() + static_cast<std::ptrdiff_t>(numbered.size()),
                                          extension.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    if (extension == ".vdb" || numberedCopy) return StartFileKind::Database;
    return StartFileKind::Gef;
}

}  // namespace orma
