// Win32 side of the text utilities.
#pragma once

#include <windows.h>

#include "text/textutil.h"

BOOL FileExists(const char* path);
// Opens an existing file for shared reading; null when it is missing or
// cannot be opened.
HANDLE OpenFileForReading(const char* path);
// Table files that exist but could not be opened or read since the library
// was loaded: what was computed from them meanwhile is incomplete.
extern LONG g_tableReadFailures;
// Reads the table lines of an open file handle; the handle stays the caller's.
void TableFileAttach(TableFile* file, HANDLE handle);
