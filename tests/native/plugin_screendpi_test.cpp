#include <gtest/gtest.h>

#include "tips/tipplace.h"

// A per-monitor aware host's tip follows the monitor's DPI; one the system
// scales gets its font for the DPI the system reports and its gaps as at 96.
TEST(ScreenDpiScale, TipFontAndPlaceForTheDpi) {
  const TipArea work = {0, 0, 1920, 1040};
  struct {
    ScreenDpi dpi;
    int font;
    TipPoint tip;  // a tip of 200 x 60 for the cursor at 1800,1000
  } cases[] = {{MonitorScaledDpi(96), -12, {1712, 948}},  {MonitorScaledDpi(120), -15, {1710, 950}},
               {MonitorScaledDpi(144), -18, {1708, 952}}, {MonitorScaledDpi(192), -24, {1704, 956}},
               {SystemScaledDpi(144), -18, {1712, 948}},  {SystemScaledDpi(0), -12, {1712, 948}}};
  for (auto& c : cases) {
    TipPoint tip = PlaceTipAtCursor(TipPoint{1800, 1000}, 200, 60, &work, c.dpi);
    EXPECT_TRUE(TipFontHeight(c.dpi) == c.font && tip.x == c.tip.x && tip.y == c.tip.y)
        << c.dpi.fontDpi << "/" << c.dpi.pixelDpi << ": " << TipFontHeight(c.dpi) << " " << tip.x << "," << tip.y;
  }
  // A length of the system's DPI (dialog base units) on a monitor of another.
  EXPECT_TRUE(RescaleForDpi(14, 96, 144) == 21 && RescaleForDpi(21, 144, 96) == 14 && RescaleForDpi(14, 0, 144) == 14);
}
