#include <gtest/gtest.h>

#include "month/dates.h"

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = (unsigned)(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + (long)doe - 719468;
}

TEST(MonthDates, EveryDateOfYears1To9999AgreesWithCivilDays) {
  int failures = 0;
  for (unsigned y = 1; y <= 9999 && failures < 5; ++y) {
    for (unsigned m = 1; m <= 12; ++m) {
      long first = DaysFromCivil(y, m, 1);
      unsigned expectedDays = (unsigned)(DaysFromCivil(m == 12 ? y + 1 : y, m == 12 ? 1 : m + 1, 1) - first);
      unsigned days = DaysInMonth(y, m);
      if (days != expectedDays) {
        ADD_FAILURE() << "DaysInMonth(" << y << ", " << m << ") expected " << expectedDays << " got " << days;
        ++failures;
      }
      for (unsigned d = 1; d <= expectedDays; ++d) {
        // 1970-01-01 was a Thursday (4).
        long n = first + (long)d - 1;
        unsigned expected = (unsigned)(((n % 7) + 7 + 4) % 7);
        unsigned got = DayOfWeek(y, m, d);
        if (got != expected) {
          ADD_FAILURE() << "DayOfWeek(" << y << ", " << m << ", " << d << ") expected " << expected << " got " << got;
          if (++failures >= 5) break;
        }
      }
    }
  }
}

TEST(MonthDates, DaysInMonthCases) {
  struct Case { unsigned y, m, expected; } cases[] = {
      {1900, 2, 28}, {2000, 2, 29}, {1996, 2, 29}, {1999, 2, 28}, {1999, 0, 31}, {1999, 13, 31},
      {1999, 4, 30}, {0x10000 + 2000, 0x10000 + 2, 29}, {2001, 0x10002, 28}, {1999, 0xFFFF, 31},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, DaysInMonth(c.y, c.m)) << "DaysInMonth(" << c.y << ", " << c.m << ")";
}

TEST(MonthDates, DayOfWeekCases) {
  struct Case { unsigned y, m, d, expected; } cases[] = {
      {1999, 1, 1, 5}, {1998, 2, 1, 0}, {2000, 1, 1, 6}, {1, 1, 1, 1},
      {0x10000 + 1999, 1, 1, 5}, {1999, 0x10001, 0x10001, 5}, {9999, 12, 31, 5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, DayOfWeek(c.y, c.m, c.d)) << "DayOfWeek(" << c.y << ", " << c.m << ", " << c.d << ")";
  // Nonsense dates are computed, not rejected.
  EXPECT_LT(DayOfWeek(0, 1, 1), 7);
  EXPECT_LT(DayOfWeek(0xFFFF, 0xFFFF, 0xFFFF), 7);
}

TEST(MonthDates, CompareDatesCases) {
  struct Case { unsigned y1, m1, d1, y2, m2, d2; int expected; } cases[] = {
      {1999, 12, 31, 2000, 1, 1, -1}, {2000, 1, 1, 1999, 12, 31, 1}, {2000, 1, 1, 2000, 1, 1, 0},
      {1999, 3, 2, 1999, 3, 1, 1},    {1999, 13, 1, 1999, 12, 31, 1}, {1999, 3, 1, 1999, 3, 0x10002, -1},
      {0x10000 + 5, 1, 1, 6, 1, 1, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, CompareDates(c.y1, c.m1, c.d1, c.y2, c.m2, c.d2))
        << c.y1 << "/" << c.m1 << "/" << c.d1 << " against " << c.y2 << "/" << c.m2 << "/" << c.d2;
}

TEST(MonthDates, WeekRowsForViewCases) {
  struct Case { unsigned y, m, flags, expected; } cases[] = {
      {1998, 2, 0x00, 4}, {1998, 2, 0x01, 5}, {1998, 2, 0xF1, 9}, {1998, 2, 0x11, 9},
      {1998, 2, 0xF0, 4}, {1998, 2, 0x02, 4}, {1999, 1, 0x00, 6}, {1999, 12, 0x01, 6},
      {1999, 12, 0xF1, 11}, {2024, 2, 0x00, 5}, {1998, 2, 0x100, 4}, {9999, 12, 0xF1, 11},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, WeekRowsForView(c.y, c.m, c.flags))
        << "WeekRowsForView(" << c.y << ", " << c.m << ", 0x" << std::hex << c.flags << ")";
}

TEST(MonthDates, NextMonthCases) {
  struct Case { uint16_t y, m, ey, em; } cases[] = {
      {1999, 12, 2000, 1}, {1999, 1, 1999, 2}, {9999, 12, 10000, 1}, {0xFFFF, 12, 0, 1},
  };
  for (const Case& c : cases) {
    uint16_t y = 0, m = 0;
    NextMonth(c.y, c.m, &y, &m);
    EXPECT_TRUE(y == c.ey && m == c.em) << c.y << "/" << c.m << " expected " << c.ey << "/" << c.em << " got "
                                        << y << "/" << m;
  }
}

}  // namespace
