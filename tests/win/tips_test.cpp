// Hover tips on real chip windows: where the tip shows, its size and lines, and
// which day it names.
#include "tips_fixture.h"

using namespace tipstest;

namespace {

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

}  // namespace
