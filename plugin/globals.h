// Process-wide data of the library.
#pragma once

#include <windows.h>

// The module whose resources and path the library uses: the library itself,
// or the test program that links the same code.
extern HINSTANCE g_hInstance;

// Message box with the product name as caption (warning icon, OK).
void ShowError(HWND owner, UINT stringId);
// WinHelp on the library's path with the extension "hlp" where that file
// exists; otherwise the HTML Help viewer on the .chm beside the library for
// the contents, the library's own popup for a control.
void ShowHelp(HWND owner, UINT command, ULONG_PTR data);
// ShowHelp for a library at modulePath.
void ShowHelpFor(const char* modulePath, HWND owner, UINT command, ULONG_PTR data);
// WM_HELP handler of the dialogs.
void ShowControlHelp(HWND dialog, const HELPINFO* info);
// The help file's path; 0 when the module path has no '.'.
int BuildHelpPath(char* out, int size);
int HelpPathFor(const char* modulePath, char* out, int size);
