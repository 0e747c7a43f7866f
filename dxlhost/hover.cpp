#include "dxlhost/hover.h"

#include <stdio.h>
#include <string.h>

#include "dxlhost/capture.h"
#include "host/pump.h"
#include "month/dates.h"
#include "month/layout.h"

namespace {

BOOL CALLBACK FindTipProc(HWND window, LPARAM found) {
  char name[32];
  if (GetClassNameA(window, name, sizeof name) && !strcmp(name, "TarDxlTipWindow") && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool ParseHoverDate(const char* text, HoverDate* date) {
  char sep1, sep2, extra;
  if (sscanf(text, "%d%c%d%c%d%c", &date->year, &sep1, &date->month, &sep2, &date->day, &extra) != 5) return false;
  if ((sep1 != '/' && sep1 != '-') || sep2 != sep1) return false;
  return date->year >= 1 && date->year <= 9999 && date->month >= 1 && date->month <= 12 && date->day >= 1 &&
         date->day <= DaysInMonth((uint16_t)date->year, (uint16_t)date->month);
}

bool FindDayOnScreen(const HostChip* chip, const HoverDate& date, POINT* point) {
  HostChipPeek peek;
  RECT client;
  if (!HostPeekChip(chip->chip, &peek) || !GetClientRect(chip->window, &client)) return false;
  // The library lays the chip out by its font's height on the window.
  TEXTMETRICA tm;
  memset(&tm, 0, sizeof tm);
  HDC dc = GetDC(chip->window);
  HFONT font = CreateFontIndirectA(&peek.font);
  HGDIOBJ previous = SelectObject(dc, font);
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(chip->window, dc);
  ChipMetrics metrics = {client.right, client.bottom, GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME),
                         tm.tmHeight};
  ChipLayout layout;
  LayoutChip(&metrics, peek.year, peek.month, peek.viewFlags, &layout);
  for (int k = 0; k < layout.blockCount; ++k) {
    const MonthBlockLayout& block = layout.blocks[k];
    CellRect cell;
    if (!block.shown || block.year != date.year || block.month != date.month ||
        !DayCellRect(&block, date.day, &cell))
      continue;
    point->x = (cell.left + cell.right) / 2;
    point->y = (cell.top + cell.bottom) / 2;
    return ClientToScreen(chip->window, point) != 0;
  }
  return false;
}

HWND FindShownTip() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTipProc, reinterpret_cast<LPARAM>(&found));
  return found;
}

bool HoverAndCapture(const HostChip* chip, const HoverDate& date, int x, int y, int* width, int* height,
                     std::vector<uint8_t>* rgb, const char** why) {
  // Away first, so that reaching the day is a move onto the chip.
  SetCursorPos(0, 0);
  SetWindowPos(chip->window, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  UpdateWindow(chip->window);
  PumpMessagesFor(100);
  POINT day;
  if (!FindDayOnScreen(chip, date, &day)) return *why = "the chip does not show that day", false;
  SetCursorPos(day.x, day.y);
  HWND tip = nullptr;
  for (DWORD start = GetTickCount(); !tip && GetTickCount() - start < 3000;) {
    PumpMessagesFor(20);
    tip = FindShownTip();
  }
  if (!tip) return *why = "the library showed no tip there", false;
  UpdateWindow(tip);
  // The display shows what was painted once the loop has run a little.
  PumpMessagesFor(300);

  RECT chipRect, tipRect, both;
  GetWindowRect(chip->window, &chipRect);
  GetWindowRect(tip, &tipRect);
  UnionRect(&both, &chipRect, &tipRect);
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&both, &both, &screen);
  if (!CaptureScreen(both, width, height, rgb)) return *why = "the screen could not be read", false;
  for (int py = 0; py < *height; ++py)
    for (int px = 0; px < *width; ++px) {
      POINT at = {both.left + px, both.top + py};
      if (PtInRect(&chipRect, at) || PtInRect(&tipRect, at)) continue;
      memset(&(*rgb)[((size_t)py * *width + px) * 3], 0xFF, 3);
    }
  return true;
}
