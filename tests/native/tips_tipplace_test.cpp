#include <gtest/gtest.h>

#include "tips/tipplace.h"

// A tip of 200 x 60 shown at the cursor, kept inside the work area of the
// monitor under it: the primary and monitors beside, above and below it. A
// per-monitor aware host's tip keeps its gaps for its monitor's DPI; one the
// system scales keeps 8 pixels whatever DPI the system reports.
TEST(TipsPlace, KeptInsideTheCursorsMonitor) {
  const TipArea primary = {0, 0, 1920, 1040}, right = {1920, 0, 3840, 1040}, left = {-1280, 0, 0, 984},
                above = {0, -1080, 1920, -40}, below = {-200, 1080, 1720, 2120};
  const ScreenDpi at96 = MonitorScaledDpi(96), at144 = MonitorScaledDpi(144), at192 = MonitorScaledDpi(192),
                  scaled144 = SystemScaledDpi(144);
  struct {
    const TipArea* work;
    const ScreenDpi* dpi;
    TipPoint cursor, expected;
  } cases[] = {
      {&primary, &at96, {1720, 972}, {1720, 980}},     {&primary, &at96, {1721, 973}, {1712, 921}},
      {&right, &at96, {3000, 492}, {3000, 500}},       {&right, &at96, {3800, 1022}, {3632, 970}},
      {&left, &at96, {-1000, 292}, {-1000, 300}},      {&left, &at96, {-100, 942}, {-208, 890}},
      {&above, &at96, {500, -708}, {500, -700}},       {&above, &at96, {1800, -98}, {1712, -150}},
      {&below, &at96, {-150, 1492}, {-150, 1500}},     {&below, &at96, {1700, 2092}, {1512, 2040}},
      {nullptr, &at96, {5000, 4992}, {5000, 5000}},
      {&primary, &at144, {1700, 500}, {1700, 512}},    {&primary, &at144, {1721, 1000}, {1708, 952}},
      {&right, &at144, {3800, 1030}, {3628, 982}},     {&left, &at144, {-100, 950}, {-212, 902}},
      {&primary, &at192, {100, 100}, {100, 116}},      {&primary, &at192, {1800, 990}, {1704, 946}},
      {&primary, &scaled144, {1721, 973}, {1712, 921}}, {nullptr, &scaled144, {10, 10}, {10, 18}},
  };
  for (auto& c : cases) {
    TipPoint got = PlaceTipAtCursor(c.cursor, 200, 60, c.work, *c.dpi);
    EXPECT_TRUE(got.x == c.expected.x && got.y == c.expected.y)
        << "cursor " << c.cursor.x << "," << c.cursor.y << " at " << c.dpi->pixelDpi << " dpi: " << got.x << ","
        << got.y;
  }
}
