// TODAY.CNF into the $TodayTemp section, and the search for table files.
#pragma once

#include <windows.h>

int LoadTodayConfig();
// A load that failed for another cause than TODAY.CNF being absent or TODAY
// use being off (the file held open while it is saved, its drive or folder
// out of reach, no memory, a section that could not be written) is loaded
// again here, at most once a second, until it works. Nonzero when this call
// settled it: the section loaded, or TODAY.CNF found absent.
int RetryTodayConfig();
// Nonzero while the last load failed and is to be tried again.
int TodayLoadFailed();
// Changes when a load settles after one that failed: marks computed before
// came from a section that was missing or out of date.
LONG TodaySectionGeneration();
BOOL FindTableFile(const char* name, BOOL skipTablePaths, char* output, int size);
