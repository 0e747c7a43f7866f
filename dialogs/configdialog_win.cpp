// The configuration dialog (resource 101) and its export.
#include "dialogs/configdialog_win.h"

#include <commdlg.h>
#include <string.h>

#include "plugin/chiplist.h"
#include "plugin/chipstate.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/quote.h"
#include "text/strbasic.h"
#include "text/winfile.h"

namespace {

enum { kPathSize = 260, kFilterSize = 60, kTitleSize = 32 };

// The open-file record without the fields added after Windows 98.
const DWORD kOpenFileNameSize = 76;
typedef BOOL(WINAPI* GetOpenFileNameFn)(OPENFILENAMEA*);

struct EditKey {
  int editId;
  UINT keyId;
  int commandLine;  // kept exactly as shown, quotes and all
};
const EditKey kEditKeys[] = {
    {IDC_TODAYCNF, IDS_KEY_TODAYCNF, 0},
    {IDC_EDITOR, IDS_KEY_EDITOR, 1},
    {IDC_PROGRAM, IDS_KEY_PROGRAM, 1},
};

struct BrowseStrings {
  int buttonId;
  UINT filterId;
  UINT titleId;
  int quotePath;  // the edit holds a command line, not a file name
};
const BrowseStrings kBrowseStrings[] = {
    {IDC_BROWSE_TODAYCNF, IDS_FILTER_CNF, IDS_TITLE_CNF, 0},
    {IDC_BROWSE_EDITOR, IDS_FILTER_EXE, IDS_TITLE_EDITOR, 1},
    {IDC_BROWSE_PROGRAM, IDS_FILTER_EXE, IDS_TITLE_PROGRAM, 1},
};

const int kTodayControls[] = {IDC_POPUP_TIPS, IDC_TODAYCNF, IDC_BROWSE_TODAYCNF, IDC_EDITOR, IDC_BROWSE_EDITOR};

}  // namespace

int InitConfigDialog(HWND dialog) {
  int flags = ReadSettingInt(kUserSection, IDS_KEY_FLAGS, 3);
  CheckDlgButton(dialog, IDC_USE_TODAY, (flags & 1) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_POPUP_TIPS, (flags & 2) ? BST_CHECKED : BST_UNCHECKED);
  for (const EditKey& e : kEditKeys) {
    SendDlgItemMessageA(dialog, e.editId, EM_LIMITTEXT, kPathSize - 1, 0);
    char text[kPathSize];
    ReadSettingString(kUserSection, e.keyId, "", text, sizeof text);
    SetDlgItemTextA(dialog, e.editId, text);
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_USE_TODAY, 0), (LPARAM)GetDlgItem(dialog, IDC_USE_TODAY));
  return 1;
}

void EnableTodayControls(HWND dialog) {
  BOOL enable = IsDlgButtonChecked(dialog, IDC_USE_TODAY) == BST_CHECKED;
  for (int id : kTodayControls) EnableWindow(GetDlgItem(dialog, id), enable);
}

int BrowseForFile(HWND dialog, int buttonId) {
  const BrowseStrings* strings = nullptr;
  for (const BrowseStrings& b : kBrowseStrings)
    if (b.buttonId == buttonId) strings = &b;
  if (!strings) return 0;

  // One spare zero byte past the loaded text: the list always ends in two.
  char filter[kFilterSize + 1];
  char title[kTitleSize];
  memset(filter, 0, sizeof filter);
  if (LoadStringA(g_hInstance, strings->filterId, filter, kFilterSize) <= 0) filter[0] = '\0';
  if (LoadStringA(g_hInstance, strings->titleId, title, sizeof title) <= 0) title[0] = '\0';
  SplitFields(filter, "|");

  char text[kPathSize];
  if (!GetDlgItemTextA(dialog, buttonId - 1, text, sizeof text)) text[0] = '\0';
  // A command line gives the dialog its program alone, unquoted (Windows
  // refuses a file name with a '"'), and keeps its arguments; a path with
  // blanks that names a file is a program alone.
  char file[kPathSize];
  const char* arguments = "";
  if (strings->quotePath && !FileExists(text))
    arguments = SplitCommandLine(text, file, sizeof file);
  else
    lstrcpynA(file, text, sizeof file);

  OPENFILENAMEA ofn;
  memset(&ofn, 0, sizeof ofn);
  ofn.lStructSize = kOpenFileNameSize;
  ofn.hwndOwner = dialog;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = title;
  // The host's current folder is the host's: browsing leaves it as it was.
  ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR;
  // The common dialogs are loaded only while browsing, not with the library:
  // a host loads and unloads the library often, and they keep a handle for
  // each load.
  HMODULE comdlg = LoadLibraryA("comdlg32.dll");
  GetOpenFileNameFn getOpenFileName =
      comdlg ? reinterpret_cast<GetOpenFileNameFn>(reinterpret_cast<void*>(GetProcAddress(comdlg, "GetOpenFileNameA")))
             : nullptr;
  BOOL chosen = getOpenFileName && getOpenFileName(&ofn);
  if (comdlg) FreeLibrary(comdlg);
  if (!chosen) return 0;
  // The chosen program takes the old one's place before the arguments: a
  // path with a blank is quoted, or C:\Program Files\ed\ed.exe would start
  // C:\Program.exe first. What does not fit the edit goes in as chosen.
  char line[kPathSize];
  if (strings->quotePath && (JoinCommandLine(file, arguments, line, sizeof line) ||
                             JoinCommandLine(file, "", line, sizeof line)))
    SetDlgItemTextA(dialog, buttonId - 1, line);
  else
    SetDlgItemTextA(dialog, buttonId - 1, file);
  return 1;
}

void SaveConfigDialog(HWND dialog) {
  int flags = (IsDlgButtonChecked(dialog, IDC_USE_TODAY) == BST_CHECKED ? 1 : 0) +
              (IsDlgButtonChecked(dialog, IDC_POPUP_TIPS) == BST_CHECKED ? 2 : 0);
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, flags);
  for (const EditKey& e : kEditKeys) {
    char text[kPathSize];
    if (!GetDlgItemTextA(dialog, e.editId, text, sizeof text)) text[0] = '\0';
    // Reading takes one pair of quotes (' or ") off a whole value, so a
    // value wholly in quotes is stored in a second pair.
    char stored[kPathSize + 2];
    if (e.commandLine && IsWholeQuoted(text) && QuoteText(text, stored, sizeof stored))
      WriteSettingString(kUserSection, e.keyId, stored);
    else
      WriteSettingString(kUserSection, e.keyId, text);
  }
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return InitConfigDialog(dialog);
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          SaveConfigDialog(dialog);
          EndDialog(dialog, IDOK);
          break;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          break;
        case IDC_USE_TODAY:
          EnableTodayControls(dialog);
          break;
        case IDC_BROWSE_TODAYCNF:
        case IDC_BROWSE_EDITOR:
        case IDC_BROWSE_PROGRAM:
          BrowseForFile(dialog, LOWORD(wParam));
          break;
        default:
          break;
      }
      return 0;
    case WM_HELP:
      ShowControlHelp(dialog, reinterpret_cast<const HELPINFO*>(lParam));
      return 1;
    default:
      return 0;
  }
}

namespace {

// What decides which TODAY.CNF the chips show.
struct TodayChoice {
  int useToday;
  char todayCnf[kPathSize];
};

void ReadTodayChoice(TodayChoice* choice) {
  choice->useToday = ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault) & kFlagUseToday;
  ReadSettingString(kUserSection, IDS_KEY_TODAYCNF, "", choice->todayCnf, sizeof choice->todayCnf);
}

}  // namespace

extern "C" int __cdecl DrawExConfigure(HWND parent) {
  TodayChoice before, after;
  ReadTodayChoice(&before);
  if (DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), parent, ConfigDialogProc, 0) != IDOK) return 1;
  ReadTodayChoice(&after);
  // Every chip shows the new choice at once, not only after a reload.
  if (after.useToday != before.useToday || lstrcmpA(after.todayCnf, before.todayCnf) != 0)
    ReloadEveryChip(1, nullptr, nullptr);
  return 1;
}
