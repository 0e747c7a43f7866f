// TODAY.CNF into the $TodayTemp section, and the search for table files.
#pragma once

#include <windows.h>

int LoadTodayConfig();
BOOL FindTableFile(const char* name, BOOL skipTablePaths, char* output, int size);
// Opens the file named by a $TodayTemp key (index 0: unindexed key) for
// reading; null when the key is unset or the file cannot be opened.
HANDLE OpenTableFile(UINT keyId, int index);
