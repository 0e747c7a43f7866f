#include "today/holiday.h"

#include <windows.h>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "text/winfile.h"
#include "today/markfiles.h"
#include "today/stringlist.h"
#include "today/todayconfig.h"

int ComputeHolidayMasks(const MonthKey* keys, DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) masks[i] = 0;
  MarkFile table(OpenTableFile(IDS_KEY_HOLIDAYTBL, 0));
  if (!table.valid()) return 0;
  HandleTableFile file(table.get());
  EraCache eras;
  EraCacheInit(&eras, LoadEraTable, nullptr);
  MarkHolidayTable(file.get(), &eras, EquinoxDay, keys, masks, count);
  return 1;
}

int CollectHolidayNames(uint16_t year, uint16_t month, uint16_t day, char* out, int size) {
  MarkFile table(OpenTableFile(IDS_KEY_HOLIDAYTBL, 0));
  if (!table.valid()) {
    StringList list;
    StringListInit(&list, out, size);
    return 0;
  }
  char substitute[9];
  if (LoadStringA(g_hInstance, IDS_SUBSTITUTE_HOLIDAY, substitute, sizeof substitute) <= 0)
    substitute[0] = '\0';
  HandleTableFile file(table.get());
  EraCache eras;
  EraCacheInit(&eras, LoadEraTable, nullptr);
  return CollectHolidayTableNames(file.get(), &eras, EquinoxDay, substitute, year, month, day, out, size);
}
