// The search for table files: the places a name is looked for,
// in order, and what a search learnt on the way.
#pragma once

#include <windows.h>

#include "today/folderlist.h"

enum { kPathBufferSize = 260, kTablePathSize = 257 };

// The shared path buffer: results of the loader's own searches.
extern char g_pathBuffer[kPathBufferSize];
// Set while a long search may skip folders that certainly lack a name.
extern FolderListings* g_folderListings;
// Set when the machine was too short to look somewhere, or the library's
// own folder could not be named: what a search found is then not the whole
// answer. Any other failed lookup is a miss.
extern int g_searchFailed;

// Whether path names a file, noting a lookup the machine was too short for.
BOOL LookUpNotingFailure(const char* path);
// FindTableFile with the table path already read and unescaped; null skips
// it and TODAYTBL.
BOOL FindTableFileAlong(const char* name, const char* tablePath, char* output, int size);
