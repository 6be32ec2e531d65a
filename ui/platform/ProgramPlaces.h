#pragma once
// The facts io/ProgramFolders.h decides from, as this process finds them:
// the executable's folder, the working directory, and the user's documents
// and settings folders as the desktop names them.

#include "io/ProgramFolders.h"

namespace orma::ui {

/// Needs the application object, with its name set (the settings folder is
/// named after it).
FolderFacts folderFactsOfThisProcess();

}  // namespace orma::ui
