#include "today/holiday.h"

#include <string.h>

#include "text/strbasic.h"
#include "today/stringlist.h"
#include "today/tablefields.h"

namespace {

uint16_t EraYear(EraCache* eras, char letter, int32_t n) {
  return eras ? EraCacheLookup(eras, letter, (uint16_t)n) : (uint16_t)n;
}

// "1967", or an era letter and number; 0 when unreadable.
int ReadFirstYear(const char* text, EraCache* eras, uint16_t* year) {
  if (IsDigitByte(text[0])) {
    *year = (uint16_t)ParseNumber(text);
    return 1;
  }
  char letter = 0;
  int32_t n = 0;
  if (ScanPattern(text, "%c%d", &letter, &n) < 2 || n == 0) return 0;
  *year = EraYear(eras, letter, n);
  return *year != 0;
}

// What follows the first '-' of the years field.
int ReadLastYear(const char* text, EraCache* eras, uint16_t* year) {
  if (!*text) {
    *year = 9999;
    return 1;
  }
  if (IsDigitByte(text[0])) {
    *year = (uint16_t)ParseNumber(text);
    return 1;
  }
  char letter = 0;
  int32_t n = 0;
  if (ScanPattern(text, "%c%d", &letter, &n) < 2) return 0;
  *year = EraYear(eras, letter, n);
  return *year != 0;
}

int InYears(const HolidayEntry* entry, uint16_t year) {
  return year >= entry->firstYear && year <= entry->lastYear;
}

// Sunday holiday on the last day of (prevYear, prevMonth): its substitute is
// day 1 of the month after.
int EndsPreviousMonth(const HolidayEntry* entry, uint16_t year, uint16_t month) {
  uint16_t prevYear, prevMonth;
  PreviousMonth(year, month, &prevYear, &prevMonth);
  return prevMonth == entry->month && entry->day == DaysInMonth(prevYear, prevMonth) &&
         SubstituteRuleHolds(prevYear, prevMonth, entry->day);
}

}  // namespace

int ParseHolidayLine(char* line, HolidayEntry* entry, EraCache* eras) {
  memset(entry, 0, sizeof *entry);
  char* end = line + strlen(line);
  if (SplitFields(line, " \t") < 3) return 0;
  char* dateField = line;
  char* yearField = NextField(dateField, end);
  char* nameField = NextField(yearField, end);

  int32_t month = 0, day = 0;
  if (ScanPattern(dateField, "%d/%d", &month, &day) < 2) return 0;
  if (month < 1 || month > 12 || day < 0 || day > 31) return 0;

  uint16_t firstYear = 0, lastYear = 0;
  if (!ReadFirstYear(yearField, eras, &firstYear)) return 0;
  const char* dash = FindChar(yearField, '-');
  if (!dash) {
    lastYear = firstYear;
  } else if (!ReadLastYear(dash + 1, eras, &lastYear)) {
    return 0;
  }

  if (!*nameField) return 0;
  Unescape(nameField, 0);
  entry->month = (uint16_t)month;
  entry->day = (uint16_t)day;
  entry->firstYear = firstYear;
  entry->lastYear = lastYear;
  entry->name = nameField;
  return 1;
}

int SubstituteRuleHolds(unsigned year, unsigned month, unsigned day) {
  return DayOfWeek(year, month, day) == 0 && CompareDates(year, month, day, 1973, 4, 12) >= 0;
}

void PreviousMonth(uint16_t year, uint16_t month, uint16_t* prevYear, uint16_t* prevMonth) {
  if (month == 1) {
    *prevYear = (uint16_t)(year - 1);
    *prevMonth = 12;
  } else {
    *prevYear = year;
    *prevMonth = (uint16_t)(month - 1);
  }
}

void MarkHolidayTable(TableFile* file, EraCache* eras, EquinoxFn equinox, const MonthKey* keys,
                      DayMask* masks, int count) {
  for (int i = 0; i < count; ++i) masks[i] = 0;
  HolidayEntry entry;
  while (char* line = ReadTableLine(file)) {
    if (!ParseHolidayLine(line, &entry, eras)) continue;
    for (int i = 0; i < count; ++i) {
      uint16_t year = MonthKeyYear(keys[i]), month = MonthKeyMonth(keys[i]);
      if (!InYears(&entry, year)) continue;
      if (month == entry.month) {
        uint16_t day = entry.day ? entry.day : equinox(year, month);
        if (day == 0) continue;
        masks[i] |= 1u << day;
        if (day < DaysInMonth(year, month) && SubstituteRuleHolds(year, month, day))
          masks[i] |= 1u << (day + 1);
      } else if (EndsPreviousMonth(&entry, year, month)) {
        masks[i] |= 1u << 1;
      }
    }
  }
}

int CollectHolidayTableNames(TableFile* file, EraCache* eras, EquinoxFn equinox,
                             const char* substituteName, uint16_t year, uint16_t month,
                             uint16_t day, char* out, int size) {
  StringList list;
  StringListInit(&list, out, size);
  int found = 0;
  HolidayEntry entry;
  char* line;
  while (!list.full && (line = ReadTableLine(file)) != nullptr) {
    if (!ParseHolidayLine(line, &entry, eras) || !InYears(&entry, year)) continue;
    const char* name = nullptr;
    if (month == entry.month) {
      uint16_t holiday = entry.day ? entry.day : equinox(year, month);
      if (holiday == 0) continue;
      if (day == holiday + 1) {
        if (SubstituteRuleHolds(year, month, holiday)) name = substituteName;
      } else if (day == holiday) {
        name = entry.name;
      }
    } else if (day == 1 && EndsPreviousMonth(&entry, year, month)) {
      name = substituteName;
    }
    if (name) found += StringListAppend(&list, nullptr, name);
  }
  StringListFinish(&list);
  return found;
}
