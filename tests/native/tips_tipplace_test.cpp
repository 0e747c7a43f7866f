#include <gtest/gtest.h>

#include "tips/tipplace.h"

// A tip of 200 x 60 wanted at the corner given, on desktops of several
// monitors: the work area is that of the monitor under the cursor.
TEST(TipsPlace, KeptInsideTheCursorsMonitor) {
  const TipArea primary = {0, 0, 1920, 1040};
  const TipArea right = {1920, 0, 3840, 1040};
  const TipArea left = {-1280, 0, 0, 984};
  const TipArea above = {0, -1080, 1920, -40};
  const TipArea below = {-200, 1080, 1720, 2120};
  struct {
    const char* what;
    const TipArea* work;
    TipPoint at, expected;
  } cases[] = {
      {"primary, room enough", &primary, {1000, 500}, {1000, 500}},
      {"primary, right edge exactly", &primary, {1720, 980}, {1720, 980}},
      {"primary, past the right edge", &primary, {1721, 500}, {1712, 500}},
      {"primary, past the bottom edge", &primary, {1000, 981}, {1000, 921}},
      {"right monitor, room enough", &right, {3000, 500}, {3000, 500}},
      {"right monitor, near its right edge", &right, {3800, 500}, {3632, 500}},
      {"right monitor, past its bottom", &right, {3800, 1030}, {3632, 970}},
      {"left monitor, room enough", &left, {-1000, 300}, {-1000, 300}},
      {"left monitor, near its right edge", &left, {-100, 300}, {-208, 300}},
      {"left monitor, past its lower bottom", &left, {-600, 950}, {-600, 890}},
      {"monitor above, room enough", &above, {500, -700}, {500, -700}},
      {"monitor above, past its bottom", &above, {500, -90}, {500, -150}},
      {"monitor above, both edges", &above, {1800, -90}, {1712, -150}},
      {"monitor below, left of the primary", &below, {-150, 1500}, {-150, 1500}},
      {"monitor below, past its right edge", &below, {1700, 1500}, {1512, 1500}},
      {"monitor below, past its bottom", &below, {100, 2100}, {100, 2040}},
  };
  for (auto& c : cases) {
    TipPoint got = ClampTipToWorkArea(c.at, 200, 60, c.work);
    EXPECT_EQ(c.expected.x, got.x) << c.what;
    EXPECT_EQ(c.expected.y, got.y) << c.what;
  }
  TipPoint unknown = ClampTipToWorkArea(TipPoint{5000, 5000}, 200, 60, nullptr);
  EXPECT_EQ(5000, unknown.x) << "no work area";
  EXPECT_EQ(5000, unknown.y) << "no work area";
}
