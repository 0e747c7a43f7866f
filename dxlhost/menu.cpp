#include "dxlhost/menu.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "dxlhost/capture.h"
#include "dxlhost/commandhelpers.h"
#include "dxlhost/paint.h"
#include "host/configure.h"
#include "host/edit.h"

namespace {

int CloseChip(const DxlApi*, HostChip* chip) {
  PostMessageA(chip->window, WM_CLOSE, 0, 0);
  return 0;
}

// The stand-in host's own items, below the library's in this order.
// Closing the chip stays last.
const HostMenuItem kHostItems[] = {
    {L"描画拡張の設定(&S)...", ConfigureFromChipMenu},
    {L"チップの設定(&S)...", EditChipFromMenu},
    {L"チップを閉じる(&X)", CloseChip},
};
const UINT kHostItemCount = sizeof kHostItems / sizeof kHostItems[0];

void MenuUsage() {
  fputs(
      "usage: dxlhost menu LIBRARY [--memo TEXT] [--save-in FILE] [--months 1|2] [--stacked]\n"
      "         [--english] [--setting KEY=VALUE]... [--run ID] [--shot FILE.png] [--at X,Y]\n"
      "  Creates a chip and prints the menu GetDrawExMenu gives for it: each item's\n"
      "  identifier, text, checked and grayed state. The saved data comes from\n"
      "  --save-in, or else from --months, --stacked and --english. Each --setting\n"
      "  is written into the user section of the settings file beside the library\n"
      "  for this run and put back afterwards. --run carries out a command with\n"
      "  DoDrawExMenu and prints its result, the chip's state and the menu after\n"
      "  it. --shot shows the chip with its menu, the file submenu open, and writes\n"
      "  a picture of that part of the screen.\n",
      stderr);
}

// A setting of the user section, put back when the run ends.
struct SavedSetting {
  std::string key;
  bool present;
  std::string value;
};

bool ApplySetting(const SettingsFile& f, const char* assignment, std::vector<SavedSetting>* saved) {
  const char* eq = strchr(assignment, '=');
  if (!eq || eq == assignment) return false;
  SavedSetting s;
  s.key.assign(assignment, eq - assignment);
  char value[1024];
  GetPrivateProfileStringA(f.section.c_str(), s.key.c_str(), "\x01", value, sizeof value, f.path.c_str());
  s.present = strcmp(value, "\x01") != 0;
  s.value = value;
  saved->push_back(s);
  return WritePrivateProfileStringA(f.section.c_str(), s.key.c_str(), eq + 1, f.path.c_str()) != 0;
}

void RestoreSettings(const SettingsFile& f, const std::vector<SavedSetting>& saved) {
  for (size_t i = saved.size(); i-- > 0;) {
    const SavedSetting& s = saved[i];
    WritePrivateProfileStringA(f.section.c_str(), s.key.c_str(), s.present ? s.value.c_str() : nullptr,
                               f.path.c_str());
  }
}

// Takes a picture while the menu is up: opens the file submenu with the
// keyboard, then writes the picture and ends the menu.
struct MenuShot {
  const char* path;
  HWND window;
  int ticks;
  bool written;
};
MenuShot g_menuShot;

VOID CALLBACK MenuShotTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  MenuShot& s = g_menuShot;
  ++s.ticks;
  if (s.ticks == 1) {
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) {
      PostMessageA(s.window, WM_KEYDOWN, key, 1);
      PostMessageA(s.window, WM_KEYUP, key, 0xC0000001);
    }
    return;
  }
  if (s.ticks < 3) return;  // let the submenu open and paint
  s.written = WriteScreenPng(s.path, WindowAndMenusArea(s.window));
  KillTimer(window, id);
  EndMenu();
}

}  // namespace

UINT TrackChipMenu(const DxlApi* api, HostChip* chip, POINT at) {
  return TrackChipMenuWith(api, chip, at, kHostItems, kHostItemCount);
}

void PrintMenu(HMENU menu, int depth) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    printf("%*s", 2 * depth, "");
    if (info.fType & MFT_SEPARATOR) {
      printf("-----\n");
      continue;
    }
    if (info.hSubMenu) {
      printf("popup \"%s\"%s\n", text, (info.fState & MFS_GRAYED) ? " grayed" : "");
      PrintMenu(info.hSubMenu, depth + 1);
      continue;
    }
    printf("%u \"%s\"%s%s\n", info.wID, text, (info.fState & MFS_CHECKED) ? " checked" : "",
           (info.fState & MFS_GRAYED) ? " grayed" : "");
  }
}

namespace {

void PrintChipMenu(const char* when, const DxlApi* api, HGLOBAL chip) {
  HMENU menu = api->GetDrawExMenu(chip);
  if (!menu) {
    printf("%s: GetDrawExMenu gave no menu\n", when);
    return;
  }
  printf("%s: GetDrawExMenu gave a menu of %d items\n", when, GetMenuItemCount(menu));
  PrintMenu(menu, 1);
  DestroyMenu(menu);
}

int RunMenuChip(const DxlApi& api, const PaintOptions& o, const char* saveIn, long run, const char* shot,
                POINT at) {
  HostChip chip;
  int result = 0;
  std::vector<unsigned char> block;
  if (saveIn && !ReadWholeFile(saveIn, &block)) {
    fprintf(stderr, "dxlhost menu: cannot read %s\n", saveIn);
    result = 1;
  } else if (!CreatePaintChip(&api, o, &chip)) {
    fprintf(stderr, "dxlhost menu: the chip could not be created\n");
    result = 1;
  } else {
    if (saveIn) {
      HostChipSetSaveData(&chip, block.data(), block.size());
      HostUpdate(&api, &chip);
      ApplyMenuResult(&api, &chip, 2);
    }
    printf("memo text: \"%s\"\n", o.memo);
    printf("saved data: %s\n", HexBytes(HostChipSaveBytes(&chip)).c_str());
    PrintChipState("chip", chip.chip);
    PrintChipMenu("menu", &api, chip.chip);
    if (shot) {
      LiveChip live = {&api, &chip};
      SetWindowLongPtrA(chip.window, GWLP_USERDATA, (LONG_PTR)&live);
      SetWindowPos(chip.window, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
      UpdateWindow(chip.window);
      memset(&g_menuShot, 0, sizeof g_menuShot);
      g_menuShot.path = shot;
      g_menuShot.window = chip.window;
      SetTimer(chip.window, 1, 400, MenuShotTimer);
      RECT r;
      GetWindowRect(chip.window, &r);
      POINT p = {r.left + 24, r.top + 32};
      TrackChipMenu(&api, &chip, p);
      KillTimer(chip.window, 1);
      if (g_menuShot.written) {
        printf("%s: the chip with its menu\n", shot);
      } else {
        fprintf(stderr, "dxlhost menu: no picture of the menu in %s\n", shot);
        result = 1;
      }
      SetWindowLongPtrA(chip.window, GWLP_USERDATA, 0);
      ShowWindow(chip.window, SW_HIDE);
    }
    if (run >= 0) {
      int r = api.DoDrawExMenu(chip.chip, chip.window, (UINT)run);
      printf("DoDrawExMenu(%ld): %d\n", run, r);
      PrintChipState("after DoDrawExMenu", chip.chip);
      if (r == 2 && api.CalcDefaultRect) {
        SIZE size = {0, 0};
        int c = api.CalcDefaultRect(chip.chip, chip.window, &size);
        printf("CalcDefaultRect: %d (%ld x %ld)\n", c, size.cx, size.cy);
      }
      PrintChipMenu("menu after", &api, chip.chip);
    }
  }
  if (chip.chip) HostDestroy(&api, &chip);
  HostChipFree(&chip);
  return result;
}

}  // namespace

int RunMenuCommand(int argc, char** argv) {
  if (argc < 1) {
    MenuUsage();
    return 2;
  }
  const char* library = argv[0];
  const char* saveIn = nullptr;
  const char* shot = nullptr;
  long run = -1;
  POINT at = {40, 40};
  std::vector<const char*> settings;
  PaintOptions o;
  DefaultPaintOptions(&o);
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (!strcmp(a, "--stacked")) o.stacked = true;
    else if (!strcmp(a, "--english")) o.english = true;
    else if (!v) ok = false;
    else if (!strcmp(a, "--memo")) o.memo = v, ++i;
    else if (!strcmp(a, "--save-in")) saveIn = v, ++i;
    else if (!strcmp(a, "--months")) o.months = atoi(v), ok = o.months == 1 || o.months == 2, ++i;
    else if (!strcmp(a, "--setting")) settings.push_back(v), ok = strchr(v, '=') && v[0] != '=', ++i;
    else if (!strcmp(a, "--shot")) shot = v, ++i;
    else if (!strcmp(a, "--at")) ok = sscanf(v, "%ld,%ld", &at.x, &at.y) == 2, ++i;
    else if (!strcmp(a, "--run")) {
      char* end = nullptr;
      run = strtol(v, &end, 10);
      ok = *v && !*end && run >= 0 && run <= 0xFFFF;
      ++i;
    } else ok = false;
    if (!ok) {
      fprintf(stderr, "dxlhost menu: bad argument %s\n", a);
      MenuUsage();
      return 2;
    }
  }

  SettingsFile file = LibrarySettingsFile(library);
  std::vector<SavedSetting> saved;
  for (const char* s : settings) {
    if (!ApplySetting(file, s, &saved)) {
      fprintf(stderr, "dxlhost menu: cannot write %s into %s\n", s, file.path.c_str());
      RestoreSettings(file, saved);
      return 1;
    }
  }
  int result = 1;
  DxlApi api;
  if (LoadDxlOrComplain(library, &api)) {
    if (!api.GetDrawExMenu || !api.DoDrawExMenu) {
      fprintf(stderr, "dxlhost menu: %s has no GetDrawExMenu or DoDrawExMenu\n", library);
    } else {
      result = RunMenuChip(api, o, saveIn, run, shot, at);
    }
    UnloadDxl(&api);
  }
  RestoreSettings(file, saved);
  return result;
}
