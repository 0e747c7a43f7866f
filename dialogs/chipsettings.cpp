#include "dialogs/chipsettings.h"

#include <stdio.h>

#include "month/dates.h"

const char kThisMonthMarker[] = "Tarnevel";

int CheckGivenMonth(uint32_t year, uint32_t month) {
  if (year == 0 || year > 9999) return kGivenMonthBadYear;
  if (month == 0 || month > 12) return kGivenMonthBadMonth;
  return kGivenMonthOk;
}

int FormatMemoMonth(int thisMonth, uint32_t year, uint32_t month, char* out, int size) {
  if (!out || size <= 0) return 0;
  out[0] = '\0';
  int n;
  if (thisMonth) {
    n = snprintf(out, (size_t)size, "%s", kThisMonthMarker);
  } else {
    if (CheckGivenMonth(year, month) != kGivenMonthOk) return 0;
    n = snprintf(out, (size_t)size, "%04u/%02u", (unsigned)year, (unsigned)month);
  }
  if (n < 0 || n >= size) {
    out[0] = '\0';
    return 0;
  }
  return n + 1;
}

uint8_t MergeViewFlags(uint8_t old, int twoMonths, int stacked, int english) {
  uint8_t flags = old & 0x0C;
  if (twoMonths) flags |= kViewTwoMonths;
  if (english) flags |= kViewEnglish;
  if (stacked) flags |= kViewStacked;
  return flags;
}
