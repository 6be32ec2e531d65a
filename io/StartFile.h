#pragma once
// A file named on the program's command line (`orma FILE`, also what a file
// manager runs on a double click): which command opens it.

#include <filesystem>

namespace orma {

enum class StartFileKind {
    Gef,       ///< an instrument file, and anything not named otherwise (the reader says what it makes of it)
    Rst,       ///< *.RST: its first record
    Sheet,     ///< *.csv, *.txt: a field sheet
    Database,  ///< *.vdb, and a numbered copy *.vdb_N: opened in the section window
};

/// By the extension, in any case.
StartFileKind startFileKind(const std::filesystem::path& file);

}  // namespace orma
