// Opening TODAY.CNF or a schedule file in the user's text editor.
#include <stdio.h>
#include <string.h>

#include "month/datecmd.h"
#include "plugin/chipmenu.h"
#include "plugin/globals.h"
#include "plugin/startcommand.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/quote.h"
#include "text/strbasic.h"
#include "text/winfile.h"

int EditTodayFile(HWND, int index, unsigned year, unsigned month) {
  if (index < 0 || index > kScheduleFileCount) return 0;
  char path[260];
  DWORD n = index == 0 ? ReadSettingString(kUserSection, IDS_KEY_TODAYCNF, "", path, sizeof path)
                       : ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, index, "", path,
                                                  sizeof path);
  if (n == 0 || !path[0]) return 0;
  // The schedule readers fill in every schedule file name the same way; a
  // name too long for its month opens nothing there either.
  if (index > 0 && !ExpandDatePlaceholders(path, sizeof path, year, month, 0)) return 0;

  char editor[256];
  const LONG failures = g_settingsFailures;
  int ownEditor = ReadSettingString(kUserSection, IDS_KEY_EDITOR, "", editor, sizeof editor) > 0 && editor[0];
  // An "Editor" that could not be read is not the default one: nothing starts.
  if (g_settingsFailures != failures) return 0;
  if (!ownEditor && LoadStringA(g_hInstance, IDS_DEFAULT_EDITOR, editor, sizeof editor) <= 0) return 0;
  // An editor setting that is a program's path alone goes in quotes: unquoted,
  // C:\Program Files\ed\ed.exe would start C:\Program.exe first.
  char program[sizeof editor + 2];
  if (!ownEditor || FindChar(editor, '"') || !FileExists(editor) || !QuoteText(editor, program, sizeof program))
    lstrcpyA(program, editor);
  // Room for the longest editor text quoted, the longest path quoted, and the end.
  char command[sizeof program + 3 + sizeof path - 1];
  int length = snprintf(command, sizeof command, "%s \"%s\"", program, path);
  if (length < 0 || length >= (int)sizeof command) return 0;

  return StartCommandLine(command);
}
