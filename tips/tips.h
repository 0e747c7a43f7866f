// Hover tips: one tip window for the process, and a hook on each chip window
// that shows the hovered day's holiday names and schedule texts in it.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "month/dates.h"
#include "plugin/screendpi.h"

struct TipDate {
  uint16_t year, month, day;
};

// The tip window; null while it does not exist.
extern HWND tipWindow;
// The date whose text the tip window holds; all 0 when none.
extern TipDate lastTipDate;
// The chip window whose hover built that text.
extern HWND lastTipChip;

// Forgets the text the tip holds, so that the next hover reads the files
// again: after the marks were computed afresh it may be out of date.
void ForgetTipText();

int CreateTipWindow();
void DestroyTipWindow();
// The tip's font for a screen of that DPI; the caller deletes it.
HFONT CreateTipFontFor(const ScreenDpi& dpi);
LRESULT CALLBACK TipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int HookChipWindow(HWND chipWindow);
int UnhookChipWindow(HWND chipWindow);
LRESULT CALLBACK ChipWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Nonzero when the tip is to be shown for the cursor over the chip window.
int UpdateTip(HWND chipWindow);
// Collects, measures and places the text of the date; nonzero when there is text.
int BuildTipText(HWND chipWindow, uint16_t year, uint16_t month, uint16_t day, DayMask holidayMask,
                 DayMask scheduleMask, POINT point);
// Nonzero when the tip's font and frame are made for the screen at the
// point of the chip window.
int TipFitsAt(HWND chipWindow, POINT point);
// Width and height 0 keep the window's size.
void PlaceTipWindow(HWND chipWindow, int width, int height, POINT point);
int WorkAreaAt(POINT point, RECT* work);
// Nonzero when no visible window above the chip window overlaps it.
int IsChipUncovered(HWND chipWindow);
void PumpPaintMessages();
