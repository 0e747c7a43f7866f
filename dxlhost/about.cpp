#include "dxlhost/about.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "dxlhost/capture.h"
#include "dxlhost/commandhelpers.h"

namespace {

void AboutUsage() {
  fputs(
      "usage: dxlhost about LIBRARY [--shot FILE.png]\n"
      "  Shows the library's about box with DrawExAbout. --shot writes a picture\n"
      "  of the box as it is on the screen and then presses its OK button.\n",
      stderr);
}

struct AboutShot {
  const char* path;
  int ticks;
  bool written;
};
AboutShot g_aboutShot;

VOID CALLBACK AboutShotTimer(HWND, UINT, UINT_PTR id, DWORD) {
  AboutShot& s = g_aboutShot;
  HWND dialog = ShownThreadDialog();
  ++s.ticks;
  if (!dialog) {
    if (s.ticks > 40) {  // the box never came: end its loop all the same
      KillTimer(nullptr, id);
      PostQuitMessage(1);
    }
    return;
  }
  UpdateWindow(dialog);
  RECT area;
  GetWindowRect(dialog, &area);
  s.written = WriteScreenPng(s.path, area);
  KillTimer(nullptr, id);
  SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

}  // namespace

int RunAboutCommand(int argc, char** argv) {
  if (argc != 1 && !(argc == 3 && !strcmp(argv[1], "--shot"))) {
    AboutUsage();
    return 2;
  }
  const char* shot = argc == 3 ? argv[2] : nullptr;
  DxlApi api;
  if (!LoadDxlOrComplain(argv[0], &api)) return 1;
  int result = 0;
  if (!api.DrawExAbout) {
    fprintf(stderr, "dxlhost about: %s has no DrawExAbout\n", argv[0]);
    result = 1;
  } else {
    memset(&g_aboutShot, 0, sizeof g_aboutShot);
    g_aboutShot.path = shot;
    UINT_PTR timer = shot ? SetTimer(nullptr, 0, 500, AboutShotTimer) : 0;
    printf("DrawExAbout: %d\n", api.DrawExAbout(nullptr));
    if (timer) KillTimer(nullptr, timer);
    if (shot) {
      // A quit message that ended a box which never came is not for us.
      MSG msg;
      PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      if (g_aboutShot.written) {
        printf("%s: the about box\n", shot);
      } else {
        fprintf(stderr, "dxlhost about: no picture of the about box in %s\n", shot);
        result = 1;
      }
    }
  }
  UnloadDxl(&api);
  return result;
}
