// A temporary folder holding a copy of the library and the scheduler files.
#pragma once

#include <string>

// A temporary folder holding a copy of the library and the scheduler files of
// dataDir (*.CNF, *.TBL; none when dataDir is null); *copy is the library's
// full path there. The folder ends with a backslash.
bool StageLibrary(const char* library, const char* dataDir, std::string* folder, std::string* copy);
// Removes the folder's files and the folder.
void RemoveStagedFolder(const std::string& folder);
