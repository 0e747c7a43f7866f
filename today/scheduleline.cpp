#include "today/scheduleline.h"

#include <string.h>

const char* const kDefaultWeekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

namespace {

int EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return 0;
  }
  return *a == *b;
}

}  // namespace

int FindWeekday(const char* name, const WeekdayNames* names) {
  for (int i = 0; i < 7; ++i) {
    if (EqualIgnoringCase(name, names ? names->name[i] : kDefaultWeekdays[i])) return i;
  }
  return -1;
}

int ReadScheduleDay(const char* part, const WeekdayNames* names, ScheduleEntry* entry) {
  if (part[0] == '*') return 1;
  if (!part[0]) return 0;
  const char* q = part;
  const int negative = *q == '-';
  if (*q == '-' || *q == '+') ++q;
  const char* digits = q;
  uint32_t value = 0;
  for (; IsDigitByte(*q); ++q) value = value * 10 + (uint32_t)(*q - '0');
  const int number = q != digits;
  if (!number) q = part;
  char name[kWeekdayNameMax + 1] = {0};
  size_t rest = strnlen(q, kWeekdayNameMax);
  if (rest >= kWeekdayNameMin)
    memcpy(name, q, rest);
  else if (!number)
    return 0;
  entry->day = number ? (uint16_t)(negative ? 0u - value : value) : 0;
  if (name[0]) {
    int weekday = FindWeekday(name, names);
    if (weekday < 0) return 0;
    entry->weekday = (uint8_t)weekday;
    return 1;
  }
  return entry->day != 0;
}

namespace {

// At most kScheduleLabelMax bytes, never half a double-byte character.
void CopyLabel(char* label, const char* text) {
  int n = FitLength(text, kScheduleLabelMax);
  memcpy(label, text, (size_t)n);
  label[n] = '\0';
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

  if (field[0] == kLabelMark) {
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

}  // namespace

void TakeText(ScheduleEntry* entry) {
  *FieldEnd(entry->text) = '\0';
  Unescape(entry->text, 0);
}

int ParseLineFor(char* line, const MonthKey* keys, int count, ScheduleEntry* entry, EraCache* eras,
                 const WeekdayNames* names) {
  DatePeek date;
  if (!PeekDate(line, eras, &date, LineSlash()) || !MonthMatchesAny(date.year, date.month, keys, count)) return 0;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  return ParseScheduleFields(line, &date, entry, names);
}

void WeekdayNamesDefault(WeekdayNames* names) {
  memset(names, 0, sizeof *names);
  for (int i = 0; i < 7; ++i) memcpy(names->name[i], kDefaultWeekdays[i], 3);
}

int ParseScheduleLine(char* line, ScheduleEntry* entry, EraCache* eras, const WeekdayNames* names) {
  DatePeek date;
  memset(entry, 0, sizeof *entry);
  entry->weekday = kWeekdayNone;
  if (!PeekDate(line, eras, &date, LineSlash()) || !ParseScheduleFields(line, &date, entry, names)) return 0;
  TakeText(entry);
  return 1;
}

int ScheduleEntryMatches(const ScheduleEntry* entry, uint16_t year, uint16_t month, uint16_t day) {
  return EntryMatchesDay(entry, year, month, day, DayOfWeek(year, month, day));
}
