// The configuration dialog run as a host runs it, and what it changed.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "host/loader.h"

typedef std::vector<std::pair<std::string, std::string>> SettingsKeys;

// Every key of the user section with its value, in the file's order.
SettingsKeys ReadSettingsKeys(const SettingsFile& settings);
// One line per key that was added, removed or changed; returns their number.
int PrintSettingsChanges(const SettingsKeys& before, const SettingsKeys& after);

// DrawExConfigure owned by the window, then the changes printed: what a host
// menu item for the library's configuration does.
int HostConfigure(const DxlApi* api, HWND owner);
// The chip menu's host item: the dialog owned by the chip window, then an
// Update so that the chip follows the options at once; 1 = repaint it.
int ConfigureFromChipMenu(const DxlApi* api, HostChip* chip);
