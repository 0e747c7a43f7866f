#include "today/schedule.h"

#include <string.h>
#include <windows.h>

#include "month/datecmd.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/strbasic.h"
#include "text/winfile.h"
#include "today/markfiles.h"
#include "today/markreading.h"

namespace {

enum { kNameSize = 260 };

// The name of one month's file; 0 when the expansion does not fit.
int ExpandFileName(const char* pattern, MonthKey key, char* name) {
  lstrcpynA(name, pattern, kNameSize);
  return ExpandDatePlaceholders(name, kNameSize, MonthKeyYear(key), MonthKeyMonth(key), 0);
}

void LoadWeekdayNames(WeekdayNames* names) {
  WeekdayNamesDefault(names);
  for (int i = 0; i < 7; ++i) {
    char name[sizeof names->name[i]];
    if (LoadStringA(g_hInstance, IDS_WEEKDAY_ENGLISH + i, name, sizeof name) > 0)
      memcpy(names->name[i], name, sizeof name);
  }
}

void MarkNamedFile(MarkReading* reading, const WeekdayNames* names, const char* path, const MonthKey* keys,
                   DayMask* masks, int count) {
  MarkFile file(OpenMarkFile(path));
  if (!file.valid()) return;
  HandleTableFile table(file.get(), reading->buffer());
  MarkScheduleFile(table.get(), reading->eras(), names, keys, masks, count);
}

}  // namespace

int ComputeScheduleMasks(const MonthKey* keys, DayMask* masks, int count, MarkReading* reading) {
  if (!reading) {
    MarkReading own;
    return ComputeScheduleMasks(keys, masks, count, &own);
  }
  for (int i = 0; i < count; ++i) masks[i] = 0;
  if (!reading->SchedulesOn()) return 0;
  WeekdayNames names;
  LoadWeekdayNames(&names);
  char pattern[kNameSize], name[kNameSize], earlier[kNameSize];
  for (int i = 1; i <= kMaxScheduleFiles; ++i) {
    reading->ScheduleFileName(i, pattern, sizeof pattern);
    if (!pattern[0]) break;
    if (!FindChar(pattern, '%')) {
      MarkNamedFile(reading, &names, pattern, keys, masks, count);
      continue;
    }
    for (int j = 0; j < count; ++j) {
      if (!ExpandFileName(pattern, keys[j], name)) continue;
      // Two months may share one file (a pattern without the month).
      int seen = 0;
      for (int k = 0; k < j && !seen; ++k)
        seen = ExpandFileName(pattern, keys[k], earlier) && lstrcmpiA(earlier, name) == 0;
      if (!seen) MarkNamedFile(reading, &names, name, keys, masks, count);
    }
  }
  return 1;
}

int CollectScheduleTexts(uint16_t year, uint16_t month, uint16_t day, char* out, int size, MarkReading* reading) {
  if (!reading) {
    MarkReading own;
    return CollectScheduleTexts(year, month, day, out, size, &own);
  }
  StringList list;
  StringListInit(&list, out, size);
  int found = 0;
  if (reading->SchedulesOn()) {
    WeekdayNames names;
    LoadWeekdayNames(&names);
    char name[kNameSize];
    for (int i = 1; i <= kMaxScheduleFiles && !list.full; ++i) {
      reading->ScheduleFileName(i, name, sizeof name);
      if (!name[0]) break;
      if (!ExpandDatePlaceholders(name, kNameSize, year, month, 0)) continue;
      MarkFile file(OpenMarkFile(name));
      if (!file.valid()) continue;
      HandleTableFile table(file.get(), reading->buffer());
      found += CollectScheduleFileTexts(table.get(), reading->eras(), &names, year, month, day, &list);
    }
  }
  StringListFinish(&list);
  return found;
}
