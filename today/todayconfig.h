// TODAY.CNF into the $TodayTemp section, and the search for table files.
#pragma once

#include <windows.h>

int LoadTodayConfig();
// A load that failed for another cause than TODAY.CNF being absent or TODAY
// use being off (the file held open while it is saved, no memory, a section
// that could not be written) is loaded again here, at most once a second,
// until it works: the library has no timer of its own, so a chip's Update
// and a hover ask. Nonzero when this call loaded the section.
int RetryTodayConfig();
// Changes when a load works after one that failed: marks computed before
// came from a section that was missing or out of date.
LONG TodaySectionGeneration();
BOOL FindTableFile(const char* name, BOOL skipTablePaths, char* output, int size);
