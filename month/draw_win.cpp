// Painting a chip and proposing its size.
#include <stdio.h>
#include <string.h>

#include "month/chipview.h"
#include "month/dates.h"
#include "month/gdiguard.h"
#include "plugin/globals.h"
#include "plugin/screendpi_win.h"
#include "resources/resource.h"

namespace {

const UINT kCenteredLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP;

void LoadText(UINT id, char* buffer, int size) {
  buffer[0] = '\0';
  if (LoadStringA(g_hInstance, id, buffer, size) <= 0) buffer[0] = '\0';
}

RECT ToRect(const CellRect& cell) {
  RECT rect = {cell.left, cell.top, cell.right, cell.bottom};
  return rect;
}

COLORREF ColumnColor(const ChipState* state, int column) {
  if (column == 0) return state->sundayColor;
  if (column == 6) return state->saturdayColor;
  return state->textColor;
}

void DrawTitle(HDC dc, const ChipState* state, const MonthBlockLayout* block) {
  char format[64], title[96];
  int english = state->viewFlags & kViewEnglish;
  LoadText(english ? IDS_TITLE_ENGLISH_BASE + block->month : IDS_TITLE_JAPANESE, format, sizeof format);
  // The English formats take only the year; the month argument is then unused.
  snprintf(title, sizeof title, format, (int)block->year, (int)block->month);
  RECT rect = {block->block.left, block->block.top, block->block.right, block->gridTop};
  SetTextColor(dc, state->textColor);
  DrawTextA(dc, title, -1, &rect, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
}

void DrawHeader(HDC dc, const ChipState* state, const MonthBlockLayout* block, int fontDpi) {
  int english = state->viewFlags & kViewEnglish;
  HFONT headerFont = nullptr;
  if (english) {
    LOGFONTA font = state->font;
    font.lfHeight = EnglishHeaderHeight(font.lfHeight, fontDpi);
    headerFont = CreateFontIndirectA(&font);
  }
  GdiObject ownFont(headerFont);
  GdiSelection selectFont(dc, headerFont);
  for (int column = 0; column < 7; ++column) {
    char name[16];
    LoadText((english ? IDS_WEEKDAY_ENGLISH : IDS_WEEKDAY_JAPANESE) + column, name, sizeof name);
    CellRect cell;
    HeaderCellRect(block, column, &cell);
    RECT rect = ToRect(cell);
    SetTextColor(dc, ColumnColor(state, column));
    DrawTextA(dc, name, -1, &rect, kCenteredLine);
  }
}

void DrawTodayMarker(HDC dc, const ChipState* state, const RECT& cell) {
  GdiObject brush(CreateSolidBrush(state->todayColor));
  GdiSelection selectBrush(dc, brush.get());
  GdiSelection selectPen(dc, GetStockObject(NULL_PEN));
  Ellipse(dc, cell.left + 2, cell.top, cell.right - 2, cell.bottom);
}

// The schedule days' font variant, or null when the chip font draws them.
HFONT CreateScheduleFont(const ChipState* state) {
  if (state->scheduleStyle < 1 || state->scheduleStyle > 3) return nullptr;
  LOGFONTA font = state->font;
  font.lfWeight = FW_NORMAL;
  font.lfItalic = 0;
  font.lfUnderline = 0;
  if (state->scheduleStyle == 1) font.lfWeight = FW_BOLD;
  if (state->scheduleStyle == 2) font.lfItalic = 1;
  if (state->scheduleStyle == 3) font.lfUnderline = 1;
  return CreateFontIndirectA(&font);
}

void DrawDay(HDC dc, const ChipState* state, int k, const MonthBlockLayout* block, int day) {
  CellRect cell;
  if (!DayCellRect(block, day, &cell)) return;
  RECT rect = ToRect(cell);
  if (k == 0 && state->today != 0 && day == state->today) DrawTodayMarker(dc, state, rect);

  uint32_t bit = 1u << day;
  SetTextColor(dc, (state->holidayMask[k] & bit) ? state->holidayColor : ColumnColor(state, DayColumn(block, day)));
  HFONT variant = (state->scheduleMask[k] & bit) ? CreateScheduleFont(state) : nullptr;
  GdiObject ownFont(variant);
  GdiSelection selectFont(dc, variant);
  char number[8];
  snprintf(number, sizeof number, "%2d", day);
  DrawTextA(dc, number, -1, &rect, kCenteredLine);
}

// A per-monitor aware host makes the chip font for the chip's monitor, whose
// DPI the system's metrics and the DC need not share; a host the system
// scales gets both as they are.
ScreenDpi ChipDpi(HWND chipWindow, HDC dc) {
  return WindowScreenDpi(PerMonitorDpiOf(chipWindow), dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0);
}

void LayoutChipForDpi(HWND chipWindow, const ChipState* state, int titleHeight, const ScreenDpi& dpi,
                      ChipLayout* layout) {
  RECT client = {0, 0, 0, 0};
  if (!GetClientRect(chipWindow, &client)) SetRectEmpty(&client);
  ChipMetrics metrics = {client.right, client.bottom, SystemMetricForDpi(SM_CXFRAME, dpi),
                         SystemMetricForDpi(SM_CYFRAME, dpi), titleHeight};
  LayoutChip(&metrics, state->year, state->month, state->viewFlags, layout);
}

}  // namespace

int MeasureChipFont(HDC dc, const LOGFONTA* font, TEXTMETRICA* metrics) {
  GdiObject chipFont(CreateFontIndirectA(font));
  GdiSelection selectFont(dc, chipFont.get());
  return GetTextMetricsA(dc, metrics);
}

void LayoutChipWindow(HWND chipWindow, const ChipState* state, int titleHeight, ChipLayout* layout) {
  LayoutChipForDpi(chipWindow, state, titleHeight, ChipDpi(chipWindow, nullptr), layout);
}

int DrawMonth(HDC dc, const ChipState* state, int k, const MonthBlockLayout* block, int fontDpi) {
  if (!block->shown) return 0;
  DrawTitle(dc, state, block);
  DrawHeader(dc, state, block, fontDpi);
  for (int day = 1; day <= block->days; ++day) DrawDay(dc, state, k, block, day);
  return block->lastRowBottom;
}

extern "C" int __cdecl DrawChip(HGLOBAL chip, HWND chipWindow, HDC dc) {
  ChipLock state(chip);
  if (!state) return 0;
  RECT client = {0, 0, 0, 0};
  if (!GetClientRect(chipWindow, &client)) SetRectEmpty(&client);
  {
    GdiObject background(CreateSolidBrush(state->backColor));
    if (background.get()) FillRect(dc, &client, (HBRUSH)background.get());
  }

  GdiObject chipFont(CreateFontIndirectA(&state->font));
  GdiSelection selectFont(dc, chipFont.get());
  int previousMode = SetBkMode(dc, TRANSPARENT);
  COLORREF previousColor = GetTextColor(dc);
  TEXTMETRICA metrics;
  if (!GetTextMetricsA(dc, &metrics)) metrics.tmHeight = 0;

  const ScreenDpi dpi = ChipDpi(chipWindow, dc);
  ChipLayout layout;
  LayoutChipForDpi(chipWindow, state.get(), metrics.tmHeight, dpi, &layout);
  for (int k = 0; k < layout.blockCount; ++k) DrawMonth(dc, state.get(), k, &layout.blocks[k], dpi.fontDpi);

  SetTextColor(dc, previousColor);
  if (previousMode) SetBkMode(dc, previousMode);
  return 1;
}

extern "C" int __cdecl CalcDefaultRect(HGLOBAL chip, HWND chipWindow, SIZE* size) {
  ChipLock state(chip);
  if (!state || !size) return 0;
  TEXTMETRICA metrics;
  memset(&metrics, 0, sizeof metrics);
  {
    // Without the font's measure any size would be a guess.
    WindowDC dc(chipWindow);
    if (!dc.get() || !MeasureChipFont(dc.get(), &state->font, &metrics)) return 0;
  }
  const ScreenDpi dpi = ChipDpi(chipWindow, nullptr);
  int width = 0, height = 0;
  DefaultClientSize(metrics.tmHeight, metrics.tmAveCharWidth, SystemMetricForDpi(SM_CXFRAME, dpi),
                    SystemMetricForDpi(SM_CYFRAME, dpi), state->year, state->month, state->viewFlags, &width,
                    &height);
  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, WS_POPUP | WS_VISIBLE | WS_BORDER, FALSE, WS_EX_TOOLWINDOW);
  size->cx = rect.right - rect.left;
  size->cy = rect.bottom - rect.top;
  return 1;
}
