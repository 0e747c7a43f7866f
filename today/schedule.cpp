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

// ScanPattern (text, "%d/", n) without the general scanner, which every
// schedule line would pass through: the '/' that ends the number, or null
// where the scanner converts nothing.
const char* ScanNumberBeforeSlash(const char* text, int32_t* n) {
  if (!*text) return nullptr;
  const char* slash = FindChar(text, '/');
  if (!slash) return nullptr;
  *n = 0;
  const unsigned char* q = (const unsigned char*)text;
  const int negative = *q == '-';
  if (*q == '-' || *q == '+') ++q;
  const unsigned char* digits = q;
  uint32_t value = 0;
  for (; q < (const unsigned char*)slash && IsDigitByte((char)*q); ++q) value = value * 10 + (uint32_t)(*q - '0');
  if (q == digits) return nullptr;
  *n = (int32_t)(negative ? 0u - value : value);
  return slash;
}

// The day part: '*', a day, a weekday, or an occurrence and a weekday, as
// ScanPattern reads it with "%d%3s" and, where no number comes first, "%3s".
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
  // A name is taken when at least two bytes are left; up to three count.
  char name[4] = {0};
  size_t rest = strnlen(q, 3);
  if (rest >= 2)
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
  // The year before the first '/': '*' (every year), a number or an era
  // letter and number ("%c%d/").
  int32_t n = 0;
  const char* slash;
  date->year = 0;
  if (line[0] == '*') {
    slash = FindChar(line, '/');
  } else if (IsDigitByte(line[0])) {
    slash = ScanNumberBeforeSlash(line, &n);
    if (!slash || (uint16_t)n == 0) return 0;
    date->year = (uint16_t)n;
  } else {
    if (!line[0]) return 0;
    const char* end = ScanNumberBeforeSlash(line + 1, &n);
    if (!end) return 0;
    date->year = eras ? EraCacheLookup(eras, line[0], (uint16_t)n) : (uint16_t)n;
    if (!date->year) return 0;
    // The number was searched from the second byte: that is the line's
    // first '/' unless the first byte is one or starts a double-byte character.
    slash = (line[0] == '/' || IsLeadByte((unsigned char)line[0])) ? FindChar(line, '/') : end;
  }
  if (!slash) return 0;
  const char* monthPart = slash + 1;
  date->month = 0;
  if (monthPart[0] == '*') {
    slash = FindChar(monthPart, '/');
  } else {
    slash = ScanNumberBeforeSlash(monthPart, &n);
    date->month = (uint16_t)n;
  }
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
