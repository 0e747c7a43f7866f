#include "host/menu.h"

namespace {

// The host's items follow the library's, below a separator, from here on.
const UINT kHostItemBase = 0xE000;

}  // namespace

void ApplyMenuResult(const DxlApi* api, HostChip* chip, int result) {
  if (result == 2 && api->CalcDefaultRect) {
    SIZE size = {0, 0};
    if (api->CalcDefaultRect(chip->chip, chip->window, &size) && size.cx > 0 && size.cy > 0)
      SetWindowPos(chip->window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (result == 1 || result == 2) InvalidateRect(chip->window, nullptr, FALSE);
}

UINT TrackChipMenuWith(const DxlApi* api, HostChip* chip, POINT at, const HostMenuItem* items, UINT count) {
  HMENU menu = api->GetDrawExMenu ? api->GetDrawExMenu(chip->chip) : nullptr;
  if (menu) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  } else {
    menu = CreatePopupMenu();  // the host items are offered all the same
    if (!menu) return 0;
  }
  for (UINT i = 0; i < count; ++i)
    AppendMenuW(menu, MF_STRING | (items[i].state ? items[i].state(chip) : 0), kHostItemBase + i, items[i].text);
  SetForegroundWindow(chip->window);
  UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, chip->window, nullptr);
  DestroyMenu(menu);  // with its submenu: the host owns what the library handed out
  if (!command) return 0;
  int result = 0;
  if (command >= kHostItemBase && command < kHostItemBase + count) {
    result = items[command - kHostItemBase].run(api, chip);
  } else if (api->DoDrawExMenu) {
    result = api->DoDrawExMenu(chip->chip, chip->window, command);
  }
  ApplyMenuResult(api, chip, result);
  return command;
}
