// Hover tips as chips come and go, and the hook on each chip window.
#include "tips_fixture.h"

using namespace tipstest;

namespace {

TEST_F(Tips, RemovedChipLeavesTheTipAndNoHandle) {
  Hover(Day(0, 3));
  ASSERT_TRUE(TipShown());
  UnInitializeChip(chip_, window_);
  chip_ = nullptr;
  Pump(20);
  EXPECT_TRUE(TipShown()) << "the tip stays until a hiding event";
  EXPECT_EQ(nullptr, GetDlgItem(window_, kTagWindowId)) << "no tag names the freed chip";
  EXPECT_EQ((WNDPROC)OwnChipProc<0>, ProcOf(window_)) << "the window has its own procedure again";
}

TEST_F(Tips, TagTextNamingNoChipShowsNothing) {
  HWND tag = GetDlgItem(window_, kTagWindowId);
  ASSERT_NE(nullptr, tag);
  for (const char* text : {"", "chip", "12", "-1", "99999999999999"}) {
    SetWindowTextA(tag, text);
    Hover(Day(0, 3, 0, text[0] ? 1 : -1));
    EXPECT_FALSE(TipShown()) << "tag text \"" << text << "\"";
    Hover(Title());
  }
}

TEST_F(Tips, ReusedWindowNamesTheNewChip) {
  // The host frees the chip and gives its window to a new one.
  UnInitializeChip(chip_, window_);
  chip_ = NewChip(window_, "1998/5", kViewTwoMonths);
  EXPECT_EQ(chip_, TagHandle(window_));
  LONG opens = g_markFileOpens;
  Hover(Day(0, 20));
  EXPECT_TRUE(TipShown());
  EXPECT_EQ(1, g_markFileOpens - opens);

  // A new chip while the old one still lives in the window.
  HGLOBAL old = chip_;
  chip_ = NewChip(window_, "1998/6", kViewTwoMonths);
  EXPECT_EQ(chip_, TagHandle(window_)) << "the tag names the newest chip";
  EXPECT_EQ((WNDPROC)ChipWindowProc, ProcOf(window_));
  int all = g_own[0].all;
  SendMessageA(window_, WM_NULL, 0, 0);
  EXPECT_EQ(1, g_own[0].all - all) << "hooked once, not chained to itself";
  Hover(Day(0, 10));  // June 10 in the new chip's first month
  EXPECT_TRUE(TipShown()) << "the tip reads the new chip's state";
  UnInitializeChip(old, window_);
  EXPECT_EQ(chip_, TagHandle(window_)) << "removing the old chip leaves the new one's tag";
}

TEST_F(Tips, FlagsWithoutTodayFilesHookButShowNothing) {
  DestroyTipWindow();
  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagPopupTips);
  AttachLibrary(g_hInstance);
  EXPECT_EQ(nullptr, tipWindow) << "no tip window without bit 0";
  HWND window = CreateOwnChipWindow(1, 100, 400, 200, 100);
  g_own[1] = OwnCounts();
  HGLOBAL chip = NewChip(window, "1998/5", 0);
  SIZE size = {0, 0};
  CalcDefaultRect(chip, window, &size);
  SetWindowPos(window, HWND_TOP, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Pump(30);
  EXPECT_EQ((WNDPROC)ChipWindowProc, ProcOf(window)) << "bit 1 hooks the chip window";
  EXPECT_EQ(nullptr, GetDlgItem(window, kTagWindowId));
  RECT r;
  GetWindowRect(window, &r);
  MoveCursor(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2 + 10}, &g_own[1].mouseMoves);
  EXPECT_GT(g_own[1].mouseMoves, 0) << "messages reach the window's own procedure";
  EXPECT_EQ(nullptr, FindWindowA("TarDxlTipWindow", nullptr));
  UnInitializeChip(chip, window);
  EXPECT_EQ((WNDPROC)OwnChipProc<1>, ProcOf(window));
  DestroyWindow(window);
  DetachLibrary();

  WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault);
  AttachLibrary(g_hInstance);
  EXPECT_NE(nullptr, tipWindow) << "bits 0 and 1: the tip window exists, hidden";
  EXPECT_FALSE(TipShown());
  DetachLibrary();
  EXPECT_EQ(nullptr, tipWindow);
  WNDCLASSA wc;
  EXPECT_FALSE(GetClassInfoA(g_hInstance, "TarDxlTipWindow", &wc)) << "nothing is left registered";
}

TEST(TipsHook, EachWindowKeepsItsOwnProcedure) {
  HWND a = CreateOwnChipWindow(0, 0, 0, 50, 50);
  HWND b = CreateOwnChipWindow(1, 0, 0, 50, 50);
  HWND c = CreateOwnChipWindow(2, 0, 0, 50, 50);
  HWND same = CreateOwnChipWindow(0, 0, 0, 50, 50);
  for (HWND w : {a, b, same}) EXPECT_EQ(1, HookChipWindow(w));
  for (HWND w : {a, b, same}) EXPECT_EQ((WNDPROC)ChipWindowProc, ProcOf(w));
  EXPECT_EQ(1, HookChipWindow(a)) << "hooked already";

  const HWND windows[] = {a, b, same};
  const int owner[] = {0, 1, 0};
  for (int i = 0; i < 3; ++i) {
    OwnCounts before[3] = {g_own[0], g_own[1], g_own[2]};
    SendMessageA(windows[i], WM_NULL, 0, 0);
    for (int n = 0; n < 3; ++n)
      EXPECT_EQ(n == owner[i] ? 1 : 0, g_own[n].all - before[n].all)
          << "window " << i << " message counted by procedure " << n;
  }

  EXPECT_EQ(1, UnhookChipWindow(c)) << "never hooked";
  EXPECT_EQ((WNDPROC)OwnChipProc<2>, ProcOf(c));
  EXPECT_EQ(1, UnhookChipWindow(b));
  EXPECT_EQ((WNDPROC)OwnChipProc<1>, ProcOf(b));
  EXPECT_EQ(1, UnhookChipWindow(same));
  EXPECT_EQ((WNDPROC)OwnChipProc<0>, ProcOf(same));
  EXPECT_EQ(1, UnhookChipWindow(b)) << "unhooked already";
  EXPECT_EQ((WNDPROC)OwnChipProc<1>, ProcOf(b));

  // Subclassed again after the hook: the later procedure keeps its place.
  static WNDPROC below = nullptr;
  static int passed = 0;
  struct Later {
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
      ++passed;
      return CallWindowProcA(below, w, m, wp, lp);
    }
  };
  below = (WNDPROC)SetWindowLongPtrA(a, GWLP_WNDPROC, (LONG_PTR)Later::Proc);
  EXPECT_EQ(0, UnhookChipWindow(a));
  EXPECT_EQ((WNDPROC)Later::Proc, ProcOf(a));
  int own = g_own[0].all;
  SendMessageA(a, WM_NULL, 0, 0);
  EXPECT_EQ(1, passed);
  EXPECT_EQ(1, g_own[0].all - own) << "through the hook to the window's own procedure";
  for (HWND w : {a, b, c, same}) DestroyWindow(w);
}

}  // namespace
