// The chip's context menu as the host shows it.
#pragma once

#include <windows.h>

#include "host/loader.h"

// An item the host adds below the library's menu items. run gives what
// DoDrawExMenu would: 2 the chip's size changed, 1 its look, 0 nothing.
// state, when given, gives the item's MF_CHECKED or MF_GRAYED flags.
struct HostMenuItem {
  const wchar_t* text;
  int (*run)(const DxlApi* api, HostChip* chip);
  UINT (*state)(const HostChip* chip);
};

// Shows the library's menu with these host items at a screen point and
// carries out the chosen command; returns the command, 0 when none was chosen.
UINT TrackChipMenuWith(const DxlApi* api, HostChip* chip, POINT at, const HostMenuItem* items, UINT count);
// What the host does after a command: 2 resizes the chip window to
// CalcDefaultRect, 1 repaints it.
void ApplyMenuResult(const DxlApi* api, HostChip* chip, int result);
