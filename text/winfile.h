// Win32 side of the text utilities.
#pragma once

#include <windows.h>

#include "text/textutil.h"

BOOL FileExists(const char* path);
// Reads the table lines of an open file handle; the handle stays the caller's.
void TableFileAttach(TableFile* file, HANDLE handle);
