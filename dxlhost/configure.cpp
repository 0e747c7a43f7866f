#include "dxlhost/configure.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dxlhost/capture.h"
#include "dxlhost/commandhelpers.h"

namespace {

void ConfigureUsage() {
  fputs(
      "usage: dxlhost configure LIBRARY [--help-on ID] [--shot FILE.png] [--close ok|cancel]\n"
      "  Runs the library's configuration dialog (DrawExConfigure) as a host does\n"
      "  and prints the settings keys it changed. --help-on asks for the help of\n"
      "  control ID as F1 on it does; --shot writes a picture of the dialog, and\n"
      "  of what that help showed, as the screen shows it; --close presses OK or\n"
      "  Cancel once the dialog is shown (after the picture).\n",
      stderr);
}

// What the system sends the dialog for F1 on a control.
void AskControlHelp(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  RECT r = {0, 0, 0, 0};
  if (item) GetWindowRect(item, &r);
  HELPINFO info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.iCtrlId = id;
  info.hItemHandle = item;
  info.MousePos = POINT{r.left, r.top};
  SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

struct OwnedWindows {
  HWND owner;
  RECT* bounds;
};

BOOL CALLBACK AddOwnedWindow(HWND window, LPARAM param) {
  OwnedWindows* owned = reinterpret_cast<OwnedWindows*>(param);
  RECT r;
  if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owned->owner && GetWindowRect(window, &r))
    UnionRect(owned->bounds, owned->bounds, &r);
  return TRUE;
}

// Widens bounds by the visible windows the dialog owns (a help popup).
void AddOwnedWindows(HWND dialog, RECT* bounds) {
  OwnedWindows owned = {dialog, bounds};
  EnumThreadWindows(GetCurrentThreadId(), AddOwnedWindow, reinterpret_cast<LPARAM>(&owned));
}

// Drives the dialog from this thread's timer while DrawExConfigure runs it.
struct ConfigureDriver {
  int helpOn;  // control identifier, 0 for none
  const char* shot;
  int closeWith;  // IDOK, IDCANCEL or 0
  int ticks;
  int shownTicks;
  bool shotWritten;
};
ConfigureDriver g_driver;

void CALLBACK DriveConfigureDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = ShownThreadDialog();
  if (!dialog) {
    if (++g_driver.ticks > 100) KillTimer(nullptr, timer);
    return;
  }
  // The first tick after it shows lets the screen catch up with its painting.
  if (g_driver.shownTicks++ == 0) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (g_driver.helpOn) AskControlHelp(dialog, g_driver.helpOn);
    return;
  }
  KillTimer(nullptr, timer);
  if (g_driver.shot) {
    RECT r;
    GetWindowRect(dialog, &r);
    if (g_driver.helpOn) AddOwnedWindows(dialog, &r);
    g_driver.shotWritten = WriteScreenPng(g_driver.shot, r);
    if (g_driver.shotWritten) printf("%s: %ld x %ld\n", g_driver.shot, r.right - r.left, r.bottom - r.top);
  }
  if (g_driver.closeWith) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_driver.closeWith, BN_CLICKED), 0);
}

}  // namespace

int RunConfigureCommand(int argc, char** argv) {
  if (argc < 1) {
    ConfigureUsage();
    return 2;
  }
  const char* library = argv[0];
  memset(&g_driver, 0, sizeof g_driver);
  for (int i = 1; i < argc; ++i) {
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!strcmp(argv[i], "--shot") && v) g_driver.shot = v, ++i;
    else if (!strcmp(argv[i], "--help-on") && v && atoi(v) > 0) g_driver.helpOn = atoi(v), ++i;
    else if (!strcmp(argv[i], "--close") && v && !strcmp(v, "ok")) g_driver.closeWith = IDOK, ++i;
    else if (!strcmp(argv[i], "--close") && v && !strcmp(v, "cancel")) g_driver.closeWith = IDCANCEL, ++i;
    else {
      ConfigureUsage();
      return 2;
    }
  }

  DxlApi api;
  if (!LoadDxlOrComplain(library, &api)) return 1;
  // The host's window owns the dialog, as the memo application's would.
  HWND owner = CreateChipWindow(160, 120, false);
  UINT_PTR timer = 0;
  if (g_driver.shot || g_driver.closeWith) timer = SetTimer(nullptr, 0, 250, DriveConfigureDialog);
  int result = HostConfigure(&api, owner);
  if (timer) KillTimer(nullptr, timer);
  int status = result == 1 ? 0 : 1;
  if (g_driver.shot && !g_driver.shotWritten) {
    fprintf(stderr, "dxlhost configure: no picture of the dialog in %s\n", g_driver.shot);
    status = 1;
  }
  if (owner) DestroyWindow(owner);
  UnloadDxl(&api);
  return status;
}
