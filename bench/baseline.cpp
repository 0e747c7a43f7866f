#include "bench/baseline.h"

#include <windows.h>

#include "fuzz/schedule_reference.h"

#include "month/datecmd.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/strbasic.h"
#include "today/holiday.h"
#include "today/schedule.h"
#include "today/markreading.h"

namespace {

// One byte per read; the era table is forgotten before every byte, so each
// era-form year of a line loads GENGO.TBL anew.
struct SlowFile {
  HANDLE handle;
  EraCache eras;
  TableFile file;
};

int ReadOneByte(void* ctx, unsigned char* buf, int) {
  SlowFile* slow = static_cast<SlowFile*>(ctx);
  slow->eras.state = 0;
  DWORD got = 0;
  if (!ReadFile(slow->handle, buf, 1, &got, nullptr)) return 0;
  return (int)got;
}

// GENGO.TBL read afresh, with the settings that name it.
int LoadErasAfresh(EraTable* table, void*) {
  MarkReading reading;
  EraCacheLookup(reading.eras(), 'A', 1);  // a letter loads the table
  *table = reading.eras()->table;
  return !reading.erasFailed();
}

void SlowOpen(SlowFile* slow, HANDLE handle) {
  slow->handle = handle;
  EraCacheInit(&slow->eras, LoadErasAfresh, nullptr);
  TableFileInit(&slow->file, ReadOneByte, slow);
  slow->file.blockSize = 1;
}

HANDLE OpenPath(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void SubstituteName(char* name) {
  if (LoadStringA(g_hInstance, IDS_SUBSTITUTE_HOLIDAY, name, 9) <= 0) name[0] = '\0';
}

int ScheduleName(int index, char* name) {
  ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, index, "", name, 260);
  return name[0] != '\0';
}

void SlowMarkSchedule(const char* path, const MonthKey* keys, DayMask* masks, int count) {
  HANDLE h = OpenPath(path);
  if (!h) return;
  static SlowFile slow;
  SlowOpen(&slow, h);
  ScheduleEntry e;
  while (char* line = ReadTableLine(&slow.file)) {
    if (!ReferenceParse(line, &slow.eras, &e)) continue;
    for (int i = 0; i < count; ++i) {
      const uint16_t y = MonthKeyYear(keys[i]), m = MonthKeyMonth(keys[i]);
      const unsigned last = e.weekday == kWeekdayNone ? 31 : DaysInMonth(y, m);
      for (unsigned d = 1; d <= last; ++d)
        if (ScheduleEntryMatches(&e, y, m, (uint16_t)d)) masks[i] |= 1u << d;
    }
  }
  CloseHandle(h);
}

int SlowScheduleTexts(const char* path, uint16_t year, uint16_t month, uint16_t day, StringList* list) {
  HANDLE h = OpenPath(path);
  if (!h) return 0;
  static SlowFile slow;
  SlowOpen(&slow, h);
  int found = 0;
  ScheduleEntry e;
  char* line;
  while (!list->full && (line = ReadTableLine(&slow.file)) != nullptr) {
    if (ReferenceParse(line, &slow.eras, &e) && ScheduleEntryMatches(&e, year, month, day))
      found += StringListAppend(list, e.label, e.text);
  }
  CloseHandle(h);
  return found;
}

}  // namespace

void BaselineHolidayMasks(const MonthKey* keys, DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) masks[i] = 0;
  MarkReading reading;
  HANDLE h = reading.OpenTable(IDS_KEY_HOLIDAYTBL);
  if (!h) return;
  static SlowFile slow;
  SlowOpen(&slow, h);
  MarkHolidayTable(&slow.file, &slow.eras, EquinoxDay, keys, masks, count);
  CloseHandle(h);
}

void BaselineScheduleMasks(const MonthKey* keys, DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) masks[i] = 0;
  if (!ReadSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 1)) return;
  char pattern[260], name[260];
  for (int i = 1; i <= 16 && ScheduleName(i, pattern); ++i) {
    if (!FindChar(pattern, '%')) {
      SlowMarkSchedule(pattern, keys, masks, count);
      continue;
    }
    for (int j = 0; j < count; ++j) {
      lstrcpynA(name, pattern, sizeof name);
      if (ExpandDatePlaceholders(name, sizeof name, MonthKeyYear(keys[j]), MonthKeyMonth(keys[j]), 0))
        SlowMarkSchedule(name, keys, masks, count);
    }
  }
}

int BaselineHolidayNames(uint16_t year, uint16_t month, uint16_t day, char* out, int size) {
  MarkReading reading;
  HANDLE h = reading.OpenTable(IDS_KEY_HOLIDAYTBL);
  if (!h) return 0;
  char substitute[9];
  SubstituteName(substitute);
  static SlowFile slow;
  SlowOpen(&slow, h);
  int n = CollectHolidayTableNames(&slow.file, &slow.eras, EquinoxDay, substitute, year, month, day,
                                   out, size);
  CloseHandle(h);
  return n;
}

int BaselineScheduleTexts(uint16_t year, uint16_t month, uint16_t day, char* out, int size) {
  StringList list;
  StringListInit(&list, out, size);
  int found = 0;
  char name[260];
  for (int i = 1; i <= 16 && !list.full && ScheduleName(i, name); ++i) {
    if (!ExpandDatePlaceholders(name, sizeof name, year, month, 0)) continue;
    found += SlowScheduleTexts(name, year, month, day, &list);
  }
  StringListFinish(&list);
  return found;
}
