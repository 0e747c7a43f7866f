#include <gtest/gtest.h>

#include "plugin/screendpi.h"

// Fonts and distances of the library's windows for the DPI of a screen: a
// per-monitor aware host's follow the monitor; one the system scales gets its
// font for the DPI the system reports and its distances as they were.
TEST(ScreenDpiScale, FontsAndDistancesForTheDpi) {
  struct {
    ScreenDpi dpi;
    int font, tipGap, margin, maxWidth;
  } cases[] = {
      {MonitorScaledDpi(96), -12, 8, 6, 300},   {MonitorScaledDpi(120), -15, 10, 8, 375},
      {MonitorScaledDpi(144), -18, 12, 9, 450}, {MonitorScaledDpi(192), -24, 16, 12, 600},
      {MonitorScaledDpi(0), -12, 8, 6, 300},    {SystemScaledDpi(144), -18, 8, 6, 450},
      {SystemScaledDpi(120), -15, 8, 6, 375},   {SystemScaledDpi(0), -12, 8, 6, 300},
  };
  for (auto& c : cases) {
    EXPECT_EQ(c.font, TipFontHeight(c.dpi)) << c.dpi.fontDpi << "/" << c.dpi.pixelDpi;
    EXPECT_EQ(c.tipGap, ScaleToDpi(8, c.dpi)) << c.dpi.fontDpi << "/" << c.dpi.pixelDpi;
    EXPECT_EQ(c.margin, ScaleToDpi(6, c.dpi)) << c.dpi.fontDpi << "/" << c.dpi.pixelDpi;
    EXPECT_EQ(c.maxWidth, RescaleForDpi(300, 96, c.dpi.fontDpi)) << c.dpi.fontDpi << "/" << c.dpi.pixelDpi;
  }
  // A system-DPI length (dialog base units) on a monitor of another DPI.
  EXPECT_EQ(21, RescaleForDpi(14, 96, 144));
  EXPECT_EQ(14, RescaleForDpi(21, 144, 96));
  EXPECT_EQ(-21, RescaleForDpi(-14, 96, 144));
  EXPECT_EQ(14, RescaleForDpi(14, 0, 144));
}
