// The configuration dialog: the user-wide options of the settings file.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int InitConfigDialog(HWND dialog);
// Enables the controls that depend on the use of TODAY's files.
void EnableTodayControls(HWND dialog);
// Open-file dialog for the edit beside a browse button; 1 when a file was chosen.
int BrowseForFile(HWND dialog, int buttonId);
void SaveConfigDialog(HWND dialog);
