// The program's menu items: below the library's in a chip's menu, and those
// that need no chip in the notification-area icon's menu. One list, by
// command identifier.
#pragma once

#include <windows.h>

// A chip's menu at a screen point; the chosen command is carried out.
void ShowChipMenu(HWND chipWindow, POINT at);
// The icon's menu at a screen point, owned by the program's main window.
void ShowTrayMenu(HWND owner, POINT at);
