#include <gtest/gtest.h>

#include "plugin/help.h"
#include "tips/tipplace.h"

// A per-monitor aware host's tip and help popup follow the monitor's DPI;
// one the system scales gets its font for the DPI the system reports and its
// distances as at 96 dots per inch.
TEST(ScreenDpiScale, TipAndHelpPopupForTheDpi) {
  const TipArea work = {0, 0, 1920, 1040};
  const HelpRect area = {0, 0, 1280, 1000}, control = {100, 900, 200, 920};
  struct {
    ScreenDpi dpi;
    int font;
    TipPoint tip;  // a tip of 200 x 60 for the cursor at 1800,1000
    int helpY;     // a popup of 300 x 80 above the control
  } cases[] = {
      {MonitorScaledDpi(96), -12, {1712, 948}, 818},  {MonitorScaledDpi(120), -15, {1710, 950}, 817},
      {MonitorScaledDpi(144), -18, {1708, 952}, 817}, {MonitorScaledDpi(192), -24, {1704, 956}, 816},
      {MonitorScaledDpi(0), -12, {1712, 948}, 818},   {SystemScaledDpi(144), -18, {1712, 948}, 818},
      {SystemScaledDpi(0), -12, {1712, 948}, 818},
  };
  for (auto& c : cases) {
    TipPoint tip = PlaceTipAtCursor(TipPoint{1800, 1000}, 200, 60, &work, c.dpi);
    int x = -1, y = -1;
    PlaceHelpPopup(&control, &area, 300, 80, c.dpi, &x, &y);
    EXPECT_TRUE(TipFontHeight(c.dpi) == c.font && tip.x == c.tip.x && tip.y == c.tip.y && x == 100 && y == c.helpY)
        << c.dpi.fontDpi << "/" << c.dpi.pixelDpi << ": " << TipFontHeight(c.dpi) << " " << tip.x << "," << tip.y
        << " " << y;
  }
  // A length of the system's DPI (dialog base units) on a monitor of another.
  EXPECT_TRUE(RescaleForDpi(14, 96, 144) == 21 && RescaleForDpi(21, 144, 96) == 14 && RescaleForDpi(14, 0, 144) == 14);
}
