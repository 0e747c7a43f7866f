// PLACEHOLDER: replaced by the TODAY configuration work.
#include "today/todayconfig.h"

int LoadTodayConfig() { return 0; }
BOOL FindTableFile(const char*, BOOL, char*, int) { return FALSE; }
HANDLE OpenTableFile(UINT, int) { return nullptr; }
