// Message box and help routines.
#include <string.h>

#include "plugin/globals.h"
#include "plugin/help.h"
#include "plugin/helppopup.h"
#include "plugin/startcommand.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/winfile.h"

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

namespace {

// The HTML Help viewer of the Windows folder on the .chm beside the library,
// as a process of its own: the viewer never loads into the host. The
// system's Windows folder: on a terminal server a host not marked as aware
// of it gets a Windows folder of the user's own from GetWindowsDirectoryA,
// without the viewer.
void ShowHelpContents(HWND owner, const char* helpPath) {
  char chm[MAX_PATH];
  lstrcpynA(chm, helpPath, sizeof chm);
  if (!ReplaceExtension(chm, sizeof chm, "chm") || !FileExists(chm)) {
    ShowError(owner, IDS_NO_HELP_FILE);
    return;
  }
  char folder[MAX_PATH];
  UINT n = GetSystemWindowsDirectoryA(folder, sizeof folder);
  char viewer[MAX_PATH];
  char commandLine[2 * MAX_PATH + 16];
  if (n == 0 || n >= sizeof folder || !BuildHelpViewerPath(folder, viewer, sizeof viewer) ||
      !BuildHelpViewerCommand(folder, chm, commandLine, sizeof commandLine)) {
    MessageBeep(MB_ICONEXCLAMATION);
    return;
  }
  if (!StartProgram(viewer, commandLine)) MessageBeep(MB_ICONEXCLAMATION);
}

}  // namespace

void ShowHelpFor(const char* modulePath, HWND owner, UINT command, ULONG_PTR data) {
  char path[MAX_PATH];
  if (!HelpPathFor(modulePath, path, sizeof path)) return;
  if (FileExists(path)) {
    WinHelpA(owner, path, command, data);
    return;
  }
  switch (command) {
    case HELP_CONTENTS:
      ShowHelpContents(owner, path);
      break;
    case HELP_CONTEXTPOPUP:
      ShowControlHelpPopup(owner, (int)data);
      break;
    case HELP_QUIT:
      CloseControlHelpPopup();
      break;
  }
}

void ShowHelp(HWND owner, UINT command, ULONG_PTR data) {
  char modulePath[MAX_PATH];
  DWORD n = GetModuleFileNameA(g_hInstance, modulePath, sizeof modulePath);
  if (n == 0 || n >= sizeof modulePath) return;
  ShowHelpFor(modulePath, owner, command, data);
}

void ShowControlHelp(HWND dialog, const HELPINFO* info) {
  if (!info || info->iContextType != HELPINFO_WINDOW) return;
  ShowHelp(dialog, HELP_CONTEXTPOPUP, (ULONG_PTR)info->iCtrlId);
}
