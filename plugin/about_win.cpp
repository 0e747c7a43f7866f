// The about box.
#include "plugin/chipmenu.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return 1;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return 1;
      }
      break;
  }
  return 0;
}

}  // namespace

void RunAboutBox(HWND parent) {
  DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), parent, AboutDialogProc, 0);
}

extern "C" int __cdecl DrawExAbout(HWND parent) {
  RunAboutBox(parent);
  return 1;
}
