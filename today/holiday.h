// The holiday table: line parsing, day masks and the names of one date.
#pragma once

#include <stdint.h>

#include "month/dates.h"
#include "text/textutil.h"
#include "today/era.h"

struct HolidayEntry {
  uint16_t month;      // 1-12
  uint16_t day;        // 1-31, 0 = the equinox day of the month
  uint16_t firstYear;
  uint16_t lastYear;   // 9999 when open-ended
  const char* name;    // into the parsed line
};

// Day of the equinox of (year, month), 0 when there is none.
typedef uint16_t (*EquinoxFn)(uint16_t year, uint16_t month);

// Parses one table line in place; eras may be null (era numbers then stay
// as written). Nonzero for a valid holiday line.
int ParseHolidayLine(char* line, HolidayEntry* entry, EraCache* eras);

// A Sunday holiday on or after 1973-04-12 makes the next day a holiday.
int SubstituteRuleHolds(unsigned year, unsigned month, unsigned day);
void PreviousMonth(uint16_t year, uint16_t month, uint16_t* prevYear, uint16_t* prevMonth);

// Sets every mask to 0, then the holiday bits of each key's month from the
// lines of an open table.
void MarkHolidayTable(TableFile* file, EraCache* eras, EquinoxFn equinox, const MonthKey* keys,
                      DayMask* masks, int count);

// The names of one date as a string list in out (size bytes); returns how
// many were stored. substituteName names the substitute holidays.
int CollectHolidayTableNames(TableFile* file, EraCache* eras, EquinoxFn equinox,
                             const char* substituteName, uint16_t year, uint16_t month,
                             uint16_t day, char* out, int size);

// Win32 side: HOLIDAY.TBL through the "HolidayTbl" key. A reading shared
// with the schedules reads the settings and the era table once for both;
// without one, the call makes its own.
class MarkReading;
int ComputeHolidayMasks(const MonthKey* keys, DayMask* masks, int count, MarkReading* reading = nullptr);
int CollectHolidayNames(uint16_t year, uint16_t month, uint16_t day, char* out, int size,
                        MarkReading* reading = nullptr);
