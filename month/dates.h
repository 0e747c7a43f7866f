// Dates of the proleptic Gregorian calendar, as unsigned 16-bit values.
#pragma once

#include <stdint.h>

// Days of one month: bit d (1-31) set = day d marked. kMaskUnknown = not computed.
typedef uint32_t DayMask;
// Year in the high 16 bits, month (1-12) in the low 16 bits.
typedef uint32_t MonthKey;

const DayMask kMaskUnknown = 0xFFFFFFFFu;
const DayMask kMaskEveryDay = 0xFFFFFFFEu;

inline MonthKey MakeMonthKey(unsigned year, unsigned month) {
  return ((uint32_t)(year & 0xFFFF) << 16) | (month & 0xFFFF);
}
inline uint16_t MonthKeyYear(MonthKey key) { return (uint16_t)(key >> 16); }
inline uint16_t MonthKeyMonth(MonthKey key) { return (uint16_t)(key & 0xFFFF); }

// viewFlags bits.
const uint8_t kViewTwoMonths = 0x01;
const uint8_t kViewEnglish = 0x02;
const uint8_t kViewStacked = 0xF0;

uint16_t DaysInMonth(unsigned year, unsigned month);
uint16_t DayOfWeek(unsigned year, unsigned month, unsigned day);
int32_t CompareDates(unsigned y1, unsigned m1, unsigned d1, unsigned y2, unsigned m2, unsigned d2);
uint16_t WeekRowsForView(unsigned year, unsigned month, unsigned viewFlags);
// The month after (year, month): December is followed by January of year + 1.
void NextMonth(uint16_t year, uint16_t month, uint16_t* nextYear, uint16_t* nextMonth);
