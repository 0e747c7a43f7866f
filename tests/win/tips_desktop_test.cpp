// Tips on a desktop of several chips and monitors.
#include <stdlib.h>

#include "tips_support.h"

using namespace tipstest;

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info = {sizeof info};
  GetMonitorInfoA(monitor, &info);
  reinterpret_cast<std::vector<MONITORINFO>*>(list)->push_back(info);
  return TRUE;
}

class TipsDesktop : public MarksFiles {
 protected:
  void SetUp() override {
    MarksFiles::SetUp();
    SetTable(IDS_KEY_HOLIDAYTBL, WriteTable("H.TBL", "5/3 1948- Constitution\r\n"));
    SetScheduleFile(1, WriteTable("S.TBL", "1998/5/31 Last_row\r\n1998/6/10 June\r\n"
                                           "1998/6/27 A_long_text_for_the_right_edge\r\n"));
    ASSERT_TRUE(CreateTipWindow());
    for (int i = 0; i < 2; ++i) {
      windows_[i] = CreateOwnChipWindow(i, 100 + 400 * i, 100 + 200 * i, 200, 100);
      std::vector<uint8_t> save = SaveBlock(kViewTwoMonths);
      HostChipInfo info = ChipInfo("1998/5", save);
      ASSERT_EQ(1, InitializeChip(&chips_[i], windows_[i], &info));
      CalcDefaultRect(chips_[i], windows_[i], &size_);
      const UINT kShow = SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE;
      SetWindowPos(windows_[i], HWND_TOP, 0, 0, size_.cx, size_.cy, kShow);
    }
    SetCursorPos(1, 1);
    Pump(50);
  }
  void TearDown() override {
    for (int i = 0; i < 2; ++i) {
      UnInitializeChip(chips_[i], windows_[i]);
      DestroyWindow(windows_[i]);
    }
    DestroyTipWindow();
    MarksFiles::TearDown();
  }
  // Hovers a day of block k on chip i, dx from its cell's centre: the tip's
  // rectangle, which must have the text's size and, for dx >= 0, lie 8 pixels
  // below the cursor.
  RECT Hover(int i, int k, int day, int dx, const char* text, const std::string& what) {
    POINT p = DayPoint(windows_[i], chips_[i], k, day);
    p.x += dx;
    MoveCursor(p, &g_own[i].mouseMoves);
    RECT r = TipRect();
    SIZE size = TipSizeFor(MeasureLines({text}));
    EXPECT_TRUE(TipShown() && r.right - r.left == size.cx && r.bottom - r.top == size.cy) << what << Show(r);
    EXPECT_TRUE(dx < 0 || (r.left == p.x && r.top == p.y + 8)) << what << Show(r);
    return r;
  }
  HWND windows_[2] = {nullptr, nullptr};
  HGLOBAL chips_[2] = {nullptr, nullptr};
  SIZE size_ = {0, 0};
};

TEST_F(TipsDesktop, SameDateOnAnotherChipIsPlacedThere) {
  for (int i : {0, 1, 0}) Hover(i, 0, 3, 0, "Constitution", "3 May on chip " + std::to_string(i));
}

TEST_F(TipsDesktop, RecomputedMarksReadTheFilesAgain) {
  Hover(0, 1, 10, 0, "June", "before the reload");
  WriteTable("S.TBL", "1998/6/10 June,_later\r\n");
  EXPECT_EQ(1, DoDrawExMenu(chips_[0], windows_[0], IDM_RELOAD_TABLES));
  Hover(0, 1, 10, 1, "June, later", "after the reload");

  WriteTable("S.TBL", "1998/6/10 June,_even_later\r\n");
  std::vector<uint8_t> save = SaveBlock(kViewTwoMonths);
  HostChipInfo june = ChipInfo("1998/6", save);
  Update(chips_[0], windows_[0], &june);
  Hover(0, 0, 10, 0, "June, even later", "June shown first");
}

// On a display of several monitors (scripts/monitors.sh, run by the tests
// with TARNIVEL_MONITORS set), on each monitor.
TEST_F(TipsDesktop, KeptOnTheMonitorUnderTheCursor) {
  std::vector<MONITORINFO> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.size() < 2 && getenv("TARNIVEL_MONITORS")) FAIL() << "one monitor where several were set up";
  if (monitors.size() < 2) GTEST_SKIP() << "one monitor";
  ShowWindow(windows_[1], SW_HIDE);
  const UINT kMove = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  for (const MONITORINFO& m : monitors) {
    const RECT& work = m.rcWork;
    SetWindowPos(windows_[0], nullptr, work.right - size_.cx, work.top + 100, 0, 0, kMove);
    // The first move after the tip placed over the cursor held the capture
    // goes to the tip; 1 May is marked in no mask.
    MoveCursor(DayPoint(windows_[0], chips_[0], 0, 1), &g_own[0].mouseMoves);
    RECT r = Hover(0, 1, 27, -1, "A long text for the right edge", "right edge of " + Show(work));
    EXPECT_EQ(work.right - 8, r.right) << Show(work) << Show(r);
    SetWindowPos(windows_[0], nullptr, work.left, work.bottom - size_.cy, 0, 0, kMove);
    r = Hover(0, 0, 31, -1, "Last row", "bottom edge of " + Show(work));
    EXPECT_EQ(DayPoint(windows_[0], chips_[0], 0, 31).y + 8, r.bottom) << Show(work) << Show(r);
  }
}

}  // namespace
