// The chip's context menu, file editing and the about box.
#pragma once

#include <windows.h>

enum { kScheduleFileCount = 16 };

// Starts the editor on TODAY.CNF (index 0) or schedule file index (1-16);
// nonzero when the editor was started.
int EditTodayFile(HWND chipWindow, int index);
// Runs the about box (dialog 100) modally.
void RunAboutBox(HWND parent);
