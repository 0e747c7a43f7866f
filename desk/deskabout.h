// TarnivelDesk's own box of versions.
#pragma once

#include <windows.h>

// One box naming the program and the library at libraryPath, each with its
// file and version (read from the files' version blocks).
void ShowDeskAbout(HWND owner, const char* libraryPath);
