// A schedule line's grammar: the forms and limits that the
// line-by-line reading and the fast look at raw lines (schedulelook.h) both
// read by, named once so that the two cannot disagree.
#pragma once

#include <stdint.h>

#include "text/leadbyte.h"
#include "text/strbasic.h"
#include "today/schedule.h"
#include "today/tablefields.h"

// A weekday name in the day part ("%3s"): at least two bytes, of which the
// first three count.
enum { kWeekdayNameMin = 2, kWeekdayNameMax = 3 };
// The first byte of a label's field; the label runs to the next blank.
const char kLabelMark = '*';

extern const char* const kDefaultWeekdays[7];

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

int FindWeekday(const char* name, const WeekdayNames* names);

// The first '/' of a line, as FindChar finds it.
struct LineSlash {
  const char* operator()(const char* p) const { return FindChar(p, '/'); }
};

// The same in text of single-byte characters only.
struct PlainSlash {
  const char* operator()(const char* p) const {
    while (*p && *p != '/') ++p;
    return *p ? p : nullptr;
  }
};

// ScanPattern (text, "%d/", n) without the general scanner, which every
// schedule line would pass through: the '/' that ends the number, or null
// where the scanner converts nothing.
template <typename FindSlash>
const char* ScanNumberBeforeSlash(const char* text, int32_t* n, FindSlash findSlash) {
  if (!*text) return nullptr;
  const char* slash = findSlash(text);
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
int ReadScheduleDay(const char* part, const WeekdayNames* names, ScheduleEntry* entry);

// Year, month and where the day part starts, read on the whole line. Both
// '/' of a valid line lie in its first field, so these are the values read
// on that field alone.
struct DatePeek {
  uint16_t year;
  uint16_t month;
  const char* dayPart;
};

template <typename FindSlash>
int PeekDate(const char* line, EraCache* eras, DatePeek* date, FindSlash findSlash) {
  // The year before the first '/': '*' (every year), a number or an era
  // letter and number ("%c%d/").
  int32_t n = 0;
  const char* slash;
  date->year = 0;
  if (line[0] == '*') {
    slash = findSlash(line);
  } else if (IsDigitByte(line[0])) {
    slash = ScanNumberBeforeSlash(line, &n, findSlash);
    if (!slash || (uint16_t)n == 0) return 0;
    date->year = (uint16_t)n;
  } else {
    if (!line[0]) return 0;
    const char* end = ScanNumberBeforeSlash(line + 1, &n, findSlash);
    if (!end) return 0;
    date->year = eras ? EraCacheLookup(eras, line[0], (uint16_t)n) : (uint16_t)n;
    if (!date->year) return 0;
    // The number was searched from the second byte: that is the line's
    // first '/' unless the first byte is one or starts a double-byte character.
    slash = (line[0] == '/' || IsLeadByte((unsigned char)line[0])) ? findSlash(line) : end;
  }
  if (!slash) return 0;
  const char* monthPart = slash + 1;
  date->month = 0;
  if (monthPart[0] == '*') {
    slash = findSlash(monthPart);
  } else {
    slash = ScanNumberBeforeSlash(monthPart, &n, findSlash);
    date->month = (uint16_t)n;
  }
  if (!slash) return 0;
  date->dayPart = slash + 1;
  return 1;
}

inline int MonthMatchesAny(uint16_t year, uint16_t month, const MonthKey* keys, int count) {
  for (int i = 0; i < count; ++i) {
    if ((!year || year == MonthKeyYear(keys[i])) && (!month || month == MonthKeyMonth(keys[i])))
      return 1;
  }
  return 0;
}

// Parses a line unless its date misses every key; the text is taken
// (TakeText) only for a line that matches.
int ParseLineFor(char* line, const MonthKey* keys, int count, ScheduleEntry* entry, EraCache* eras,
                 const WeekdayNames* names);
// Ends the text at its field and decodes it.
void TakeText(ScheduleEntry* entry);

// ScheduleEntryMatches with the weekday of the date given.
inline int EntryMatchesDay(const ScheduleEntry* entry, uint16_t year, uint16_t month, uint16_t day,
                           unsigned weekday) {
  if ((entry->year && entry->year != year) || (entry->month && entry->month != month)) return 0;
  if (entry->weekday == kWeekdayNone) return entry->day == 0 || entry->day == day;
  if (weekday != entry->weekday) return 0;
  return entry->day == 0 || (unsigned)(day - 1) / 7 + 1 == entry->day;
}
