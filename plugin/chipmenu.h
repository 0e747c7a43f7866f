// The chip's context menu, file editing and the about box.
#pragma once

#include <windows.h>

enum { kScheduleFileCount = 16 };

// Starts the editor on TODAY.CNF (index 0) or schedule file index (1-16);
// nonzero when the editor was started. A per-month schedule file name is
// filled in with year and month, the chip's first shown month, so that the
// editor gets the file the chip reads, whether it exists yet or not.
int EditTodayFile(HWND chipWindow, int index, unsigned year, unsigned month);
// Runs the about box (dialog 100) modally.
void RunAboutBox(HWND parent);
