// Hover tips and what else reaches the chip window: keys, activation, covering
// windows, the cursor in the tip, paints.
#include "tips_fixture.h"

using namespace tipstest;

namespace {

TEST_F(Tips, KeyStateMovesNeitherUpdateNorHide) {
  POINT may20 = Day(0, 20);
  Hover(may20);
  ASSERT_TRUE(TipShown());
  RECT shown = TipRect();
  const struct {
    WORD key;
    WPARAM bit;
    const char* name;
  } keys[] = {{VK_SHIFT, MK_SHIFT, "Shift"}, {VK_CONTROL, MK_CONTROL, "Ctrl"}};
  for (const auto& k : keys) {
    // The key goes down again for every move: the display's own key state
    // lets it go after the first.
    auto hoverHolding = [&](POINT p) {
      INPUT in;
      memset(&in, 0, sizeof in);
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = k.key;
      SendInput(1, &in, sizeof in);
      Pump(20);
      Hover(p);
      EXPECT_EQ(k.bit, g_own[0].keys & k.bit) << k.name << " in the mouse move";
      in.ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(1, &in, sizeof in);
      Pump(20);
    };
    LONG opens = g_markFileOpens;
    hoverHolding(Day(0, 12));  // unmarked: would hide
    EXPECT_TRUE(TipShown()) << k.name << " held over an unmarked day";
    hoverHolding(Day(0, 3));  // marked: would rebuild
    RECT r = TipRect();
    EXPECT_TRUE(EqualRect(&shown, &r)) << k.name << ": " << Show(shown) << " then " << Show(r);
    EXPECT_EQ(0, g_markFileOpens - opens) << k.name;
    hoverHolding(Title());
    EXPECT_TRUE(TipShown()) << k.name << " held over no day";
  }
  Hover(Day(0, 12));
  EXPECT_FALSE(TipShown()) << "without keys the unmarked day hides the tip";
}

TEST_F(Tips, ActivationChangesHide) {
  SetActiveWindow(window_);
  Pump(30);
  Hover(Day(0, 20));
  ASSERT_TRUE(TipShown());
  HWND other = OtherWindow(900, 700, 60, 40);
  SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetActiveWindow(other);
  Pump(30);
  EXPECT_FALSE(TipShown()) << "the chip was deactivated";

  Hover(Day(0, 3));
  ASSERT_TRUE(TipShown());
  SetActiveWindow(window_);
  Pump(30);
  EXPECT_FALSE(TipShown()) << "the chip was activated";
}

TEST_F(Tips, CoveredChipShowsNothingUntilTheTipIsUp) {
  RECT chip;
  GetWindowRect(window_, &chip);
  // Over the bottom right corner of the second month, away from the days used.
  HWND cover = OtherWindow(chip.right - 30, chip.bottom - 20, 80, 60);
  SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Pump(30);
  EXPECT_EQ(0, HoverReads(Day(0, 20)));
  EXPECT_FALSE(TipShown()) << "a window above overlaps the chip";

  ShowWindow(cover, SW_HIDE);
  Hover(Day(0, 3));
  ASSERT_TRUE(TipShown());
  SetWindowPos(cover, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Pump(30);
  POINT june10 = Day(1, 10);
  EXPECT_EQ(1, HoverReads(june10)) << "a visible tip follows the days";
  ExpectAtCursor(june10, TipSizeFor(MeasureLines({"June text"})), "10 June while covered");
}

TEST_F(Tips, CursorIntoTheTipTakesTheCaptureAndLeavingHides) {
  Hover(Day(0, 20));
  ASSERT_TRUE(TipShown());
  RECT r = TipRect();
  POINT inside = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  MoveCursor(inside, nullptr);
  EXPECT_EQ(tipWindow, GetCapture());
  EXPECT_TRUE(TipShown()) << "inside the tip";
  MoveCursor(POINT{inside.x + 2, inside.y + 1}, nullptr);
  EXPECT_TRUE(TipShown()) << "still inside";
  MoveCursor(POINT{r.right + 40, r.bottom + 40}, nullptr);
  EXPECT_FALSE(TipShown()) << "left the tip's rectangle";
  EXPECT_EQ(nullptr, GetCapture());

  // A button pressed on the tip hides it as well.
  Hover(Day(0, 3));
  ASSERT_TRUE(TipShown());
  r = TipRect();
  MoveCursor(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, nullptr);
  ASSERT_EQ(tipWindow, GetCapture());
  INPUT in[2];
  memset(in, 0, sizeof in);
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, in, sizeof in[0]);
  Pump(50);
  EXPECT_FALSE(TipShown()) << "a button on the tip";
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(Tips, PaintsDispatchedWhileBuildingDoNotUpdateAgain) {
  g_own[0].updateOnPaint = true;
  POINT p = Day(0, 3);
  SetCursorPos(p.x, p.y);
  InvalidateRect(window_, nullptr, TRUE);
  LONG opens = g_markFileOpens;
  EXPECT_EQ(1, UpdateTip(window_));
  EXPECT_EQ(2, g_markFileOpens - opens) << "one build: holiday table and schedule file";
  EXPECT_GT(g_own[0].nestedUpdates, 0) << "the chip was painted during the build";
  EXPECT_EQ(0, g_own[0].nestedShown) << "an update within the build answers 0";
  g_own[0].updateOnPaint = false;
  RECT r = TipRect();
  SIZE size = TipSizeFor(MeasureLines(kMay3));
  EXPECT_EQ(size.cx, r.right - r.left);
  EXPECT_EQ(size.cy, r.bottom - r.top);
}

}  // namespace
