// What the library does when it is loaded and unloaded.
#pragma once

#include <windows.h>

void AttachLibrary(HINSTANCE instance);
void DetachLibrary();
