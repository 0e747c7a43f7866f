// dxlhost's chip menu: its own items, and the menu command.
#pragma once

#include <windows.h>

#include "host/menu.h"

// TrackChipMenuWith the stand-in host's own items.
UINT TrackChipMenu(const DxlApi* api, HostChip* chip, POINT at);
// Prints a menu's items: identifier, text, checked and grayed, submenus indented.
void PrintMenu(HMENU menu, int depth);

// dxlhost menu LIBRARY [options]
int RunMenuCommand(int argc, char** argv);
