#include <gtest/gtest.h>

#include "tips/tipplace.h"

// A tip of 200 x 60 wanted at a corner, kept inside the work area of the
// monitor under the cursor: the primary and monitors beside, above and below it.
TEST(TipsPlace, KeptInsideTheCursorsMonitor) {
  const TipArea primary = {0, 0, 1920, 1040}, right = {1920, 0, 3840, 1040}, left = {-1280, 0, 0, 984},
                above = {0, -1080, 1920, -40}, below = {-200, 1080, 1720, 2120};
  struct {
    const TipArea* work;
    TipPoint at, expected;
  } cases[] = {
      {&primary, {1720, 980}, {1720, 980}},   {&primary, {1721, 981}, {1712, 921}},
      {&right, {3000, 500}, {3000, 500}},     {&right, {3800, 1030}, {3632, 970}},
      {&left, {-1000, 300}, {-1000, 300}},    {&left, {-100, 950}, {-208, 890}},
      {&above, {500, -700}, {500, -700}},     {&above, {1800, -90}, {1712, -150}},
      {&below, {-150, 1500}, {-150, 1500}},   {&below, {1700, 2100}, {1512, 2040}},
      {nullptr, {5000, 5000}, {5000, 5000}},
  };
  for (auto& c : cases) {
    TipPoint got = PlaceTipAtCursor(TipPoint{c.at.x, c.at.y - 8}, 200, 60, c.work, MonitorScaledDpi(96));
    EXPECT_TRUE(got.x == c.expected.x && got.y == c.expected.y)
        << "at " << c.at.x << "," << c.at.y << ": " << got.x << "," << got.y;
  }
}
