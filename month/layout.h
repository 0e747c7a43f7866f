// Integer geometry of a chip: month blocks, grid rows and day cells. Drawing
// and hit testing both take their cells from here.
#pragma once

#include <stdint.h>

struct CellRect {
  int left, top, right, bottom;  // half-open: left <= x < right, top <= y < bottom
};

struct MonthBlockLayout {
  int shown;  // 0 = blank block (year past 9999)
  uint16_t year, month;
  CellRect block;
  int gridTop;         // g: the header row starts here
  int divisor;         // n
  int divisionBottom;  // B
  int cellWidth;       // w
  int rowHeight;       // h
  int firstWeekday;    // weekday of day 1
  int days;
  int weekRows;        // rows holding a day of this month
  int lastRowBottom;   // g + (weekRows + 1) * h, 0 for a blank block
};

struct ChipLayout {
  int blockCount;  // 1 or 2
  MonthBlockLayout blocks[2];
};

struct ChipMetrics {
  int width, height;  // client area (W, H)
  int frameX, frameY;  // SM_CXFRAME, SM_CYFRAME
  int titleHeight;     // f, tmHeight of the chip font
};

int IsSideBySide(unsigned viewFlags);
int IsStacked(unsigned viewFlags);

// Lays out block k (0 shown month, 1 the month after) inside the given block
// rectangle.
void LayoutMonthBlock(const ChipMetrics* metrics, uint16_t year, uint16_t month, unsigned viewFlags, int k,
                      const CellRect* block, MonthBlockLayout* out);
void LayoutChip(const ChipMetrics* metrics, uint16_t year, uint16_t month, unsigned viewFlags, ChipLayout* out);

// Header cell of column 0-6 and day cell of day 1-days; 0 when out of range.
int HeaderCellRect(const MonthBlockLayout* layout, int column, CellRect* out);
int DayCellRect(const MonthBlockLayout* layout, int day, CellRect* out);
inline int DayColumn(const MonthBlockLayout* layout, int day) { return (layout->firstWeekday + day - 1) % 7; }

// The English header font's height: one point smaller than lfHeight at
// logPixelsY dots per inch, as a character height.
int32_t EnglishHeaderHeight(int32_t lfHeight, int logPixelsY);

// Client size for the default chip rectangle from tmHeight and tmAveCharWidth.
void DefaultClientSize(int textHeight, int averageWidth, int frameX, int frameY, uint16_t year, uint16_t month,
                       unsigned viewFlags, int* width, int* height);
