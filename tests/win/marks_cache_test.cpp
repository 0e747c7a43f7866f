// RefreshMarks on a real chip window: what it reads, and its tag window.
#include <stdio.h>

#include "marks_support.h"
#include "plugin/globals.h"
#include "plugin/markcache.h"
#include "today/markfiles.h"

namespace {

class MarksCache : public MarksFiles {
 protected:
  void SetUp() override {
    MarksFiles::SetUp();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = g_hInstance;
    wc.lpszClassName = "TarnivelMarksChip";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, "TarnivelMarksChip", "", WS_POPUP, 0, 0, 200, 150, nullptr,
                              nullptr, g_hInstance, nullptr);
    ASSERT_NE(nullptr, window_);
    chip_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ChipState));
    ASSERT_NE(nullptr, chip_);
    holidays_ = WriteTable("HOLIDAY.TBL", "1/1 1949- New_Year\r\n5/3 1948- Constitution\r\n");
    SetTable(IDS_KEY_HOLIDAYTBL, holidays_);
    schedules_ = WriteTable("S.TBL", "*/5/20 May\r\n*/6/10 June\r\n*/1/7 January\r\n");
    SetScheduleFile(1, schedules_);
  }
  void TearDown() override {
    DestroyWindow(window_);
    GlobalFree(chip_);
    MarksFiles::TearDown();
  }
  // As Update does: the month shown before is passed on.
  LONG Show(int year, int month, uint8_t viewFlags) {
    ChipLock state(chip_);
    uint16_t previousYear = state->year, previousMonth = state->month;
    state->year = (uint16_t)year;
    state->month = (uint8_t)month;
    state->viewFlags = viewFlags;
    LONG opens = g_markFileOpens;
    RefreshMarks(window_, state.get(), previousYear, previousMonth);
    return g_markFileOpens - opens;
  }
  LONG Reload() {
    ChipLock state(chip_);
    LONG opens = g_markFileOpens;
    RefreshMarks(window_, state.get(), 0, 0);
    return g_markFileOpens - opens;
  }
  ChipState Masks() {
    ChipLock state(chip_);
    return *state.get();
  }
  int TagWindows() {
    int n = 0;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      n += GetDlgCtrlID(child) == kTagWindowId;
    return n;
  }

  HWND window_ = nullptr;
  HGLOBAL chip_ = nullptr;
  std::string holidays_, schedules_;
};

}  // namespace

TEST_F(MarksCache, FirstRefreshCreatesTheTagWindow) {
  EXPECT_EQ(2, Show(1998, 5, 0)) << "holiday table and schedule file";
  HWND tag = GetDlgItem(window_, kTagWindowId);
  ASSERT_NE(nullptr, tag);
  char text[32] = "";
  GetWindowTextA(tag, text, sizeof text);
  int handle = 0;
  EXPECT_EQ(1, sscanf(text, "%d", &handle)) << text;
  EXPECT_EQ((int)(INT_PTR)chip_, handle) << "tag text \"" << text << "\"";
  char className[16] = "";
  GetClassNameA(tag, className, sizeof className);
  EXPECT_STREQ("Static", className) << "class names compare without case";
  EXPECT_EQ((LONG)WS_CHILD, GetWindowLongA(tag, GWL_STYLE) & ~(LONG)SS_TYPEMASK) << "hidden child";
  RECT r;
  GetWindowRect(tag, &r);
  EXPECT_EQ(0, r.right - r.left);
  EXPECT_EQ(0, r.bottom - r.top);

  ChipState s = Masks();
  EXPECT_EQ(Bits({3, 4}), s.holidayMask[0]);  // 3 May 1998 is a Sunday
  EXPECT_EQ(Bits({20}), s.scheduleMask[0]);
  EXPECT_EQ(kMaskUnknown, s.holidayMask[1]) << "one month: the second is not computed";
  EXPECT_EQ(kMaskUnknown, s.scheduleMask[1]);

  EXPECT_EQ(0, Show(1998, 5, 0)) << "same month: nothing is read";
  EXPECT_EQ(1, TagWindows());
}

TEST_F(MarksCache, SwitchToTwoMonthsReadsOnlyTheSecond) {
  Show(1998, 3, 0);
  EXPECT_EQ(2, Show(1998, 5, 0));
  // Changed files show which month was read again.
  WriteTable("HOLIDAY.TBL", "5/5 1948- Children\r\n6/1 1948- June_First\r\n");
  WriteTable("S.TBL", "*/*/9 Ninth\r\n");
  EXPECT_EQ(2, Show(1998, 5, kViewTwoMonths));
  ChipState s = Masks();
  EXPECT_EQ(Bits({3, 4}), s.holidayMask[0]) << "May is not read again";
  EXPECT_EQ(Bits({20}), s.scheduleMask[0]);
  EXPECT_EQ(Bits({1}), s.holidayMask[1]);
  EXPECT_EQ(Bits({9}), s.scheduleMask[1]);
  EXPECT_EQ(0, Show(1998, 5, kViewTwoMonths | kViewStacked));

  EXPECT_EQ(2, Reload()) << "a reload reads both months in one pass per table";
  s = Masks();
  EXPECT_EQ(Bits({5}), s.holidayMask[0]);
  EXPECT_EQ(Bits({9}), s.scheduleMask[0]);
}

TEST_F(MarksCache, TwoMonthsAcrossTheYear) {
  EXPECT_EQ(2, Show(1999, 12, kViewTwoMonths));
  ChipState s = Masks();
  EXPECT_EQ(0u, s.holidayMask[0]);
  EXPECT_EQ(Bits({1}), s.holidayMask[1]) << "January 2000";
  EXPECT_EQ(Bits({7}), s.scheduleMask[1]);
  EXPECT_EQ(2, Show(2000, 1, kViewTwoMonths)) << "a new month recomputes both";
  s = Masks();
  EXPECT_EQ(Bits({1}), s.holidayMask[0]);
  EXPECT_EQ(0u, s.holidayMask[1]);
}

TEST_F(MarksCache, TodayUseOffRemovesTheTagAndClearsTheMasks) {
  Show(1998, 3, 0);
  Show(1998, 5, 0);  // index 1 is now uncomputed
  ASSERT_NE(nullptr, GetDlgItem(window_, kTagWindowId));
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagPopupTips);
  EXPECT_EQ(0, Show(1998, 6, 0));
  EXPECT_EQ(0, TagWindows());
  EXPECT_EQ(0, Show(1998, 6, kViewTwoMonths));
  ChipState s = Masks();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(0u, s.holidayMask[i]) << "holidayMask[" << i << "]";
    EXPECT_EQ(0u, s.scheduleMask[i]) << "scheduleMask[" << i << "]";
  }
  EXPECT_EQ(0, Reload());

  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagUseToday);
  EXPECT_EQ(2, Reload());
  EXPECT_EQ(1, TagWindows());
  EXPECT_EQ(Bits({10}), Masks().scheduleMask[0]);
}

TEST_F(MarksCache, TodayUseOnAgainComputesTheSameMonth) {
  Show(1998, 5, 0);
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, 0);
  Show(1998, 5, 0);
  ASSERT_EQ(0u, Masks().holidayMask[0]);
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagUseToday);
  EXPECT_EQ(2, Show(1998, 5, 0)) << "the holiday table and the schedule file are read again";
  ChipState s = Masks();
  EXPECT_EQ(Bits({3, 4}), s.holidayMask[0]);
  EXPECT_EQ(Bits({20}), s.scheduleMask[0]);
  EXPECT_EQ(0, Show(1998, 5, 0)) << "and then kept";
}

// A refresh asks the settings file twice (the flags, then $TodayTemp whole)
// and reads the era table once for the holidays and the schedules; an era
// table that cannot be read leaves both stale, not only the first to try.
TEST_F(MarksCache, OneReadingOfSettingsAndErasServesBothTables) {
  UseSampleEras();
  SetTable(IDS_KEY_HOLIDAYTBL, WriteTable("ERAS.TBL", "5/3 H1- Constitution\r\n"));
  SetScheduleFile(1, WriteTable("R.TBL", "R9/5/20 Era_day\r\n"));
  LONG calls = g_settingsCalls;
  Show(2027, 5, 0);
  EXPECT_EQ(2, g_settingsCalls - calls);
  EXPECT_EQ(1u << 3, Masks().holidayMask[0]);
  EXPECT_EQ(1u << 20, Masks().scheduleMask[0]);
  EXPECT_EQ(0, Masks().staleMarks);

  HANDLE held = CreateFileA((dir_ + "GENGO.TBL").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  Reload();
  EXPECT_EQ(kStaleHoliday | kStaleSchedule, Masks().staleMarks);
  EXPECT_EQ(0u, Masks().scheduleMask[0]) << "R9 read as the year 9";
  CloseHandle(held);
  Show(2027, 5, 0);
  EXPECT_EQ(0, Masks().staleMarks);
  EXPECT_EQ(1u << 20, Masks().scheduleMask[0]);
}
