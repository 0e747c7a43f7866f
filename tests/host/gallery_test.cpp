// The gallery's set-up: dxlhost paints through a copy of the library that lies
// beside the sample scheduler files, named relative to the current folder.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/png.h"
#include "host/loader.h"
#include "month/layout.h"
#include "tests/common/runprogram.h"
#include "tests/common/tempfolder.h"

namespace {

const COLORREF kHoliday = RGB(0, 160, 0);
const COLORREF kBack = RGB(255, 255, 255);

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  int Count(const CellRect& r, bool (*match)(COLORREF)) const {
    int n = 0;
    for (int y = r.top; y < r.bottom && y < height; ++y)
      for (int x = r.left; x < r.right && x < width; ++x) {
        const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
        if (match(RGB(p[0], p[1], p[2]))) ++n;
      }
    return n;
  }
};

bool IsHoliday(COLORREF c) { return c == kHoliday; }
bool IsInk(COLORREF c) { return c != kBack; }

class Gallery : public testing::Test {
 protected:
  // Paints November 2025 as the gallery does, schedule days in bold.
  void PaintNovember(const char* name, Picture* pic) {
    std::string out = lib_.File(name);
    std::string command = "\"" + ProgramDirectory() + "dxlhost.exe\" paint Tarnivel.dxl --memo 2025/11 "
                          "--style bold --holiday 00A000 --font-height -16 --font-face IPAGothic --out " + name;
    ASSERT_EQ(0, RunProgram(command, lib_.path())) << command;
    ASSERT_TRUE(ReadPng(out.c_str(), &pic->width, &pic->height, &pic->rgb)) << out;
  }

  // The cells as the library lays them out for the painted size.
  MonthBlockLayout Layout(const Picture& pic) {
    LOGFONTA font;
    DefaultChipFont(&font, -16, "IPAGothic");
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT f = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, f);
    TEXTMETRICA tm;
    memset(&tm, 0, sizeof tm);
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
    ChipMetrics metrics = {pic.width, pic.height, GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME),
                           (int)tm.tmHeight};
    ChipLayout layout;
    LayoutChip(&metrics, 2025, 11, 0, &layout);
    return layout.blocks[0];
  }

  static CellRect Cell(const MonthBlockLayout& block, int day) {
    CellRect r = {0, 0, 0, 0};
    DayCellRect(&block, day, &r);
    return r;
  }

  LibraryCopy lib_{true};
};

TEST_F(Gallery, HolidaysAndScheduleDaysOfTheSampleFiles) {
  ASSERT_FALSE(lib_.library().empty()) << "the library and the sample files could not be copied";
  Picture marked, plain;
  PaintNovember("marked.png", &marked);
  // The same chip with the scheduler's files turned off in the copy's settings.
  lib_.WriteUserSetting("Flags", "0");
  PaintNovember("plain.png", &plain);
  ASSERT_TRUE(marked.width == plain.width && marked.height == plain.height);
  MonthBlockLayout block = Layout(marked);

  // 3 November and the substitute holiday on Monday 24 November.
  for (int day : {3, 24}) {
    EXPECT_GT(marked.Count(Cell(block, day), IsHoliday), 0) << "day " << day << " is not in the holiday colour";
    EXPECT_EQ(0, plain.Count(Cell(block, day), IsHoliday)) << "day " << day << " without the scheduler's files";
  }
  EXPECT_EQ(0, marked.Count(Cell(block, 25), IsHoliday)) << "Tuesday 25 November is no holiday";
  // Wednesdays are schedule days of SCHEDULE.TBL, Thursdays are not.
  int boldInk = marked.Count(Cell(block, 26), IsInk), normalInk = plain.Count(Cell(block, 26), IsInk);
  EXPECT_GT(boldInk, normalInk) << "26 November: schedule day not in bold (" << boldInk << " pixels against "
                                << normalInk << ")";
  EXPECT_EQ(plain.Count(Cell(block, 27), IsInk), marked.Count(Cell(block, 27), IsInk))
      << "27 November is no schedule day";
}

}  // namespace
