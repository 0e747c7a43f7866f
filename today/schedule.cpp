#include "today/schedule.h"

#include <string.h>

#include "text/leadbyte.h"
#include "text/strbasic.h"
#include "today/tablefields.h"

namespace {

const char* const kDefaultWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

int EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return 0;
  }
  return *a == *b;
}

int FindWeekday(const char* name, const WeekdayNames* names) {
  for (int i = 0; i < 7; ++i) {
    if (EqualIgnoringCase(name, names ? names->name[i] : kDefaultWeekdays[i])) return i;
  }
  return -1;
}

// The year before the first '/': a number, '*' (every year) or an era year.
int ReadScheduleYear(const char* date, EraCache* eras, uint16_t* year) {
  if (date[0] == '*') {
    *year = 0;
    return 1;
  }
  int32_t n = 0;
  if (IsDigitByte(date[0])) {
    if (ScanPattern(date, "%d/", &n) < 1) return 0;
    *year = (uint16_t)n;
  } else {
    char letter = 0;
    if (ScanPattern(date, "%c%d/", &letter, &n) < 2) return 0;
    *year = eras ? EraCacheLookup(eras, letter, (uint16_t)n) : (uint16_t)n;
  }
  return *year != 0;
}

// The day part: '*', a day, a weekday, or an occurrence and a weekday.
int ReadScheduleDay(const char* part, const WeekdayNames* names, ScheduleEntry* entry) {
  if (part[0] == '*') return 1;
  int32_t n = 0;
  char name[8] = {0};
  if (ScanPattern(part, "%d%3s", &n, name) == 0) {
    n = 0;
    if (ScanPattern(part, "%3s", name) == 0) return 0;
  }
  entry->day = (uint16_t)n;
  if (name[0]) {
    int weekday = FindWeekday(name, names);
    if (weekday < 0) return 0;
    entry->weekday = (uint8_t)weekday;
    return 1;
  }
  return entry->day != 0;
}

// At most kScheduleLabelMax bytes, never half a double-byte character.
void CopyLabel(char* label, const char* text) {
  int n = FitLength(text, kScheduleLabelMax);
  memcpy(label, text, (size_t)n);
  label[n] = '\0';
}

// Year, month and where the day part starts, read on the whole line. Both
// '/' of a valid line lie in its first field, so these are the values read
// on that field alone.
struct DatePeek {
  uint16_t year;
  uint16_t month;
  const char* dayPart;
};

int PeekDate(const char* line, EraCache* eras, DatePeek* date) {
  if (!ReadScheduleYear(line, eras, &date->year)) return 0;
  const char* monthPart = FindChar(line, '/');
  if (!monthPart) return 0;
  ++monthPart;
  date->month = 0;
  if (monthPart[0] != '*') {
    int32_t n = 0;
    if (ScanPattern(monthPart, "%d/", &n) < 1) return 0;
    date->month = (uint16_t)n;
  }
  const char* slash = FindChar(monthPart, '/');
  if (!slash) return 0;
  date->dayPart = slash + 1;
  return 1;
}

// Fields as SplitFields (" \t") makes them: a field ends at a blank or tab
// outside a double-byte character.
char* FieldEnd(char* p) {
  while (*p && *p != ' ' && *p != '\t') p += (IsLeadByte((unsigned char)*p) && p[1]) ? 2 : 1;
  return p;
}

char* SkipBlanks(char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// ParseScheduleLine without cutting and decoding the text, which only a
// matching line needs (TakeText).
int ParseScheduleFields(char* line, const DatePeek* date, ScheduleEntry* entry,
                        const WeekdayNames* names) {
  char* dateEnd = FieldEnd(line);
  if (date->dayPart > dateEnd) return 0;  // a '/' beyond the date field
  char* field = SkipBlanks(dateEnd);
  *dateEnd = '\0';
  entry->year = date->year;
  entry->month = date->month;
  if (!ReadScheduleDay(date->dayPart, names, entry)) return 0;

  if (field[0] == '*') {
    char* labelEnd = FieldEnd(field);
    char* next = SkipBlanks(labelEnd);
    *labelEnd = '\0';
    CopyLabel(entry->label, field + 1);
    field = next;
  }
  if (!*field) return 0;
  entry->text = field;
  return 1;
}

// Ends the text at its field and decodes it.
void TakeText(ScheduleEntry* entry) {
  *FieldEnd(entry->text) = '\0';
  Unescape(entry->text, 0);
}

int MonthMatchesAny(uint16_t year, uint16_t month, const MonthKey* keys, int count) {
  for (int i = 0; i < count; ++i) {
    if ((!year || year == MonthKeyYear(keys[i])) && (!month || month == MonthKeyMonth(keys[i])))
      return 1;
  }
  return 0;
}

// Parses a line unless its date misses every key.
int ParseLineFor(char* line, const MonthKey* keys, int count, ScheduleEntry* entry, EraCache* eras,
                 const WeekdayNames* names) {
  DatePeek date;
  if (!PeekDate(line, eras, &date) || !MonthMatchesAny(date.year, date.month, keys, count)) return 0;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  return ParseScheduleFields(line, &date, entry, names);
}

}  // namespace

void WeekdayNamesDefault(WeekdayNames* names) {
  memset(names, 0, sizeof *names);
  for (int i = 0; i < 7; ++i) memcpy(names->name[i], kDefaultWeekdays[i], 3);
}

int ParseScheduleLine(char* line, ScheduleEntry* entry, EraCache* eras, const WeekdayNames* names) {
  DatePeek date;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  if (!PeekDate(line, eras, &date) || !ParseScheduleFields(line, &date, entry, names)) return 0;
  TakeText(entry);
  return 1;
}

void MarkScheduleFile(TableFile* file, EraCache* eras, const WeekdayNames* names,
                      const MonthKey* keys, DayMask* masks, int count) {
  ScheduleEntry entry;
  while (char* line = ReadTableLine(file)) {
    if (!ParseLineFor(line, keys, count, &entry, eras, names)) continue;
    for (int i = 0; i < count; ++i) {
      uint16_t year = MonthKeyYear(keys[i]), month = MonthKeyMonth(keys[i]);
      if ((entry.month && entry.month != month) || (entry.year && entry.year != year)) continue;
      if (entry.weekday == kWeekdayNone) {
        if (entry.day == 0)
          masks[i] |= kMaskEveryDay;
        else if (entry.day <= 31)
          masks[i] |= 1u << entry.day;
        continue;
      }
      unsigned first = DayOfWeek(year, month, 1), last = DaysInMonth(year, month);
      unsigned w = entry.weekday;
      unsigned d = w == first ? 1 : (first < w ? 1 + w - first : 8 + w - first);
      for (; d <= last; d += 7) {
        unsigned occurrence = (d - 1) / 7 + 1;
        if (entry.day == 0 || occurrence == entry.day) masks[i] |= 1u << d;
        if (entry.day != 0 && occurrence >= entry.day) break;
      }
    }
  }
}

int ScheduleEntryMatches(const ScheduleEntry* entry, uint16_t year, uint16_t month, uint16_t day) {
  if ((entry->year && entry->year != year) || (entry->month && entry->month != month)) return 0;
  if (entry->weekday == kWeekdayNone) return entry->day == 0 || entry->day == day;
  if (DayOfWeek(year, month, day) != entry->weekday) return 0;
  return entry->day == 0 || (unsigned)(day - 1) / 7 + 1 == entry->day;
}

int CollectScheduleFileTexts(TableFile* file, EraCache* eras, const WeekdayNames* names,
                             uint16_t year, uint16_t month, uint16_t day, StringList* list) {
  int found = 0;
  MonthKey key = MakeMonthKey(year, month);
  ScheduleEntry entry;
  char* line;
  while (!list->full && (line = ReadTableLine(file)) != nullptr) {
    if (!ParseLineFor(line, &key, 1, &entry, eras, names)) continue;
    if (!ScheduleEntryMatches(&entry, year, month, day)) continue;
    TakeText(&entry);
    found += StringListAppend(list, entry.label, entry.text);
  }
  return found;
}
