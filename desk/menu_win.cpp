// The program's own menu items and the two menus that show them.
#include "desk/deskmenu.h"

#include <string.h>

#include "desk/autostart.h"
#include "desk/deskabout.h"
#include "desk/deskchips.h"
#include "desk/deskstore.h"
#include "desk/fontcolor.h"
#include "host/edit.h"
#include "host/menu.h"

namespace {

enum DeskCommand : UINT {
  kNewChip = 0xE100,
  kChipSettings,
  kFont,
  kBackground,
  kTopmost,
  kDelete,
  kShowChips,
  kConfigure,
  kAbout,
  kStartWithWindows,
  kQuit,
};

enum : unsigned { kChipMenu = 1, kTrayMenu = 2 };

// Their access keys are none of the library's menu.
const struct {
  DeskCommand id;
  const wchar_t* text;
  unsigned menus;
} kItems[] = {
    {kNewChip, L"新しいチップ(&N)", kChipMenu | kTrayMenu},
    {kChipSettings, L"チップの設定(&S)...", kChipMenu},
    {kFont, L"文字の色とフォント(&F)...", kChipMenu},
    {kBackground, L"背景の色(&B)...", kChipMenu},
    {kTopmost, L"常に手前に表示(&P)", kChipMenu},
    {kDelete, L"チップを削除(&D)", kChipMenu},
    {kShowChips, L"チップを表示(&C)", kTrayMenu},
    {kConfigure, L"描画拡張の設定(&O)...", kChipMenu | kTrayMenu},
    {kAbout, L"バージョン情報(&I)...", kChipMenu | kTrayMenu},
    {kStartWithWindows, L"Windows の起動時に開始(&W)", kChipMenu | kTrayMenu},
    {kQuit, L"終了(&X)", kChipMenu | kTrayMenu},
};

UINT StateOf(DeskCommand id, HWND chipWindow) {
  switch (id) {
    case kTopmost: {
      DeskChip* c = ChipOfWindow(chipWindow);
      return c && c->topmost ? MF_CHECKED : 0;
    }
    case kConfigure:
      return g_desk.api.DrawExConfigure ? 0 : MF_GRAYED;
    case kStartWithWindows:
      return StartsWithWindows() ? MF_CHECKED : 0;
    default:
      return 0;
  }
}

void AppendItems(HMENU menu, unsigned which, HWND chipWindow) {
  for (const auto& item : kItems)
    if (item.menus & which) AppendMenuW(menu, MF_STRING | StateOf(item.id, chipWindow), item.id, item.text);
}

// チップの設定: the dialog works on copies of the memo text and saved data,
// which the chip takes after OK, if it is still there.
void EditChipSettings(HWND window) {
  DeskChip* c = ChipOfWindow(window);
  if (!c) return;
  HostChip copy;
  HostChipInit(&copy, nullptr);
  HostChipSetMemo(&copy, HostChipMemo(&c->host).c_str());
  std::vector<unsigned char> block = HostChipSaveBytes(&c->host);
  HostChipSetSaveData(&copy, block.data(), block.size());
  int result;
  {
    ModalScope modal;
    result = HostEditChip(&g_desk.api, &copy, window);
  }
  if (result == 1 && copy.memo && copy.saveData && (c = ChipOfWindow(window))) {
    std::swap(c->host.memo, copy.memo);
    std::swap(c->host.saveData, copy.saveData);
    HostUpdate(&g_desk.api, &c->host);
    ApplyMenuResult(&g_desk.api, &c->host, 2);
  }
  HostChipFree(&copy);
}

void ToggleTopmost(HWND window) {
  DeskChip* c = ChipOfWindow(window);
  if (!c) return;
  c->topmost = !c->topmost;
  SetWindowPos(window, c->topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void AskToDelete(HWND window) {
  if (DeskMessageBox(window, L"このチップを削除しますか？", MB_YESNO | MB_ICONQUESTION) == IDYES && ChipOfWindow(window))
    PostMessageA(g_desk.mainWindow, WM_DESK_DELETECHIP, (WPARAM)window, 0);
}

void Configure(HWND owner) {
  if (!g_desk.api.DrawExConfigure) return;
  {
    ModalScope modal;
    g_desk.api.DrawExConfigure(owner);
  }
  UpdateAllChips("configure");  // the options hold for every chip
}

void About(HWND owner) {
  ModalScope modal;
  ShowDeskAbout(owner, g_desk.api.file);
}

// Carries out one of the program's commands; chipWindow is the chip it was
// asked on, or null from the icon (owner then owns what it shows).
void RunCommand(DeskCommand id, HWND chipWindow, HWND owner, POINT askedFrom) {
  switch (id) {
    case kNewChip:
      if (NewDeskChip(askedFrom)) SaveDesk();
      return;
    case kChipSettings:
      EditChipSettings(chipWindow);
      break;
    case kFont:
      ChooseChipFont(chipWindow);
      break;
    case kBackground:
      ChooseChipBackground(chipWindow);
      break;
    case kTopmost:
      ToggleTopmost(chipWindow);
      break;
    case kDelete:
      AskToDelete(chipWindow);
      return;
    case kShowChips:
      ShowAllChips();
      break;
    case kConfigure:
      Configure(owner);
      break;
    case kAbout:
      About(owner);
      return;
    case kStartWithWindows:
      // A value naming another copy is replaced by this one's.
      SetStartWithWindows(!StartsWithWindows());
      return;
    case kQuit:
      PostMessageA(g_desk.mainWindow, WM_CLOSE, 0, 0);
      return;
  }
  SaveDesk();
}

bool IsDeskCommand(UINT command) {
  for (const auto& item : kItems)
    if (item.id == command) return true;
  return false;
}

UINT TrackMenu(HMENU menu, HWND owner, POINT at) {
  ModalScope modal;
  SetForegroundWindow(owner);
  UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
  return command;
}

}  // namespace

void ShowChipMenu(HWND window, POINT at) {
  DeskChip* c = ChipOfWindow(window);
  if (!c) return;
  HMENU menu = g_desk.api.GetDrawExMenu ? g_desk.api.GetDrawExMenu(c->host.chip) : nullptr;
  if (menu) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  else if (!(menu = CreatePopupMenu())) return;  // the program's items are offered all the same
  AppendItems(menu, kChipMenu, window);
  UINT command = TrackMenu(menu, window, at);
  DestroyMenu(menu);  // with its submenu: the host owns what the library handed out
  if (!command) return;
  if (IsDeskCommand(command)) {
    RECT r;
    POINT middle = at;
    if (GetWindowRect(window, &r)) middle = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    RunCommand((DeskCommand)command, window, window, middle);
    return;
  }
  if (!(c = ChipOfWindow(window)) || !g_desk.api.DoDrawExMenu) return;
  int result;
  {
    ModalScope modal;  // the library's commands may show a dialog or a box
    result = g_desk.api.DoDrawExMenu(c->host.chip, window, command);
  }
  if (!(c = ChipOfWindow(window))) return;
  ApplyMenuResult(&g_desk.api, &c->host, result);
  SaveDesk();
}

void ShowTrayMenu(HWND owner, POINT at) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendItems(menu, kTrayMenu, nullptr);
  UINT command = TrackMenu(menu, owner, at);
  DestroyMenu(menu);
  if (IsDeskCommand(command)) RunCommand((DeskCommand)command, nullptr, owner, at);
}
