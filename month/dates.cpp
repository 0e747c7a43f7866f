// Month lengths, weekdays and week rows. Every argument is cut to 16 bits.
#include "month/dates.h"

namespace {

const uint8_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int IsLeapYear(uint16_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Sunday-to-Saturday rows holding a day of the month.
uint16_t MonthRows(uint16_t year, uint16_t month) {
  uint16_t cells = (uint16_t)(DayOfWeek(year, month, 1) + DaysInMonth(year, month));
  return (uint16_t)((cells + 6) / 7);
}

}  // namespace

uint16_t DaysInMonth(unsigned year, unsigned month) {
  uint16_t y = (uint16_t)year, m = (uint16_t)month;
  if (m < 1 || m > 12) m = 1;
  if (m == 2 && IsLeapYear(y)) return 29;
  return kMonthDays[m - 1];
}

uint16_t DayOfWeek(unsigned year, unsigned month, unsigned day) {
  uint16_t y = (uint16_t)year, m = (uint16_t)month, d = (uint16_t)day;
  if (m == 1 || m == 2) {
    m = (uint16_t)(m + 12);
    y = (uint16_t)(y - 1);
  }
  uint32_t w = (uint32_t)d + y + y / 4 - y / 100 + y / 400 + (13u * m + 8) / 5;
  return (uint16_t)(w % 7);
}

int32_t CompareDates(unsigned y1, unsigned m1, unsigned d1, unsigned y2, unsigned m2, unsigned d2) {
  const uint16_t a[3] = {(uint16_t)y1, (uint16_t)m1, (uint16_t)d1};
  const uint16_t b[3] = {(uint16_t)y2, (uint16_t)m2, (uint16_t)d2};
  for (int i = 0; i < 3; ++i) {
    if (a[i] < b[i]) return -1;
    if (a[i] > b[i]) return 1;
  }
  return 0;
}

void NextMonth(uint16_t year, uint16_t month, uint16_t* nextYear, uint16_t* nextMonth) {
  if (month == 12) {
    year = (uint16_t)(year + 1);
    month = 1;
  } else {
    month = (uint16_t)(month + 1);
  }
  if (nextYear) *nextYear = year;
  if (nextMonth) *nextMonth = month;
}

uint16_t WeekRowsForView(unsigned year, unsigned month, unsigned viewFlags) {
  uint16_t y = (uint16_t)year, m = (uint16_t)month;
  uint8_t flags = (uint8_t)viewFlags;
  uint16_t rows1 = MonthRows(y, m);
  if (!(flags & kViewTwoMonths)) return rows1;
  uint16_t y2, m2;
  NextMonth(y, m, &y2, &m2);
  uint16_t rows2 = MonthRows(y2, m2);
  if (flags & kViewStacked) return (uint16_t)(rows1 + rows2);
  return rows1 > rows2 ? rows1 : rows2;
}
