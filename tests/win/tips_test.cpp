// Hover tips on real chip windows: the real cursor, real mouse messages and
// the tip window they show, move and hide.
#include "tips_support.h"

#include "plugin/lifecycle.h"

using namespace tipstest;

namespace {

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

}  // namespace

TEST_F(Tips, WindowClassStylesAndFont) {
  WNDCLASSA wc;
  ASSERT_TRUE(GetClassInfoA(g_hInstance, "TarDxlTipWindow", &wc));
  EXPECT_EQ((UINT)(CS_HREDRAW | CS_VREDRAW), wc.style);
  EXPECT_EQ((WNDPROC)TipWindowProc, wc.lpfnWndProc);
  EXPECT_EQ(0, wc.cbClsExtra + wc.cbWndExtra);
  EXPECT_EQ((HBRUSH)25, wc.hbrBackground);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);
  EXPECT_EQ(nullptr, wc.hIcon);
  EXPECT_EQ(nullptr, wc.lpszMenuName);

  LONG style = GetWindowLongA(tipWindow, GWL_STYLE);
  EXPECT_EQ((LONG)(WS_POPUP | WS_DISABLED | WS_BORDER), style & ~(LONG)WS_CLIPSIBLINGS) << std::hex << style;
  EXPECT_EQ((LONG)(WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
            GetWindowLongA(tipWindow, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_APPWINDOW));
  EXPECT_EQ(nullptr, GetParent(tipWindow));
  EXPECT_EQ(nullptr, GetWindow(tipWindow, GW_OWNER));
  EXPECT_FALSE(TipShown());

  LOGFONTA font, expected;
  HFONT expectedFont = ExpectedTipFont();
  ASSERT_TRUE(GetObjectA((HFONT)GetWindowLongPtrA(tipWindow, GWLP_USERDATA), sizeof font, &font));
  GetObjectA(expectedFont, sizeof expected, &expected);
  DeleteObject(expectedFont);
  EXPECT_EQ(expected.lfHeight, font.lfHeight);
  EXPECT_EQ(SHIFTJIS_CHARSET, font.lfCharSet);
  EXPECT_EQ(0, font.lfWeight);
  EXPECT_STREQ("\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", font.lfFaceName);

  HWND first = tipWindow;
  EXPECT_EQ(1, CreateTipWindow()) << "a second creation keeps the window";
  EXPECT_EQ(first, tipWindow);
}

TEST_F(Tips, ShownBelowTheCursorAndSizedForTheText) {
  POINT p = Day(0, 3);
  EXPECT_EQ(2, HoverReads(p)) << "holiday table and schedule file";
  ExpectAtCursor(p, TipSizeFor(MeasureLines(kMay3)), "3 May: two names and two texts, one on two lines");
  EXPECT_GT(g_own[0].mouseMoves, 0) << "the chip's own procedure gets the moves";

  // Within the same day the tip stays where it was placed, and nothing is read.
  RECT before = TipRect();
  POINT q = Day(0, 3, 3, -2);
  EXPECT_EQ(0, HoverReads(q));
  RECT after = TipRect();
  EXPECT_TRUE(TipShown());
  EXPECT_TRUE(EqualRect(&before, &after)) << Show(before) << " then " << Show(after);

  // After the chip has moved, the same day brings the tip to the cursor.
  // Up and left, so that the day's new place is not under the tip.
  SetWindowPos(window_, nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(30);
  EXPECT_TRUE(TipShown()) << "moving the chip hides nothing";
  POINT moved = Day(0, 3);
  EXPECT_EQ(0, HoverReads(moved));
  ExpectAtCursor(moved, TipSizeFor(MeasureLines(kMay3)), "same day after the chip moved");
  // Only once: the next move within the day leaves it.
  before = TipRect();
  Hover(Day(0, 3, -3, 2));
  after = TipRect();
  EXPECT_TRUE(EqualRect(&before, &after)) << Show(before) << " then " << Show(after);
}

TEST_F(Tips, AnotherDayRebuildsAndNoDayHides) {
  POINT may20 = Day(0, 20);
  EXPECT_EQ(1, HoverReads(may20)) << "a schedule day only: the holiday table is not read";
  // Measured as it is painted: "&&" is two characters, not an escaped prefix.
  ExpectAtCursor(may20, TipSizeFor(MeasureLines({"R&&D meeting"})), "20 May");

  POINT may3 = Day(0, 3);  // above and left: the cursor stays off the tip
  EXPECT_EQ(2, HoverReads(may3));
  ExpectAtCursor(may3, TipSizeFor(MeasureLines(kMay3)), "then 3 May");

  EXPECT_EQ(0, HoverReads(Title()));
  EXPECT_FALSE(TipShown()) << "a point that is no day";
  EXPECT_EQ(0, HoverReads(may3)) << "the text the tip holds is shown again";
  ExpectAtCursor(may3, TipSizeFor(MeasureLines(kMay3)), "3 May again");

  // An unmarked day reads no file, hides the tip and forgets the text.
  EXPECT_EQ(0, HoverReads(Day(0, 2)));
  EXPECT_FALSE(TipShown()) << "2 May is marked in no mask";
  EXPECT_EQ(2, HoverReads(may3)) << "3 May is built again";
  EXPECT_TRUE(TipShown());
}

TEST_F(Tips, SecondMonthUsesTheSecondMasks) {
  POINT june10 = Day(1, 10);
  EXPECT_EQ(1, HoverReads(june10));
  ExpectAtCursor(june10, TipSizeFor(MeasureLines({"June text"})), "10 June");
  // 3 May is marked, 3 June is not.
  EXPECT_EQ(0, HoverReads(Day(1, 3)));
  EXPECT_FALSE(TipShown());

  // December followed by January of the next year.
  std::vector<uint8_t> save = SaveBlock(kViewTwoMonths);
  HostChipInfo info = ChipInfo("1998/12", save);
  Update(chip_, window_, &info);
  Pump(30);
  POINT january1 = Day(1, 1);
  EXPECT_EQ(2, HoverReads(january1));
  ExpectAtCursor(january1, TipSizeFor(MeasureLines({"New Year", "Jan First of January"})), "1 January 1999");
}

TEST_F(Tips, LineBreaksPaintTheMeasuredPiecesInOrder) {
  // "WWWW" CR LF "W", then "WW": the pair leaves an empty piece.
  std::vector<int> heights;
  SIZE text = MeasureLines({"WWWW", "W", "", "WW"}, &heights);
  POINT p = Day(0, 14);
  Hover(p);
  ExpectAtCursor(p, TipSizeFor(text), "14 May");
  ASSERT_TRUE(TipShown());
  UpdateWindow(tipWindow);
  Pump(30);

  RECT client;
  GetClientRect(tipWindow, &client);
  const int w = client.right, h = client.bottom;
  BITMAPINFO bi;
  memset(&bi, 0, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(bitmap && bits);
  HGDIOBJ old = SelectObject(mem, bitmap);
  HDC dc = GetDC(tipWindow);
  BitBlt(mem, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  ReleaseDC(tipWindow, dc);
  GdiFlush();
  const uint32_t* px = static_cast<const uint32_t*>(bits);
  COLORREF back = GetSysColor(COLOR_INFOBK);
  uint32_t backPixel = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
  // Rightmost ink of each measured band.
  std::vector<int> rightmost;
  int top = GetSystemMetrics(SM_CYFRAME);
  for (int band : heights) {
    int right = -1;
    for (int y = top; y < top + band && y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((px[y * w + x] & 0xFFFFFF) != backPixel && x > right) right = x;
    rightmost.push_back(right);
    top += band;
  }
  SelectObject(mem, old);
  DeleteObject(bitmap);
  DeleteDC(mem);
  ASSERT_EQ(4u, rightmost.size());
  EXPECT_GT(rightmost[0], rightmost[3]) << "WWWW is wider than WW";
  EXPECT_GT(rightmost[3], rightmost[1]) << "WW is wider than W";
  EXPECT_GT(rightmost[1], 0) << "W is painted";
  EXPECT_EQ(-1, rightmost[2]) << "the empty piece stays blank";
}

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

TEST_F(Tips, ClampedAtTheRightAndBottomOfTheWorkArea) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  SIZE right = TipSizeFor(MeasureLines({"A long text for the right edge of the work area"}));
  SetWindowPos(window_, nullptr, work.right - size_.cx, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(30);
  POINT june27 = Day(1, 27);  // a Saturday: the rightmost column
  ASSERT_GT(june27.x + right.cx, work.right) << "the tip would cross the right edge";
  Hover(june27);
  RECT r = TipRect();
  EXPECT_TRUE(TipShown());
  EXPECT_EQ(work.right - right.cx - 8, r.left) << Show(r) << " in " << Show(work);
  EXPECT_EQ(june27.y + 8, r.top) << Show(r);
  EXPECT_EQ(right.cx, r.right - r.left);

  Hover(Title());
  SetWindowPos(window_, nullptr, 100, work.bottom - size_.cy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(30);
  SIZE bottom = TipSizeFor(MeasureLines({"Last row"}));
  POINT may31 = Day(0, 31);  // the sixth week row
  ASSERT_GT(may31.y + 8 + bottom.cy, work.bottom) << "the tip would cross the bottom edge";
  Hover(may31);
  r = TipRect();
  EXPECT_TRUE(TipShown());
  EXPECT_EQ(may31.x, r.left) << Show(r);
  EXPECT_EQ(may31.y + 8, r.bottom) << "moved up by its height: " << Show(r) << " in " << Show(work);
  EXPECT_EQ(bottom.cy, r.bottom - r.top);
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
