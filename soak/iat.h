// Replacing entries of a loaded module's import address table.
#pragma once

#include <windows.h>

// Points the module's imports of the function `name` (from any library) at
// `hook`; *original gets the address the entry held. Returns the number of
// entries replaced (0 when the module does not import the function).
int PatchImport(HMODULE module, const char* name, void* hook, void** original);
