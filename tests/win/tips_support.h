// Real chip windows with a hooked procedure, the real cursor and the tip
// window, for the hover tip tests.
#pragma once

#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/pump.h"
#include "marks_support.h"
#include "month/chipview.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "plugin/markcache.h"
#include "tips/tips.h"
#include "today/markfiles.h"

namespace tipstest {

// Messages that reached a chip window's own procedure.
struct OwnCounts {
  int mouseMoves = 0;
  int all = 0;
  WPARAM keys = 0;  // of the last mouse move
  bool updateOnPaint = false;  // paints ask for the tip while it is built
  int nestedUpdates = 0;
  int nestedShown = 0;
};

inline OwnCounts g_own[3];

template <int N>
LRESULT CALLBACK OwnChipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ++g_own[N].all;
  if (message == WM_MOUSEMOVE) {
    ++g_own[N].mouseMoves;
    g_own[N].keys = wParam;
  }
  if (message == WM_PAINT && g_own[N].updateOnPaint) {
    ++g_own[N].nestedUpdates;
    g_own[N].nestedShown += UpdateTip(window);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A chip window of class N (each class its own procedure), visible on top.
inline HWND CreateOwnChipWindow(int n, int x, int y, int width, int height) {
  static const WNDPROC kProcs[3] = {OwnChipProc<0>, OwnChipProc<1>, OwnChipProc<2>};
  char name[32];
  snprintf(name, sizeof name, "TarnivelTipsChip%d", n);
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = kProcs[n];
  wc.hInstance = g_hInstance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassA(&wc);  // fails harmlessly after the first time
  return CreateWindowExA(WS_EX_TOOLWINDOW, name, "", WS_POPUP | WS_BORDER, x, y, width, height, nullptr, nullptr,
                         g_hInstance, nullptr);
}

inline WNDPROC ProcOf(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)); }

inline void Pump(int ms) { PumpMessagesFor((DWORD)ms); }

// Moves the real cursor and dispatches until the window under it had the
// mouse move (or a second has passed).
inline void MoveCursor(POINT screen, const int* counter) {
  int before = counter ? *counter : 0;
  SetCursorPos(screen.x, screen.y);
  DWORD start = GetTickCount();
  while ((!counter || *counter == before) && GetTickCount() - start < 1000) Pump(10);
  Pump(30);
}

inline bool TipShown() { return tipWindow && IsWindowVisible(tipWindow); }

inline RECT TipRect() {
  RECT r = {0, 0, 0, 0};
  if (tipWindow) GetWindowRect(tipWindow, &r);
  return r;
}

inline std::string Show(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// The tip's font as it is described: 9 points at the display's dots per
// inch, Shift-JIS, the face named by string 400.
inline HFONT ExpectedTipFont() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  LOGFONTA font;
  memset(&font, 0, sizeof font);
  font.lfHeight = dpi * -9 / 72;
  font.lfCharSet = SHIFTJIS_CHARSET;
  LoadStringA(g_hInstance, 400, font.lfFaceName, sizeof font.lfFaceName);
  return CreateFontIndirectA(&font);
}

// Width and height of lines in the tip font, measured one by one.
inline SIZE MeasureLines(const std::vector<std::string>& lines, std::vector<int>* heights = nullptr) {
  SIZE size = {0, 0};
  HFONT font = ExpectedTipFont();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  for (const std::string& line : lines) {
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, line.c_str(), (int)line.size(), &r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | DT_NOPREFIX);
    if (r.right > size.cx) size.cx = r.right;
    size.cy += r.bottom;
    if (heights) heights->push_back(r.bottom);
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return size;
}

inline SIZE TipSizeFor(SIZE text) {
  SIZE s = {text.cx + 2 * (GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXBORDER)),
            text.cy + 2 * (GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYBORDER))};
  return s;
}

// Saved data of a chip: the current layout with the view flags.
inline std::vector<uint8_t> SaveBlock(uint8_t viewFlags) {
  std::vector<uint8_t> block(4 + kSaveCurrentLength, 0);
  block[0] = kSaveCurrentLength;
  block[4 + kSaveViewFlags] = viewFlags;
  block[4 + kSaveScheduleStyle] = 1;
  return block;
}

inline HostChipInfo ChipInfo(const char* memo, const std::vector<uint8_t>& save) {
  HostChipInfo info;
  memset(&info, 0, sizeof info);
  info.memoText = memo;
  info.textColor = RGB(0, 0, 0);
  info.backColor = RGB(255, 255, 255);
  info.font.lfHeight = -16;
  info.font.lfWeight = FW_NORMAL;
  info.font.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpyA(info.font.lfFaceName, "IPAGothic");
  info.saveData = save.data();
  return info;
}

// The tag window's text as a handle; null when there is none.
inline HGLOBAL TagHandle(HWND chipWindow) {
  HWND tag = GetDlgItem(chipWindow, kTagWindowId);
  if (!tag) return nullptr;
  char text[32] = "";
  GetWindowTextA(tag, text, sizeof text);
  return (HGLOBAL)(INT_PTR)atoi(text);
}

}  // namespace tipstest
