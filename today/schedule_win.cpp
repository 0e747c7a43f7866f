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

namespace {

enum { kNameSize = 260 };

int SchedulesOn() { return ReadSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 1) != 0; }

// Entry index of "ScheduleFile%d"; 0 when it is missing or empty.
int ReadScheduleFileName(SettingsSnapshot* settings, int index, char* name) {
  settings->ReadIndexedString(IDS_KEY_SCHEDULEFILE, index, "", name, kNameSize);
  return name[0] != '\0';
}

// The name of one month's file; 0 when the expansion does not fit.
int ExpandFileName(const char* pattern, MonthKey key, char* name) {
  lstrcpynA(name, pattern, kNameSize);
  return ExpandDatePlaceholders(name, kNameSize, MonthKeyYear(key), MonthKeyMonth(key), 0);
}

// One reading context per computation: the era table is read at most once.
struct ScheduleReader {
  EraCache eras;
  WeekdayNames names;
  TableReadBuffer buffer;
};

void InitReader(ScheduleReader* reader) {
  EraCacheInit(&reader->eras, LoadEraTable, nullptr);
  WeekdayNamesDefault(&reader->names);
  for (int i = 0; i < 7; ++i) {
    char name[sizeof reader->names.name[i]];
    if (LoadStringA(g_hInstance, IDS_WEEKDAY_ENGLISH + i, name, sizeof name) > 0)
      memcpy(reader->names.name[i], name, sizeof name);
  }
}

void MarkNamedFile(ScheduleReader* reader, const char* path, const MonthKey* keys, DayMask* masks,
                   int count) {
  MarkFile file(OpenMarkFile(path));
  if (!file.valid()) return;
  HandleTableFile table(file.get(), &reader->buffer);
  MarkScheduleFile(table.get(), &reader->eras, &reader->names, keys, masks, count);
}

}  // namespace

int ComputeScheduleMasks(const MonthKey* keys, DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) masks[i] = 0;
  if (!SchedulesOn()) return 0;
  ScheduleReader reader;
  InitReader(&reader);
  SettingsSnapshot settings(IDS_SECTION_TODAYTEMP);
  char pattern[kNameSize], name[kNameSize], earlier[kNameSize];
  for (int i = 1; i <= kMaxScheduleFiles && ReadScheduleFileName(&settings, i, pattern); ++i) {
    if (!FindChar(pattern, '%')) {
      MarkNamedFile(&reader, pattern, keys, masks, count);
      continue;
    }
    for (int j = 0; j < count; ++j) {
      if (!ExpandFileName(pattern, keys[j], name)) continue;
      // Two months may share one file (a pattern without the month).
      int seen = 0;
      for (int k = 0; k < j && !seen; ++k)
        seen = ExpandFileName(pattern, keys[k], earlier) && lstrcmpiA(earlier, name) == 0;
      if (!seen) MarkNamedFile(&reader, name, keys, masks, count);
    }
  }
  return 1;
}

int CollectScheduleTexts(uint16_t year, uint16_t month, uint16_t day, char* out, int size) {
  StringList list;
  StringListInit(&list, out, size);
  int found = 0;
  if (SchedulesOn()) {
    ScheduleReader reader;
    InitReader(&reader);
    SettingsSnapshot settings(IDS_SECTION_TODAYTEMP);
    char name[kNameSize];
    for (int i = 1; i <= kMaxScheduleFiles && !list.full && ReadScheduleFileName(&settings, i, name); ++i) {
      if (!ExpandDatePlaceholders(name, kNameSize, year, month, 0)) continue;
      MarkFile file(OpenMarkFile(name));
      if (!file.valid()) continue;
      HandleTableFile table(file.get(), &reader.buffer);
      found += CollectScheduleFileTexts(table.get(), &reader.eras, &reader.names, year, month, day,
                                        &list);
    }
  }
  StringListFinish(&list);
  return found;
}
