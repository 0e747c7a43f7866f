// Chip windows, chip states and painted pictures for the month view tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <vector>

#include "month/chipview.h"
#include "month/layout.h"
#include "plugin/chipstate.h"

namespace monthtest {

const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kText = RGB(0, 0, 0);
const COLORREF kToday = RGB(0, 255, 255);
const COLORREF kSunday = RGB(255, 0, 0);
const COLORREF kSaturday = RGB(0, 0, 255);
const COLORREF kHoliday = RGB(0, 160, 0);

inline ChipState MakeState(uint16_t year, uint8_t month, uint8_t today, uint8_t viewFlags) {
  ChipState s;
  memset(&s, 0, sizeof s);
  s.year = year;
  s.month = month;
  s.today = today;
  s.backColor = kBack;
  s.textColor = kText;
  s.todayColor = kToday;
  s.sundayColor = kSunday;
  s.saturdayColor = kSaturday;
  s.holidayColor = kHoliday;
  s.font.lfHeight = -16;
  s.font.lfWeight = FW_NORMAL;
  s.font.lfCharSet = SHIFTJIS_CHARSET;
  s.font.lfQuality = NONANTIALIASED_QUALITY;
  lstrcpyA(s.font.lfFaceName, "IPAGothic");
  s.viewFlags = viewFlags;
  s.scheduleStyle = 0;
  return s;
}

const DWORD kChipStyle = WS_POPUP | WS_BORDER;
const DWORD kChipExStyle = WS_EX_TOOLWINDOW;

// A real chip window and its state in movable global memory.
class TestChip {
 public:
  // clientWidth 0: the window takes the size CalcDefaultRect proposes.
  TestChip(const ChipState& state, int clientWidth = 0, int clientHeight = 0) {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnivelTestChip";
    RegisterClassA(&wc);  // fails harmlessly after the first time
    handle_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ChipState));
    if (ChipState* p = static_cast<ChipState*>(GlobalLock(handle_))) {
      *p = state;
      GlobalUnlock(handle_);
    }
    window_ = CreateWindowExA(kChipExStyle, "TarnivelTestChip", "chip", kChipStyle, 10, 10, 100, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    if (clientWidth > 0) {
      RECT r = {0, 0, clientWidth, clientHeight};
      AdjustWindowRectEx(&r, kChipStyle, FALSE, kChipExStyle);
      SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    } else {
      SIZE size = {0, 0};
      CalcDefaultRect(handle_, window_, &size);
      SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    }
  }
  ~TestChip() {
    DestroyWindow(window_);
    GlobalFree(handle_);
  }
  TestChip(const TestChip&) = delete;
  TestChip& operator=(const TestChip&) = delete;

  HGLOBAL handle() const { return handle_; }
  HWND window() const { return window_; }
  ChipState state() const {
    ChipState s;
    ChipState* p = static_cast<ChipState*>(GlobalLock(handle_));
    s = *p;
    GlobalUnlock(handle_);
    return s;
  }
  RECT client() const {
    RECT r;
    GetClientRect(window_, &r);
    return r;
  }
  // The layout the chip is painted with.
  ChipLayout layout() const {
    ChipState s = state();
    TEXTMETRICA tm;
    memset(&tm, 0, sizeof tm);
    HDC dc = GetDC(window_);
    MeasureChipFont(dc, &s.font, &tm);
    ReleaseDC(window_, dc);
    ChipLayout layout;
    LayoutChipWindow(window_, &s, tm.tmHeight, &layout);
    return layout;
  }

 private:
  HGLOBAL handle_;
  HWND window_;
};

// The chip painted by DrawChip into a 32-bit top-down DIB section.
struct Picture {
  int width = 0, height = 0;
  int drawResult = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB

  COLORREF At(int x, int y) const {
    uint32_t p = pixels[(size_t)y * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(const CellRect& r, COLORREF color) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (x >= 0 && y >= 0 && x < width && y < height && At(x, y) == color) ++n;
    return n;
  }
  // Bounding box of the pixels of a colour inside r; false if there are none.
  bool Ink(const CellRect& r, COLORREF color, CellRect* box) const {
    bool any = false;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        if (x < 0 || y < 0 || x >= width || y >= height || At(x, y) != color) continue;
        if (!any) *box = CellRect{x, y, x + 1, y + 1};
        any = true;
        if (x < box->left) box->left = x;
        if (y < box->top) box->top = y;
        if (x >= box->right) box->right = x + 1;
        if (y >= box->bottom) box->bottom = y + 1;
      }
    return any;
  }
  // Pixels inside r that differ from the colour.
  int Other(const CellRect& r, COLORREF color) const {
    int area = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (x >= 0 && y >= 0 && x < width && y < height) ++area;
    return area - Count(r, color);
  }
};

inline Picture Paint(const TestChip& chip) {
  Picture pic;
  RECT client = chip.client();
  pic.width = client.right;
  pic.height = client.bottom;
  BITMAPINFO info;
  memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pic.width;
  info.bmiHeader.biHeight = -pic.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dc || !bitmap || !bits) {
    ADD_FAILURE() << "no DIB section of " << pic.width << "x" << pic.height;
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    return pic;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  // Grey first, so that an unpainted pixel is told apart from the background.
  memset(bits, 0x80, (size_t)pic.width * pic.height * 4);
  pic.drawResult = DrawChip(chip.handle(), chip.window(), dc);
  GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(bits);
  pic.pixels.assign(p, p + (size_t)pic.width * pic.height);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pic;
}

inline CellRect Cell(const MonthBlockLayout& block, int day) {
  CellRect r = {0, 0, 0, 0};
  DayCellRect(&block, day, &r);
  return r;
}

}  // namespace monthtest
