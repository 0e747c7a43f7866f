// The configuration dialog run as a host runs it, and what it changed.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "host/loader.h"

typedef std::vector<std::pair<std::string, std::string>> SettingsKeys;

// The settings file and user section the library uses: its own path with the
// extension "ini", and the Windows user's name ("Default" when it has none
// or it is too long).
bool LocateLibrarySettings(HMODULE module, std::string* file, std::string* section);
SettingsKeys ReadSettingsKeys(const std::string& file, const std::string& section);
// One line per key that was added, removed or changed; returns their number.
int PrintSettingsChanges(const SettingsKeys& before, const SettingsKeys& after);

// DrawExConfigure owned by the window, then the changes printed: what a host
// menu item for the library's configuration does.
int HostConfigure(const DxlApi* api, HWND owner);
// The chip menu's host item: the dialog owned by the chip window, then an
// Update so that the chip follows the options at once; 1 = repaint it.
int ConfigureFromChipMenu(const DxlApi* api, HostChip* chip);

// dxlhost configure LIBRARY [--shot FILE.png] [--close ok|cancel]
int RunConfigureCommand(int argc, char** argv);
