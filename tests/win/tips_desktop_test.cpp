// Tips on a desktop of several chips and monitors.
#include <stdlib.h>

#include "tips_fixture.h"

using namespace tipstest;

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info = {sizeof info};
  if (GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcWork);
  return TRUE;
}

TEST_F(Tips, SameDateOnAnotherChipIsPlacedThere) {
  // A chip of the same size and months 400 pixels to the right, 200 lower.
  HWND other = OtherWindow(500, 300, size_.cx, size_.cy);
  HGLOBAL chip = NewChip(other, "1998/5", kViewTwoMonths);
  ShowWindow(other, SW_SHOWNA);
  SIZE size = TipSizeFor(MeasureLines({"R&&D meeting"}));
  POINT back = Day(0, 20), there = {back.x + 400, back.y + 200};
  Hover(back);
  MoveCursor(there, &g_own[2].mouseMoves);
  ExpectAtCursor(there, size, "20 May on the other chip");
  Hover(back);
  ExpectAtCursor(back, size, "20 May on the first chip again");
  UnInitializeChip(chip, other);
}

TEST_F(Tips, RecomputedMarksReadTheFilesAgain) {
  Hover(Day(1, 10));
  WriteTable("S.TBL", "1998/6/10 June,_later\r\n");
  EXPECT_EQ(1, DoDrawExMenu(chip_, window_, IDM_RELOAD_TABLES));
  POINT p = Day(1, 10, 1);
  Hover(p);
  ExpectAtCursor(p, TipSizeFor(MeasureLines({"June, later"})), "10 June after the reload");

  WriteTable("S.TBL", "1998/6/10 June,_even_later\r\n");
  std::vector<uint8_t> save = SaveBlock(kViewTwoMonths);
  HostChipInfo june = ChipInfo("1998/6", save);
  Update(chip_, window_, &june);
  Hover(p = Day(0, 10));
  ExpectAtCursor(p, TipSizeFor(MeasureLines({"June, even later"})), "10 June shown first");
}

// On a display of several monitors (scripts/monitors.sh, run by the tests
// with TARNIVEL_MONITORS set), on each monitor.
TEST_F(Tips, KeptOnTheMonitorUnderTheCursor) {
  std::vector<RECT> works;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&works));
  if (works.size() < 2 && getenv("TARNIVEL_MONITORS")) FAIL() << "one monitor where several were set up";
  if (works.size() < 2) GTEST_SKIP() << "one monitor";
  SIZE right = TipSizeFor(MeasureLines({"A long text for the right edge of the work area"}));
  SIZE bottom = TipSizeFor(MeasureLines({"Last row"}));
  const UINT kMove = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  for (const RECT& work : works) {
    SetWindowPos(window_, nullptr, work.right - size_.cx, work.top + 100, 0, 0, kMove);
    // The first move after a tip placed over the cursor held the capture goes
    // to the tip; 1 May is marked in no mask.
    Hover(Day(0, 1));
    Hover(Day(1, 27));
    RECT r = TipRect();
    EXPECT_TRUE(TipShown() && r.right == work.right - 8 && r.right - r.left == right.cx) << Show(work) << Show(r);
    SetWindowPos(window_, nullptr, work.left, work.bottom - size_.cy, 0, 0, kMove);
    POINT p = Day(0, 31);
    Hover(p);
    r = TipRect();
    EXPECT_TRUE(TipShown() && r.left == p.x && r.bottom == p.y + 8 && r.bottom - r.top == bottom.cy)
        << Show(work) << Show(r);
  }
}

}  // namespace
