// Schedule files: line parsing, day masks and the texts of one date.
#pragma once

#include <stdint.h>

#include "month/dates.h"
#include "text/textutil.h"
#include "today/era.h"
#include "today/stringlist.h"

enum { kScheduleLabelMax = 12, kWeekdayNone = 255, kMaxScheduleFiles = 16 };

struct ScheduleEntry {
  uint16_t year;    // 0 = every year
  uint16_t month;   // 0 = every month
  uint16_t day;     // day of the month, or with a weekday its occurrence; 0 = every
  uint8_t weekday;  // 0 = Sunday .. 6, kWeekdayNone
  char label[kScheduleLabelMax + 1];
  char* text;  // into the parsed line
};

// The seven weekday names, Sunday first, matched on what the line gives
// (at most three bytes) ignoring case.
struct WeekdayNames {
  char name[7][16];
};
void WeekdayNamesDefault(WeekdayNames* names);

// Parses one schedule line in place; eras may be null (era numbers then
// stay as written), names null means "Sun".."Sat". Nonzero when valid.
int ParseScheduleLine(char* line, ScheduleEntry* entry, EraCache* eras, const WeekdayNames* names);

// ORs the days of every matching line of an open file into the masks.
void MarkScheduleFile(TableFile* file, EraCache* eras, const WeekdayNames* names,
                      const MonthKey* keys, DayMask* masks, int count);

int ScheduleEntryMatches(const ScheduleEntry* entry, uint16_t year, uint16_t month, uint16_t day);

// Appends the entries of an open file that match the date until the list is
// full; returns how many lines matched.
int CollectScheduleFileTexts(TableFile* file, EraCache* eras, const WeekdayNames* names,
                             uint16_t year, uint16_t month, uint16_t day, StringList* list);

// Win32 side: the "ScheduleFile%d" entries of $TodayTemp, read through a
// shared reading or, without one, a reading of their own.
class MarkReading;
int ComputeScheduleMasks(const MonthKey* keys, DayMask* masks, int count, MarkReading* reading = nullptr);
int CollectScheduleTexts(uint16_t year, uint16_t month, uint16_t day, char* out, int size,
                         MarkReading* reading = nullptr);
