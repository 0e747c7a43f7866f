// Tips on a desktop of several chips and monitors: the text belongs to the
// chip whose hover built it and to the files it was read from, and the tip
// stays on the monitor under the cursor.
#include "tips_support.h"

#include <stdlib.h>

using namespace tipstest;

namespace {

#define kLongText "A_long_text_for_the_right_edge_of_the_work_area"

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
  MONITORINFO info;
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(param)->push_back(info.rcWork);
  return TRUE;
}

class TipsDesktop : public MarksFiles {
 protected:
  void SetUp() override {
    MarksFiles::SetUp();
    SetTable(IDS_KEY_HOLIDAYTBL, WriteTable("HOLIDAY.TBL", "5/3 1948- Constitution\r\n"));
    SetScheduleFile(1, WriteTable("S.TBL", "1998/5/31 Last_row\r\n1998/6/10 June\r\n1998/6/27 " kLongText "\r\n"));
    ASSERT_TRUE(CreateTipWindow());
    for (int i = 0; i < 2; ++i) {
      g_own[i] = OwnCounts();
      windows_[i] = CreateOwnChipWindow(i, 0, 0, 200, 100);
      ASSERT_NE(nullptr, windows_[i]);
      chips_[i] = NewChip(windows_[i], "1998/5");
      ASSERT_NE(nullptr, chips_[i]);
      CalcDefaultRect(chips_[i], windows_[i], &size_);
      SetWindowPos(windows_[i], HWND_TOP, 100 + 400 * i, 100 + 200 * i, size_.cx, size_.cy,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    SetCursorPos(1, 1);
    Pump(50);
  }
  void TearDown() override {
    for (int i = 0; i < 2; ++i) {
      if (chips_[i]) UnInitializeChip(chips_[i], windows_[i]);
      DestroyWindow(windows_[i]);
    }
    DestroyTipWindow();
    Pump(20);
    MarksFiles::TearDown();
  }

  HGLOBAL NewChip(HWND window, const char* memo) {
    std::vector<uint8_t> save = SaveBlock(kViewTwoMonths);
    HostChipInfo info = ChipInfo(memo, save);
    HGLOBAL chip = nullptr;
    EXPECT_EQ(1, InitializeChip(&chip, window, &info));
    return chip;
  }
  // Hovers day of block k on chip i, moved by dx from the cell's centre.
  POINT Hover(int i, int k, int day, int dx = 0) {
    POINT p = DayPoint(windows_[i], chips_[i], k, day);
    p.x += dx;
    MoveCursor(p, &g_own[i].mouseMoves);
    return p;
  }
  void ExpectTipAt(POINT cursor, const std::vector<std::string>& lines, const std::string& what) {
    RECT r = TipRect();
    SIZE size = TipSizeFor(MeasureLines(lines));
    EXPECT_TRUE(TipShown()) << what;
    EXPECT_EQ(cursor.x, r.left) << what << ": tip " << Show(r);
    EXPECT_EQ(cursor.y + 8, r.top) << what << ": tip " << Show(r);
    EXPECT_EQ(size.cx, r.right - r.left) << what << ": tip " << Show(r);
    EXPECT_EQ(size.cy, r.bottom - r.top) << what << ": tip " << Show(r);
  }

  void MoveChip(int i, int x, int y) {
    SetWindowPos(windows_[i], nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(30);
  }

  SIZE size_ = {0, 0};
  HWND windows_[2] = {nullptr, nullptr};
  HGLOBAL chips_[2] = {nullptr, nullptr};
};

TEST_F(TipsDesktop, SameDateOnAnotherChipIsPlacedThere) {
  POINT first = Hover(0, 0, 3);
  ExpectTipAt(first, {"Constitution"}, "3 May on the first chip");
  POINT second = Hover(1, 0, 3);
  ExpectTipAt(second, {"Constitution"}, "3 May on the second chip");
  POINT back = Hover(0, 0, 3);
  ExpectTipAt(back, {"Constitution"}, "3 May on the first chip again");
}

TEST_F(TipsDesktop, RecomputedMarksReadTheFilesAgain) {
  struct {
    const char* what;
    const char* memo;  // the month shown after the change
    int block;         // where 10 June lies then
    UINT command;      // 0: none
  } cases[] = {
      {"reload command", "1998/5", 1, IDM_RELOAD_TABLES},
      {"another month", "1998/6", 0, 0},
  };
  for (auto& c : cases) {
    std::vector<uint8_t> save = SaveBlock(kViewTwoMonths);
    HostChipInfo may = ChipInfo("1998/5", save);
    Update(chips_[0], windows_[0], &may);
    WriteTable("S.TBL", "1998/6/10 June\r\n");
    DoDrawExMenu(chips_[0], windows_[0], IDM_RELOAD_TABLES);
    Hover(0, 0, 1);
    ExpectTipAt(Hover(0, 1, 10), {"June"}, c.what + std::string(": before"));

    WriteTable("S.TBL", "1998/6/10 June,_moved_to_the_afternoon\r\n");
    HostChipInfo after = ChipInfo(c.memo, save);
    Update(chips_[0], windows_[0], &after);
    if (c.command) {
      EXPECT_EQ(1, DoDrawExMenu(chips_[0], windows_[0], c.command));
    }
    Pump(30);
    ExpectTipAt(Hover(0, c.block, 10, -3), {"June, moved to the afternoon"}, c.what);
  }
}

// Runs on a display of several monitors (scripts/monitors.sh, which the
// tests run with TARNIVEL_MONITORS set); with one monitor the tips tests of
// the work area's edges cover it.
TEST_F(TipsDesktop, KeptOnTheMonitorUnderTheCursor) {
  std::vector<RECT> works;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&works));
  if (works.size() < 2) {
    if (getenv("TARNIVEL_MONITORS")) FAIL() << "one monitor where several were set up";
    GTEST_SKIP() << "one monitor";
  }
  ShowWindow(windows_[1], SW_HIDE);
  SIZE tip = TipSizeFor(MeasureLines({"A long text for the right edge of the work area"}));
  SIZE bottom = TipSizeFor(MeasureLines({"Last row"}));
  for (const RECT& work : works) {
    // June 27, a Saturday, lies in the rightmost column.
    MoveChip(0, work.right - size_.cx, work.top + 100);
    Hover(0, 0, 1);
    POINT p = Hover(0, 1, 27);
    ASSERT_GT(p.x + tip.cx, work.right) << "the tip would cross the right edge";
    RECT r = TipRect();
    EXPECT_TRUE(TipShown());
    EXPECT_EQ(work.right - tip.cx - 8, r.left) << "right edge of " << Show(work) << ": tip " << Show(r);
    EXPECT_EQ(p.y + 8, r.top) << "right edge of " << Show(work) << ": tip " << Show(r);

    // May 31 lies in the sixth week row.
    MoveChip(0, work.left + 10, work.bottom - size_.cy);
    Hover(0, 0, 1);
    p = Hover(0, 0, 31);
    ASSERT_GT(p.y + 8 + bottom.cy, work.bottom) << "the tip would cross the bottom edge";
    r = TipRect();
    EXPECT_TRUE(TipShown());
    EXPECT_EQ(p.x, r.left) << "bottom edge of " << Show(work) << ": tip " << Show(r);
    EXPECT_EQ(p.y + 8, r.bottom) << "bottom edge of " << Show(work) << ": tip " << Show(r);
  }
}

}  // namespace
