// Message box and help routines.
#include <string.h>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"

void ShowError(HWND owner, UINT stringId) {
  char caption[32];
  char text[128];
  if (LoadStringA(g_hInstance, IDS_PRODUCT, caption, sizeof caption) <= 0) caption[0] = '\0';
  if (LoadStringA(g_hInstance, stringId, text, sizeof text) <= 0) text[0] = '\0';
  MessageBoxA(owner, text, caption, MB_ICONEXCLAMATION | MB_OK);
}

int HelpPathFor(const char* modulePath, char* out, int size) {
  if (!out || size <= 0) return 0;
  lstrcpynA(out, modulePath ? modulePath : "", size);
  if (!ReplaceExtension(out, size, "hlp")) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

int BuildHelpPath(char* out, int size) {
  char modulePath[MAX_PATH];
  DWORD n = GetModuleFileNameA(g_hInstance, modulePath, sizeof modulePath);
  if (n == 0 || n >= sizeof modulePath) modulePath[0] = '\0';
  return HelpPathFor(modulePath, out, size);
}

void ShowHelp(HWND owner, UINT command, ULONG_PTR data) {
  char path[MAX_PATH];
  if (!BuildHelpPath(path, sizeof path)) return;
  WinHelpA(owner, path, command, data);
}

void ShowControlHelp(HWND dialog, const HELPINFO* info) {
  if (!info || info->iContextType != HELPINFO_WINDOW) return;
  ShowHelp(dialog, HELP_CONTEXTPOPUP, (ULONG_PTR)info->iCtrlId);
}
