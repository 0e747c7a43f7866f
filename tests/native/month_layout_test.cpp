#include <gtest/gtest.h>

#include "month/dates.h"
#include "month/hittest.h"
#include "month/layout.h"
#include "plugin/screendpi.h"

namespace {

struct View {
  const char* name;
  uint16_t year, month;
  unsigned flags;
  int width, height;
};

const View kViews[] = {
    {"one month 1998/2", 1998, 2, 0x00, 148, 108},
    {"side by side 1998/2", 1998, 2, 0x01, 292, 124},
    {"stacked 1998/2", 1998, 2, 0xF1, 148, 232},
    {"stacked 1998/2 tall", 1998, 2, 0x11, 151, 301},
    {"side by side 1999/12", 1999, 12, 0x03, 301, 139},
    {"stacked 1999/12", 1999, 12, 0xF1, 160, 260},
    {"stacked 1998/1 (ends on Saturday)", 1998, 1, 0xF1, 150, 250},
    {"side by side 9999/12", 9999, 12, 0x01, 292, 140},
    {"stacked 9999/12", 9999, 12, 0xF1, 148, 240},
    {"one month 2024/2 narrow", 2024, 2, 0x00, 60, 50},
    {"one month 2000/1 odd", 2000, 1, 0xF0, 173, 131},
};

ChipMetrics Metrics(const View& v) { return ChipMetrics{v.width, v.height, 4, 4, 12}; }

TEST(MonthLayout, OneMonthFebruary1998Cells) {
  ChipMetrics m = {148, 108, 4, 4, 12};
  ChipLayout layout;
  LayoutChip(&m, 1998, 2, 0, &layout);
  const MonthBlockLayout& b = layout.blocks[0];
  ASSERT_EQ(1, layout.blockCount);
  EXPECT_EQ(24, b.gridTop);
  EXPECT_EQ(5, b.divisor);
  EXPECT_EQ(20, b.cellWidth);
  EXPECT_EQ(16, b.rowHeight);
  EXPECT_EQ(104, b.lastRowBottom);
  struct Case { int day, left, top, right, bottom; } cases[] = {
      {1, 4, 40, 24, 56}, {7, 124, 40, 144, 56}, {8, 4, 56, 24, 72}, {28, 124, 88, 144, 104}};
  for (const Case& c : cases) {
    CellRect r;
    ASSERT_TRUE(DayCellRect(&b, c.day, &r));
    EXPECT_TRUE(r.left == c.left && r.top == c.top && r.right == c.right && r.bottom == c.bottom)
        << "day " << c.day << " expected (" << c.left << "," << c.top << "," << c.right << "," << c.bottom
        << ") got (" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
  }
}

TEST(MonthLayout, HitTestPoints) {
  struct Case {
    const char* what;
    uint16_t year, month;
    unsigned flags;
    int width, height, x, y;
    int found;
    uint16_t ey, em, ed;
  } cases[] = {
      {"week row 0 column 0", 1998, 2, 0, 148, 108, 4, 40, 1, 1998, 2, 1},
      {"last pixel of day 1", 1998, 2, 0, 148, 108, 23, 55, 1, 1998, 2, 1},
      {"first column right of day 1", 1998, 2, 0, 148, 108, 24, 40, 1, 1998, 2, 2},
      {"first row below day 1", 1998, 2, 0, 148, 108, 4, 56, 1, 1998, 2, 8},
      {"week row 3 column 6", 1998, 2, 0, 148, 108, 143, 103, 1, 1998, 2, 28},
      {"right of Saturday", 1998, 2, 0, 148, 108, 144, 90, 0, 1998, 2, 0},
      {"below week row 3", 1998, 2, 0, 148, 108, 50, 104, 0, 1998, 2, 0},
      {"header row", 1998, 2, 0, 148, 108, 50, 30, 0, 1998, 2, 0},
      {"title", 1998, 2, 0, 148, 108, 70, 8, 0, 1998, 2, 0},
      {"left margin", 1998, 2, 0, 148, 108, 3, 45, 0, 1998, 2, 0},
      {"side by side block 1", 1998, 2, 1, 292, 124, 148, 40, 1, 1998, 3, 1},
      {"side by side gap", 1998, 2, 1, 292, 124, 146, 40, 0, 1998, 3, 0},
      {"side by side 1999/12 block 1", 1999, 12, 1, 292, 124, 148 + 6 * 20, 40, 1, 2000, 1, 1},
      {"stacked block 1 after a month ending on Saturday", 1998, 2, 0xF1, 148, 232, 4, 148, 1, 1998, 3, 1},
      {"stacked block 1 title", 1998, 2, 0xF1, 148, 232, 60, 115, 0, 1998, 3, 0},
      {"stacked block 0 last day", 1998, 2, 0xF1, 148, 232, 130, 100, 1, 1998, 2, 28},
      {"stacked 9999/12 blank block 1", 9999, 12, 0xF1, 148, 240, 4, 200, 0, 10000, 1, 0},
  };
  for (const Case& c : cases) {
    ChipMetrics m = {c.width, c.height, 4, 4, 12};
    ChipLayout layout;
    LayoutChip(&m, c.year, c.month, c.flags, &layout);
    uint16_t y = 0, mo = 0, d = 0;
    int found = HitTestChip(&layout, c.x, c.y, &y, &mo, &d);
    EXPECT_TRUE((found != 0) == (c.found != 0) && y == c.ey && mo == c.em && d == c.ed)
        << c.what << " at (" << c.x << "," << c.y << "): expected " << c.found << " " << c.ey << "/" << c.em
        << "/" << c.ed << ", got " << found << " " << y << "/" << mo << "/" << d;
  }
}

// Every pixel of every view: the hit test finds exactly the day whose drawn
// cell holds the pixel.
TEST(MonthLayout, HitTestAgreesWithCellsEverywhere) {
  for (const View& v : kViews) {
    ChipMetrics m = Metrics(v);
    ChipLayout layout;
    LayoutChip(&m, v.year, v.month, v.flags, &layout);
    int mismatches = 0;
    for (int y = -2; y < v.height + 2 && mismatches < 3; ++y) {
      for (int x = -2; x < v.width + 2 && mismatches < 3; ++x) {
        int expectedBlock = -1, expectedDay = 0;
        for (int k = 0; k < layout.blockCount; ++k) {
          for (int d = 1; d <= 31; ++d) {
            CellRect r;
            if (DayCellRect(&layout.blocks[k], d, &r) && r.left <= x && x < r.right && r.top <= y &&
                y < r.bottom) {
              EXPECT_EQ(-1, expectedBlock) << v.name << ": cells overlap at " << x << "," << y;
              expectedBlock = k;
              expectedDay = d;
            }
          }
        }
        uint16_t year, month, day;
        int found = HitTestChip(&layout, x, y, &year, &month, &day);
        bool ok = expectedBlock < 0 ? !found && day == 0
                                    : found && day == expectedDay && year == layout.blocks[expectedBlock].year &&
                                          month == layout.blocks[expectedBlock].month;
        if (!ok) {
          ++mismatches;
          ADD_FAILURE() << v.name << " at (" << x << "," << y << "): expected day " << expectedDay << " of block "
                        << expectedBlock << ", got " << found << " " << year << "/" << month << "/" << day;
        }
      }
    }
  }
}

TEST(MonthLayout, SideBySideBlocksShareRowHeight) {
  const struct { uint16_t y, m; int w, h; } cases[] = {{1998, 2, 292, 124}, {1999, 12, 301, 139}, {1998, 5, 250, 200}};
  for (const auto& c : cases) {
    ChipMetrics m = {c.w, c.h, 4, 4, 12};
    ChipLayout layout;
    LayoutChip(&m, c.y, c.m, 0x01, &layout);
    ASSERT_EQ(2, layout.blockCount);
    int rows = WeekRowsForView(c.y, c.m, 0x01);
    EXPECT_EQ(rows + 1, layout.blocks[0].divisor) << c.y << "/" << c.m;
    EXPECT_EQ(layout.blocks[0].rowHeight, layout.blocks[1].rowHeight) << c.y << "/" << c.m;
    EXPECT_EQ(layout.blocks[0].cellWidth, layout.blocks[1].cellWidth) << c.y << "/" << c.m;
    EXPECT_EQ(layout.blocks[0].block.right + 4, layout.blocks[1].block.left) << c.y << "/" << c.m;
  }
}

// Block 1 of a stacked pair gets (rows1 + 1) * h + rest pixels below its grid top.
TEST(MonthLayout, StackedRemainderGoesToBlock1) {
  const struct { uint16_t y, m; int h; } cases[] = {
      {1998, 2, 232}, {1998, 2, 240}, {1998, 2, 250}, {1999, 12, 300}, {1998, 1, 277}, {2024, 2, 199}};
  for (const auto& c : cases) {
    ChipMetrics m = {148, c.h, 4, 4, 12};
    ChipLayout layout;
    LayoutChip(&m, c.y, c.m, 0xF1, &layout);
    const MonthBlockLayout& b0 = layout.blocks[0];
    const MonthBlockLayout& b1 = layout.blocks[1];
    int n = b0.divisor, h = b0.rowHeight;
    int S = (c.h - 4) - 12 - 16 - b0.gridTop;
    int rest = S - n * h;
    int rows1 = WeekRowsForView(b1.year, b1.month, 0);
    EXPECT_TRUE(rest >= 0 && rest < n) << c.y << "/" << c.m << " H " << c.h << " rest " << rest;
    EXPECT_EQ(b0.lastRowBottom + 8, b1.block.top) << c.y << "/" << c.m << " H " << c.h;
    EXPECT_EQ((rows1 + 1) * h + rest, b1.divisionBottom - b1.gridTop) << c.y << "/" << c.m << " H " << c.h;
    EXPECT_EQ(h + rest / (rows1 + 1), b1.rowHeight) << c.y << "/" << c.m << " H " << c.h;
  }
}

TEST(MonthLayout, BlankBlockPastYear9999) {
  ChipMetrics m = {292, 140, 4, 4, 12};
  ChipLayout layout;
  LayoutChip(&m, 9999, 12, 0x01, &layout);
  EXPECT_TRUE(layout.blocks[0].shown);
  EXPECT_FALSE(layout.blocks[1].shown);
  EXPECT_EQ(10000, layout.blocks[1].year);
  CellRect r;
  EXPECT_FALSE(DayCellRect(&layout.blocks[1], 1, &r));
}

TEST(MonthLayout, EnglishHeaderHeightCases) {
  struct Case { int32_t lf; int dpi; int32_t expected; } cases[] = {
      {-16, 96, -14}, {-12, 96, -10}, {16, 96, -14}, {-16, 120, -13}, {-16, 0, -16}, {0, 96, 0}, {-1, 96, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, EnglishHeaderHeight(c.lf, c.dpi)) << "lfHeight " << c.lf << " at " << c.dpi << " dpi";
}

// A per-monitor aware host makes the chip font for the chip's monitor; the
// frame and the English header follow that monitor. A host the system scales
// keeps the system's frame and DPI (frame 4 at 96, 6 at 144).
TEST(MonthLayout, FrameAndEnglishHeaderFollowTheChipsMonitor) {
  struct { int monitorDpi, logPixels, systemDpi, systemFrame, lfHeight, frame, header; } cases[] = {
      {96, 96, 96, 4, -16, 4, -14},     {120, 96, 96, 4, -20, 5, -18}, {144, 96, 96, 4, -24, 6, -22},
      {192, 144, 144, 6, -32, 8, -29}, {0, 96, 144, 4, -16, 4, -14},  {0, 144, 144, 6, -24, 6, -22}};
  for (const auto& c : cases) {
    const ScreenDpi dpi = WindowScreenDpi(c.monitorDpi, c.logPixels);
    const int frame = ScaleSystemMetric(c.systemFrame, c.systemDpi, dpi);
    const int header = EnglishHeaderHeight(c.lfHeight, dpi.fontDpi);
    EXPECT_TRUE(frame == c.frame && header == c.header)
        << "monitor " << c.monitorDpi << ", DC " << c.logPixels << ": frame " << frame << ", header " << header;
  }
}

TEST(MonthLayout, DefaultClientSizeExample) {
  struct Case { unsigned flags; int w, h; } cases[] = {{0x00, 148, 108}, {0x01, 292, 124}, {0xF1, 148, 232}};
  for (const Case& c : cases) {
    int w = 0, h = 0;
    DefaultClientSize(12, 5, 4, 4, 1998, 2, c.flags, &w, &h);
    EXPECT_TRUE(w == c.w && h == c.h) << "flags 0x" << std::hex << c.flags << std::dec << ": expected " << c.w
                                      << "x" << c.h << " got " << w << "x" << h;
  }
}

}  // namespace
