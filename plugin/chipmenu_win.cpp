// The chip's context menu and its commands.
#include "plugin/chipmenu.h"

#include "plugin/chiplist.h"
#include "plugin/chipstate.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "plugin/markcache.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/quote.h"
#include "text/strbasic.h"

namespace {

// Menu resource 1 holds a bar with one popup; the host gets that popup alone.
// It is taken out of the bar before the bar is destroyed, so the host owns
// exactly what it is given.
HMENU LoadChipPopup() {
  HMENU bar = LoadMenuA(g_hInstance, MAKEINTRESOURCEA(IDM_CHIP));
  if (!bar) return nullptr;
  HMENU popup = GetSubMenu(bar, 0);
  if (popup && !RemoveMenu(bar, 0, MF_BYPOSITION)) popup = nullptr;
  DestroyMenu(bar);
  return popup;
}

void AppendScheduleFiles(HMENU files) {
  char path[260];
  // Every '&' of the name doubled, so that the menu shows it as it is.
  char label[2 * sizeof path];
  for (int n = 1; n <= kScheduleFileCount; ++n) {
    if (ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, n, "", path, sizeof path) == 0 ||
        !path[0])
      break;
    const char* slash = FindLastChar(path, '\\');
    if (slash && DoubleAmpersands(slash + 1, label, sizeof label))
      AppendMenuA(files, MF_STRING, IDM_EDIT_SCHEDULE_BASE + n, label);
  }
}

}  // namespace

extern "C" HMENU __cdecl GetDrawExMenu(HGLOBAL chip) {
  ChipLock state(chip);
  if (!state) return nullptr;
  HMENU popup = LoadChipPopup();
  if (!popup) return nullptr;

  if (state->viewFlags & kViewTwoMonths) {
    CheckMenuItem(popup, IDM_TWO_MONTHS, MF_BYCOMMAND | MF_CHECKED);
  } else {
    EnableMenuItem(popup, IDM_STACKED, MF_BYCOMMAND | MF_GRAYED);  // stacking needs two months
  }
  if (state->viewFlags & kViewStacked) CheckMenuItem(popup, IDM_STACKED, MF_BYCOMMAND | MF_CHECKED);

  if (!(ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault) & kFlagUseToday)) {
    static const UINT kTodayItems[] = {IDM_RELOAD_TABLES, IDM_RELOAD_CNF, IDM_EDIT_CNF};
    for (UINT id : kTodayItems) EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
    return popup;
  }
  char path[260];
  if (ReadSettingString(kUserSection, IDS_KEY_TODAYCNF, "", path, sizeof path) == 0 || !path[0])
    EnableMenuItem(popup, IDM_EDIT_CNF, MF_BYCOMMAND | MF_GRAYED);
  HMENU files = GetSubMenu(popup, 3);
  if (files) AppendScheduleFiles(files);
  return popup;
}

extern "C" int __cdecl DoDrawExMenu(HGLOBAL chip, HWND chipWindow, UINT command) {
  switch (command) {
    case IDM_TWO_MONTHS: {
      ChipLock state(chip);
      if (state) {
        state->viewFlags ^= kViewTwoMonths;
        RefreshMarks(chipWindow, state.get(), state->year, state->month);
      }
      return 2;
    }
    case IDM_STACKED: {
      ChipLock state(chip);
      if (state) state->viewFlags ^= kViewStacked;
      return 2;
    }
    case IDM_RELOAD_CNF:
    case IDM_RELOAD_TABLES:
      ReloadEveryChip(command == IDM_RELOAD_CNF, chip, chipWindow);
      return 1;
    case IDM_HELP:
      ShowHelp(chipWindow, HELP_CONTENTS, 0);
      return 0;
    case IDM_ABOUT:
      RunAboutBox(chipWindow);
      return 0;
    default:
      if (command >= IDM_EDIT_CNF && command <= IDM_EDIT_SCHEDULE_BASE + kScheduleFileCount) {
        unsigned year = 0, month = 0;
        {
          ChipLock state(chip);
          if (!state) return 0;
          year = state->year;
          month = state->month;
        }
        EditTodayFile(chipWindow, (int)(command - IDM_EDIT_CNF), year, month);
      }
      return 0;
  }
}
