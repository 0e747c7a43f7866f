// dxlhost desk-shot: the desktop program started on a data folder, its
// chips on the screen with a chip's menu open, captured.
#pragma once

#include <windows.h>

#include <vector>

// The shown top-level windows of the process of class cls (with the control
// when it is not 0), as another process finds them.
std::vector<HWND> ProcessWindows(DWORD pid, const char* cls, int control = 0);

// dxlhost desk-shot PROGRAM APPDATA OUT.png
int RunDeskShotCommand(int argc, char** argv);
