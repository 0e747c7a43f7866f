// TODAY.CNF into the $TodayTemp section, and the search for table files.
#pragma once

#include <windows.h>

int LoadTodayConfig();
BOOL FindTableFile(const char* name, BOOL skipTablePaths, char* output, int size);
