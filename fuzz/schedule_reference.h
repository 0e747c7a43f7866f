// A schedule line read the plain way, field by field after SplitFields, with
// the default weekday names: what the line parser must agree with.
#pragma once

#include <stdint.h>
#include <string.h>

#include "text/strbasic.h"
#include "text/textutil.h"
#include "today/schedule.h"

inline int IsDigitByteRef(char c) { return c >= '0' && c <= '9'; }

inline int ReferenceParse(char* line, EraCache* eras, ScheduleEntry* e) {
  static const char* const kDays[7] = {"sun", "mon", "tue", "wed", "thu", "fri", "sat"};
  memset(e, 0, sizeof *e);
  e->weekday = kWeekdayNone;
  char* end = line + strlen(line);
  if (SplitFields(line, " \t") < 2) return 0;
  int32_t n = 0;
  if (IsDigitByteRef(line[0])) {
    if (ScanPattern(line, "%d/", &n) < 1 || (uint16_t)n == 0) return 0;
    e->year = (uint16_t)n;
  } else if (line[0] != '*') {
    char letter = 0;
    if (ScanPattern(line, "%c%d/", &letter, &n) < 2) return 0;
    e->year = EraCacheLookup(eras, letter, (uint16_t)n);
    if (!e->year) return 0;
  }
  const char* monthPart = FindChar(line, '/');
  if (!monthPart) return 0;
  ++monthPart;
  if (monthPart[0] != '*') {
    if (ScanPattern(monthPart, "%d/", &n) < 1) return 0;
    e->month = (uint16_t)n;
  }
  const char* dayPart = FindChar(monthPart, '/');
  if (!dayPart) return 0;
  ++dayPart;
  if (dayPart[0] != '*') {
    char name[8] = {0};
    n = 0;
    if (ScanPattern(dayPart, "%d%3s", &n, name) == 0) {
      n = 0;
      if (ScanPattern(dayPart, "%3s", name) == 0) return 0;
    }
    e->day = (uint16_t)n;
    if (name[0]) {
      int w = -1;
      for (int i = 0; i < 7 && w < 0; ++i) {
        int same = 1;
        for (int k = 0; same && (name[k] || kDays[i][k]); ++k) {
          char c = name[k] >= 'A' && name[k] <= 'Z' ? (char)(name[k] + 32) : name[k];
          same = c == kDays[i][k];
        }
        if (same) w = i;
      }
      if (w < 0) return 0;
      e->weekday = (uint8_t)w;
    } else if (e->day == 0) {
      return 0;
    }
  }
  char* field = line + strlen(line) + 1;
  if (field > end) field = end;
  if (field[0] == '*') {
    strncpy(e->label, field + 1, kScheduleLabelMax);  // compared only without double-byte labels
    field += strlen(field) + 1;
    if (field > end) field = end;
  }
  if (!*field) return 0;
  Unescape(field, 0);
  e->text = field;
  return 1;
}
