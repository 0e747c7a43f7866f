// Clicking a day starts the user's date command.
#include <string.h>

#include "month/chipview.h"
#include "month/datecmd.h"
#include "plugin/startcommand.h"
#include "resources/resource.h"
#include "settings/settings.h"

extern "C" int __cdecl MouseClik(HGLOBAL chip, HWND chipWindow, const POINT* point) {
  ChipLock state(chip);
  if (!state || !point) return 0;
  uint16_t year, month, day;
  if (!HitTestDate(chipWindow, state.get(), *point, &year, &month, &day)) return 0;

  char command[260];
  if (ReadSettingString(kUserSection, IDS_KEY_PROGRAM, "", command, sizeof command) == 0 || !command[0]) return 0;

  // A command line that would not fit in full is not started at all.
  int started = 0;
  if (ExpandDatePlaceholders(command, sizeof command, year, month, day)) {
    started = StartCommandLine(command);
  }
  if (!started) MessageBeep(0);
  return 0;
}
