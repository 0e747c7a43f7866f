// Chips painted into a DIB section: colours and positions inside the day cells.
#include <gtest/gtest.h>
#include <windows.h>

#include "month/chipview.h"
#include "month/dates.h"
#include "month/layout.h"
#include "tests/win/month_chip.h"

using namespace monthtest;

namespace {

struct PaintedView {
  const char* name;
  uint16_t year;
  uint8_t month;
  uint8_t flags;
  int width, height;  // 0: the default size
};

const PaintedView kViews[] = {
    {"one month 1998/2", 1998, 2, 0x00, 0, 0},
    {"side by side 1998/2", 1998, 2, 0x01, 0, 0},
    {"stacked 1998/2", 1998, 2, 0xF1, 0, 0},
    {"stacked 1998/2 with a remainder", 1998, 2, 0xF1, 250, 345},
    {"English side by side 1999/12", 1999, 12, 0x03, 0, 0},
    {"English stacked 2024/2", 2024, 2, 0xF3, 0, 0},
    {"one month 1999/1 wide", 1999, 1, 0x00, 333, 230},
};

COLORREF ExpectedNumberColor(const ChipState& s, int k, const MonthBlockLayout& block, int day) {
  if (s.holidayMask[k] & (1u << day)) return s.holidayColor;
  int column = DayColumn(&block, day);
  return column == 0 ? s.sundayColor : column == 6 ? s.saturdayColor : s.textColor;
}

TEST(MonthPaint, ReturnsZeroWithoutState) {
  ChipState s = MakeState(1998, 2, 0, 0);
  TestChip chip(s);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(0, DrawChip(nullptr, chip.window(), dc));
  DeleteDC(dc);
  SIZE size = {123, 456};
  EXPECT_EQ(0, CalcDefaultRect(nullptr, chip.window(), &size));
  EXPECT_TRUE(size.cx == 123 && size.cy == 456) << "size written without a state: " << size.cx << "x" << size.cy;
}

// Every number in its colour, centred in its computed cell, and found there by HitTestDate.
TEST(MonthPaint, NumbersInTheirCellsAndColours) {
  for (const PaintedView& v : kViews) {
    ChipState s = MakeState(v.year, v.month, 0, v.flags);
    s.holidayMask[0] = (1u << 1) | (1u << 11) | (1u << 14);
    s.holidayMask[1] = (1u << 3) | (1u << 7);
    TestChip chip(s, v.width, v.height);
    Picture pic = Paint(chip);
    ASSERT_EQ(1, pic.drawResult) << v.name;
    ChipLayout layout = chip.layout();
    const COLORREF marks[] = {kText, kSunday, kSaturday, kHoliday};
    for (int k = 0; k < layout.blockCount; ++k) {
      const MonthBlockLayout& b = layout.blocks[k];
      for (int d = 1; d <= b.days; ++d) {
        CellRect cell = Cell(b, d);
        COLORREF expected = ExpectedNumberColor(s, k, b, d);
        CellRect ink = {};
        if (!pic.Ink(cell, expected, &ink)) {
          ADD_FAILURE() << v.name << " block " << k << " day " << d << ": no pixel of colour 0x" << std::hex
                        << expected << " in its cell";
          continue;
        }
        for (COLORREF other : marks) {
          if (other == expected) continue;
          EXPECT_EQ(0, pic.Count(cell, other))
                << v.name << " block " << k << " day " << d << ": colour 0x" << std::hex << other
                << " in a cell of colour 0x" << expected;
        }
        int inkY = (ink.top + ink.bottom) / 2, cellY = (cell.top + cell.bottom) / 2;
        EXPECT_LE(abs(inkY - cellY), 3) << v.name << " block " << k << " day " << d << ": ink centre y " << inkY
                                        << ", cell centre y " << cellY;
        if (d >= 10) {
          int inkX = (ink.left + ink.right) / 2, cellX = (cell.left + cell.right) / 2;
          EXPECT_LE(abs(inkX - cellX), 3) << v.name << " block " << k << " day " << d << ": ink centre x "
                                          << inkX << ", cell centre x " << cellX;
        }
        const POINT probes[] = {{(ink.left + ink.right) / 2, inkY},
                                {cell.left, cell.top},
                                {cell.right - 1, cell.bottom - 1}};
        for (const POINT& p : probes) {
          uint16_t y = 0, m = 0, day = 0;
          int found = HitTestDate(chip.window(), &s, p, &y, &m, &day);
          EXPECT_TRUE(found && y == b.year && m == b.month && day == d)
              << v.name << " at (" << p.x << "," << p.y << "): expected " << b.year << "/" << b.month << "/" << d
              << ", got " << found << " " << y << "/" << m << "/" << day;
        }
      }
    }
  }
}

TEST(MonthPaint, TodayMarkerOnlyInTodayCellOfBlock0) {
  const struct { const char* name; uint8_t flags; uint8_t today; } cases[] = {
      {"one month", 0x00, 11}, {"side by side", 0x01, 11}, {"stacked", 0xF1, 28}, {"no today", 0x01, 0}};
  for (const auto& c : cases) {
    ChipState s = MakeState(1998, 2, c.today, c.flags);
    s.holidayMask[0] = 1u << 11;
    TestChip chip(s);
    Picture pic = Paint(chip);
    ChipLayout layout = chip.layout();
    CellRect whole = {0, 0, pic.width, pic.height};
    int total = pic.Count(whole, kToday);
    if (!c.today) {
      EXPECT_EQ(0, total) << c.name << ": marker colour painted with today 0";
      continue;
    }
    CellRect cell = Cell(layout.blocks[0], c.today);
    int inCell = pic.Count(cell, kToday);
    int area = (cell.right - cell.left) * (cell.bottom - cell.top);
    EXPECT_GT(inCell, area / 3) << c.name << ": marker pixels in the today cell " << inCell << " of " << area;
    EXPECT_EQ(inCell, total) << c.name << ": marker colour outside the today cell";
    // No outline, and the number stays on top in its own colour.
    EXPECT_EQ(0, pic.Count(CellRect{cell.left, cell.top, cell.left + 2, cell.bottom}, kToday)) << c.name;
    COLORREF number = c.today == 11 ? kHoliday : kSaturday;
    EXPECT_GT(pic.Count(cell, number), 0) << c.name << ": number colour missing on the marker";
  }
}

TEST(MonthPaint, NothingPastSevenColumnsOrInBlankBlocks) {
  const struct { const char* name; uint16_t year; uint8_t month; uint8_t flags; int w, h; } cases[] = {
      {"one month", 1998, 2, 0x00, 7 * 33 + 8 + 6, 200},
      {"side by side", 1998, 2, 0x01, 2 * (7 * 33 + 6) + 12, 200},
      {"stacked", 1998, 2, 0xF1, 7 * 33 + 8 + 5, 380},
      {"side by side 9999/12", 9999, 12, 0x01, 480, 200},
      {"stacked 9999/12", 9999, 12, 0xF1, 240, 380},
  };
  for (const auto& c : cases) {
    ChipState s = MakeState(c.year, c.month, 5, c.flags);
    TestChip chip(s, c.w, c.h);
    Picture pic = Paint(chip);
    ChipLayout layout = chip.layout();
    EXPECT_EQ(0, pic.Count(CellRect{0, 0, pic.width, pic.height}, RGB(0x80, 0x80, 0x80)))
        << c.name << ": pixels left unpainted";
    for (int k = 0; k < layout.blockCount; ++k) {
      const MonthBlockLayout& b = layout.blocks[k];
      if (!b.shown) {
        EXPECT_EQ(0, pic.Other(b.block, kBack)) << c.name << ": blank block " << k << " has paint";
        continue;
      }
      int end = k + 1 < layout.blockCount && !IsStacked(c.flags) ? layout.blocks[k + 1].block.left : pic.width;
      CellRect strip = {b.block.left + 7 * b.cellWidth, b.gridTop, end, pic.height};
      EXPECT_GT(strip.right, strip.left) << c.name << ": no strip to look at";
      EXPECT_EQ(0, pic.Other(strip, kBack)) << c.name << " block " << k << ": paint right of 7 * w (x >= "
                                            << strip.left << ")";
    }
    if (c.year == 9999) {
      ASSERT_EQ(2, layout.blockCount);
      EXPECT_FALSE(layout.blocks[1].shown) << c.name;
      EXPECT_GT(pic.Other(layout.blocks[0].block, kBack), 0) << c.name << ": block 0 not painted";
    }
  }
}

TEST(MonthPaint, SideBySideRowsLineUp) {
  ChipState s = MakeState(1998, 2, 0, 0x01);  // February and March 1998 both start on a Sunday
  TestChip chip(s);
  Picture pic = Paint(chip);
  ChipLayout layout = chip.layout();
  ASSERT_EQ(2, layout.blockCount);
  for (int d = 1; d <= 28; ++d) {
    COLORREF color = ExpectedNumberColor(s, 0, layout.blocks[0], d);
    CellRect ink0 = {}, ink1 = {};
    ASSERT_TRUE(pic.Ink(Cell(layout.blocks[0], d), color, &ink0)) << "February day " << d;
    ASSERT_TRUE(pic.Ink(Cell(layout.blocks[1], d), color, &ink1)) << "March day " << d;
    EXPECT_TRUE(ink0.top == ink1.top && ink0.bottom == ink1.bottom)
        << "day " << d << ": February ink rows " << ink0.top << "-" << ink0.bottom << ", March " << ink1.top << "-"
        << ink1.bottom;
  }
}

TEST(MonthPaint, StackedBlock1TakesTheRemainder) {
  ChipState s = MakeState(1998, 2, 0, 0xF1);
  int rows1 = WeekRowsForView(1998, 3, 0);
  // A height whose remainder makes block 1's rows higher than block 0's.
  for (int height = 300; height < 400; ++height) {
    TestChip chip(s, 250, height);
    ChipLayout layout = chip.layout();
    const MonthBlockLayout& b0 = layout.blocks[0];
    const MonthBlockLayout& b1 = layout.blocks[1];
    if (b1.rowHeight == b0.rowHeight) continue;
    EXPECT_EQ(b0.lastRowBottom + 2 * GetSystemMetrics(SM_CYFRAME), b1.block.top);
    Picture pic = Paint(chip);
    // Drawn with block 0's row height, March 31 would sit rows1 * (h1 - h0) higher.
    CellRect ink = {};
    CellRect cell = Cell(b1, 31);
    ASSERT_TRUE(pic.Ink(cell, kText, &ink)) << "height " << height;
    int inkY = (ink.top + ink.bottom) / 2;
    EXPECT_LE(abs(inkY - (cell.top + cell.bottom) / 2), 3)
        << "height " << height << ": ink centre " << inkY << " in cell " << cell.top << "-" << cell.bottom
        << ", rows1 " << rows1 << ", h0 " << b0.rowHeight << ", h1 " << b1.rowHeight;
    return;
  }
  ADD_FAILURE() << "no height with a remainder to hand on";
}

TEST(MonthPaint, TitleCentredOverTheBlock) {
  const struct { const char* name; uint8_t flags; } cases[] = {
      {"Japanese", 0x00}, {"English", 0x02}, {"Japanese side by side", 0x01}, {"English stacked", 0xF3}};
  for (const auto& c : cases) {
    ChipState s = MakeState(1998, 2, 0, c.flags);
    TestChip chip(s);
    Picture pic = Paint(chip);
    ChipLayout layout = chip.layout();
    for (int k = 0; k < layout.blockCount; ++k) {
      const MonthBlockLayout& b = layout.blocks[k];
      CellRect title = {b.block.left, b.block.top, b.block.right, b.gridTop};
      CellRect ink = {};
      ASSERT_TRUE(pic.Ink(title, kText, &ink)) << c.name << " block " << k << ": no title";
      int inkX = (ink.left + ink.right) / 2, blockX = (b.block.left + b.block.right) / 2;
      EXPECT_LE(abs(inkX - blockX), 4) << c.name << " block " << k << ": title centre " << inkX << ", block centre "
                                       << blockX;
      // Header names in their column colours.
      const COLORREF columns[] = {kSunday, kText, kText, kText, kText, kText, kSaturday};
      for (int i = 0; i < 7; ++i) {
        CellRect cell = {};
        HeaderCellRect(&b, i, &cell);
        EXPECT_GT(pic.Count(cell, columns[i]), 0) << c.name << " block " << k << " header column " << i;
      }
    }
  }
}

// Header glyphs in English are one point smaller than with the chip font.
TEST(MonthPaint, EnglishHeaderUsesSmallerFont) {
  ChipState s = MakeState(1998, 2, 0, 0x02);
  s.font.lfHeight = -32;
  TestChip chip(s);
  Picture pic = Paint(chip);
  ChipLayout layout = chip.layout();
  CellRect header = {}, ink = {};
  HeaderCellRect(&layout.blocks[0], 1, &header);  // "Mon"
  ASSERT_TRUE(pic.Ink(header, kText, &ink));
  // "M" of the title "February 1998" is not there; compare with a day number's digit height instead.
  CellRect digit = {};
  ASSERT_TRUE(pic.Ink(Cell(layout.blocks[0], 10), kText, &digit));
  EXPECT_LT(ink.bottom - ink.top, digit.bottom - digit.top)
      << "header ink height " << ink.bottom - ink.top << ", digit ink height " << digit.bottom - digit.top;
}

// Schedule days: style 0 is the plain chip font; 1 bold, 2 italic (never bold), 3 underlined.
TEST(MonthPaint, ScheduleFontVariants) {
  const int day = 10;  // Tuesday, 1998/2
  auto paintDay = [&](uint8_t style, LONG weight, bool marked, CellRect* ink) {
    ChipState s = MakeState(1998, 2, 0, 0);
    s.scheduleStyle = style;
    s.font.lfWeight = weight;
    s.scheduleMask[0] = marked ? 1u << day : 0;
    TestChip chip(s, 260, 200);
    Picture pic = Paint(chip);
    CellRect cell = Cell(chip.layout().blocks[0], day);
    pic.Ink(cell, kText, ink);
    return pic.Count(cell, kText);
  };
  CellRect plainInk = {}, ink = {};
  int plain = paintDay(0, FW_NORMAL, false, &plainInk);
  ASSERT_GT(plain, 0);
  EXPECT_EQ(plain, paintDay(0, FW_NORMAL, true, &ink)) << "style 0 changed the number";
  EXPECT_GT(paintDay(1, FW_NORMAL, true, &ink), plain) << "bold has no more ink than plain";
  int italic = paintDay(2, FW_NORMAL, true, &ink);
  EXPECT_TRUE(italic != plain || ink.left != plainInk.left || ink.right != plainInk.right) << "italic looks plain";
  CellRect italicInk = ink;
  EXPECT_GT(paintDay(0, FW_BOLD, true, &ink), plain) << "a bold chip font does not draw bold";
  EXPECT_EQ(italic, paintDay(2, FW_BOLD, true, &ink)) << "italic variant of a bold chip font is still bold";
  EXPECT_TRUE(ink.right - ink.left == italicInk.right - italicInk.left &&
              ink.bottom - ink.top == italicInk.bottom - italicInk.top)
      << "italic of a bold chip font differs in size";
  paintDay(3, FW_NORMAL, true, &ink);
  EXPECT_GT(ink.bottom, plainInk.bottom) << "underline not below the plain digits";
  EXPECT_EQ(plain, paintDay(7, FW_NORMAL, true, &ink)) << "an unknown style changed the number";
}

// The proposed size is the client size of the rules plus the chip window's border.
TEST(MonthPaint, CalcDefaultRectAddsTheBorder) {
  const struct { uint16_t year; uint8_t month; uint8_t flags; } cases[] = {
      {1998, 2, 0x00}, {1998, 2, 0x01}, {1998, 2, 0xF1}, {1999, 1, 0x00}, {1999, 12, 0x03}, {2024, 2, 0x10}};
  for (const auto& c : cases) {
    ChipState s = MakeState(c.year, c.month, 0, c.flags);
    TestChip chip(s, 50, 50);
    HDC dc = GetDC(chip.window());
    TEXTMETRICA tm;
    MeasureChipFont(dc, &s.font, &tm);
    ReleaseDC(chip.window(), dc);
    int cx = GetSystemMetrics(SM_CXFRAME), cy = GetSystemMetrics(SM_CYFRAME);
    int u = tm.tmHeight / 3 * 4, rows = WeekRowsForView(c.year, c.month, c.flags);
    bool two = c.flags & 1, stacked = two && (c.flags & 0xF0);
    int width = stacked || !two ? 2 * cx + 28 * tm.tmAveCharWidth : 3 * cx + 56 * tm.tmAveCharWidth;
    int height = stacked ? 6 * cy + (rows + 4) * u : 3 * cy + (rows + 2) * u;
    SIZE size = {0, 0};
    ASSERT_EQ(1, CalcDefaultRect(chip.handle(), chip.window(), &size));
    // A window of that size with the chip style has exactly that client area.
    HWND probe = CreateWindowExA(0x80, "TarnivelTestChip", "", 0x90800000 & ~WS_VISIBLE, 0, 0, size.cx, size.cy,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    RECT client;
    GetClientRect(probe, &client);
    DestroyWindow(probe);
    EXPECT_TRUE(client.right == width && client.bottom == height)
        << c.year << "/" << (int)c.month << " flags 0x" << std::hex << (int)c.flags << std::dec << ": expected client "
        << width << "x" << height << " got " << client.right << "x" << client.bottom << " (window " << size.cx
        << "x" << size.cy << ")";
    EXPECT_GT(size.cx, width) << "no border added";
  }
}

}  // namespace
