#include "today/holiday.h"

#include <windows.h>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "text/winfile.h"
#include "today/markfiles.h"
#include "today/markreading.h"
#include "today/stringlist.h"

int ComputeHolidayMasks(const MonthKey* keys, DayMask* masks, int count, MarkReading* reading) {
  if (!reading) {
    MarkReading own;
    return ComputeHolidayMasks(keys, masks, count, &own);
  }
  for (int i = 0; i < count; ++i) masks[i] = 0;
  MarkFile table(reading->OpenTable(IDS_KEY_HOLIDAYTBL));
  if (!table.valid()) return 0;
  HandleTableFile file(table.get());
  MarkHolidayTable(file.get(), reading->eras(), EquinoxDay, keys, masks, count);
  return 1;
}

int CollectHolidayNames(uint16_t year, uint16_t month, uint16_t day, char* out, int size, MarkReading* reading) {
  if (!reading) {
    MarkReading own;
    return CollectHolidayNames(year, month, day, out, size, &own);
  }
  MarkFile table(reading->OpenTable(IDS_KEY_HOLIDAYTBL));
  if (!table.valid()) {
    StringList list;
    StringListInit(&list, out, size);
    return 0;
  }
  char substitute[9];
  if (LoadStringA(g_hInstance, IDS_SUBSTITUTE_HOLIDAY, substitute, sizeof substitute) <= 0)
    substitute[0] = '\0';
  HandleTableFile file(table.get());
  return CollectHolidayTableNames(file.get(), reading->eras(), EquinoxDay, substitute, year, month, day, out, size);
}
