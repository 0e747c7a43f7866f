// Painting, default size and clicks of a chip.
#pragma once

#include <windows.h>

#include "month/layout.h"
#include "plugin/chipstate.h"

extern "C" {
int __cdecl DrawChip(HGLOBAL chip, HWND chipWindow, HDC dc);
int __cdecl CalcDefaultRect(HGLOBAL chip, HWND chipWindow, SIZE* size);
int __cdecl MouseClik(HGLOBAL chip, HWND chipWindow, const POINT* point);
}

// tmHeight and tmAveCharWidth of the chip font on dc.
int MeasureChipFont(HDC dc, const LOGFONTA* font, TEXTMETRICA* metrics);
// The chip layout of the window's client area with the chip font's height.
void LayoutChipWindow(HWND chipWindow, const ChipState* state, int titleHeight, ChipLayout* layout);
// Paints month block k of the layout, the English header's font for fontDpi;
// returns the bottom of its last week row, 0 for a blank block.
int DrawMonth(HDC dc, const ChipState* state, int k, const MonthBlockLayout* block, int fontDpi);
// The date whose day cell holds point; nonzero when there is one.
int HitTestDate(HWND chipWindow, const ChipState* state, POINT point, uint16_t* year, uint16_t* month,
                uint16_t* day);
