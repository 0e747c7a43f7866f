// Choosing from a chip's live menu with the keyboard, as a user would.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "dxlhost/menu.h"
#include "host/loader.h"

namespace livemenu {

// Ends a menu that the keys did not close, so that the test never hangs.
inline VOID CALLBACK EndStuckMenu(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  EndMenu();
}

// The command chosen; 0 when the menu was dismissed.
inline UINT ChooseWithKeys(const DxlApi* api, HostChip* chip, std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys) {
    PostMessageA(chip->window, WM_KEYDOWN, key, 1);
    PostMessageA(chip->window, WM_KEYUP, key, 0xC0000001);
  }
  SetTimer(chip->window, 99, 10000, EndStuckMenu);
  RECT r;
  GetWindowRect(chip->window, &r);
  UINT command = TrackChipMenu(api, chip, POINT{r.left + 10, r.top + 10});
  KillTimer(chip->window, 99);
  return command;
}

}  // namespace livemenu
