// A real chip window of two months over sample tables, hovered with the real
// cursor.
#pragma once

#include "tips_support.h"
#include "plugin/lifecycle.h"

namespace tipstest {

const char kHolidays[] =
    "5/3 1948- Constitution\r\n"
    "5/3 1998 Second_name\r\n"
    "5/5 1948- Children\r\n"
    "1/1 1949- New_Year\r\n";

const char kSchedules[] =
    "1998/5/3 *Note Parade\r\n"
    "1998/5/3 Line_one\\nLine_two\r\n"
    "1998/5/14 WWWW\\r\\nW\r\n"
    "1998/5/14 WW\r\n"
    "1998/5/20 R&&D_meeting\r\n"
    "1998/5/31 Last_row\r\n"
    "1998/6/10 June_text\r\n"
    "1998/6/27 A_long_text_for_the_right_edge_of_the_work_area\r\n"
    "1999/1/1 *Jan First_of_January\r\n";

class Tips : public MarksFiles {
 protected:
  void SetUp() override {
    MarksFiles::SetUp();
    SetTable(IDS_KEY_HOLIDAYTBL, WriteTable("HOLIDAY.TBL", kHolidays));
    SetScheduleFile(1, WriteTable("S.TBL", kSchedules));
    ASSERT_TRUE(CreateTipWindow());
    g_own[0] = OwnCounts();
    window_ = CreateOwnChipWindow(0, 100, 100, 200, 100);
    ASSERT_NE(nullptr, window_);
    chip_ = NewChip(window_, "1998/5", kViewTwoMonths);
    ASSERT_NE(nullptr, chip_);
    SIZE size = {0, 0};
    CalcDefaultRect(chip_, window_, &size);
    size_ = size;
    // The cursor is left where the last test put it: away from the new chip.
    SetCursorPos(1, 1);
    // Not activated: the display would wait for an activated window to go
    // when it is destroyed.
    SetWindowPos(window_, HWND_TOP, 100, 100, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Pump(50);
  }
  void TearDown() override {
    for (HWND w : others_) DestroyWindow(w);
    if (chip_) UnInitializeChip(chip_, window_);
    DestroyWindow(window_);
    DestroyTipWindow();
    Pump(20);
    MarksFiles::TearDown();
  }

  HGLOBAL NewChip(HWND window, const char* memo, uint8_t view) {
    std::vector<uint8_t> save = SaveBlock(view);
    HostChipInfo info = ChipInfo(memo, save);
    HGLOBAL chip = nullptr;
    EXPECT_EQ(1, InitializeChip(&chip, window, &info));
    return chip;
  }

  // Screen point in day's cell of block k, moved by dx, dy from its centre.
  POINT Day(int k, int day, int dx = 0, int dy = 0) {
    ChipLock state(chip_);
    TEXTMETRICA tm;
    memset(&tm, 0, sizeof tm);
    HDC dc = GetDC(window_);
    MeasureChipFont(dc, &state->font, &tm);
    ReleaseDC(window_, dc);
    ChipLayout layout;
    LayoutChipWindow(window_, state.get(), tm.tmHeight, &layout);
    CellRect cell = {0, 0, 0, 0};
    EXPECT_TRUE(DayCellRect(&layout.blocks[k], day, &cell)) << "block " << k << " day " << day;
    POINT p = {(cell.left + cell.right) / 2 + dx, (cell.top + cell.bottom) / 2 + dy};
    ClientToScreen(window_, &p);
    return p;
  }
  // A point of the title line: no day.
  POINT Title() {
    POINT p = {8, 3};
    ClientToScreen(window_, &p);
    return p;
  }
  void Hover(POINT p) { MoveCursor(p, &g_own[0].mouseMoves); }
  // Table files opened while hovering at p.
  LONG HoverReads(POINT p) {
    LONG opens = g_markFileOpens;
    Hover(p);
    return g_markFileOpens - opens;
  }
  void ExpectAtCursor(POINT cursor, SIZE size, const char* what) {
    RECT r = TipRect();
    EXPECT_TRUE(TipShown()) << what;
    EXPECT_EQ(cursor.x, r.left) << what << ": tip " << Show(r);
    EXPECT_EQ(cursor.y + 8, r.top) << what << ": tip " << Show(r);
    EXPECT_EQ(size.cx, r.right - r.left) << what << ": tip " << Show(r);
    EXPECT_EQ(size.cy, r.bottom - r.top) << what << ": tip " << Show(r);
  }
  HWND OtherWindow(int x, int y, int width, int height) {
    HWND w = CreateOwnChipWindow(2, x, y, width, height);
    others_.push_back(w);
    return w;
  }

  HWND window_ = nullptr;
  HGLOBAL chip_ = nullptr;
  SIZE size_ = {0, 0};
  std::vector<HWND> others_;
};

const std::vector<std::string> kMay3 = {"Constitution", "Second name", "Note Parade", "Line one", "Line two"};

}  // namespace tipstest
