// Chip geometry: integer pixels, truncating division.
#include "month/layout.h"

#include "month/dates.h"

int IsSideBySide(unsigned viewFlags) {
  return (viewFlags & kViewTwoMonths) && !(viewFlags & kViewStacked);
}

int IsStacked(unsigned viewFlags) { return (viewFlags & kViewTwoMonths) && (viewFlags & kViewStacked); }

void LayoutMonthBlock(const ChipMetrics* metrics, uint16_t year, uint16_t month, unsigned viewFlags, int k,
                      const CellRect* block, MonthBlockLayout* out) {
  viewFlags &= 0xFF;
  *out = MonthBlockLayout();
  out->block = *block;
  uint16_t blockYear = year, blockMonth = month;
  if (k == 1) NextMonth(year, month, &blockYear, &blockMonth);
  out->year = blockYear;
  out->month = blockMonth;
  if (blockYear > 9999) return;
  out->shown = 1;

  const int f = metrics->titleHeight, cy = metrics->frameY;
  out->gridTop = block->top + f + 2 * cy;
  out->divisionBottom = block->bottom;
  if (!IsStacked(viewFlags)) {
    // Side by side, both blocks divide by the larger count: equal row heights.
    out->divisor = WeekRowsForView(year, month, viewFlags) + 1;
  } else if (k == 0) {
    out->divisor = WeekRowsForView(year, month, viewFlags) + 2;
    out->divisionBottom = block->bottom - f - 4 * cy;
  } else {
    out->divisor = WeekRowsForView(blockYear, blockMonth, 0) + 1;
  }
  out->cellWidth = (block->right - block->left) / 7;
  out->rowHeight = (out->divisionBottom - out->gridTop) / out->divisor;
  out->firstWeekday = DayOfWeek(blockYear, blockMonth, 1);
  out->days = DaysInMonth(blockYear, blockMonth);
  out->weekRows = (out->firstWeekday + out->days + 6) / 7;
  out->lastRowBottom = out->gridTop + (out->weekRows + 1) * out->rowHeight;
}

void LayoutChip(const ChipMetrics* metrics, uint16_t year, uint16_t month, unsigned viewFlags, ChipLayout* out) {
  const int W = metrics->width, H = metrics->height, cx = metrics->frameX, cy = metrics->frameY;
  CellRect block0 = {cx, cy, IsSideBySide(viewFlags) ? W / 2 - cx / 2 : W - cx, H - cy};
  LayoutMonthBlock(metrics, year, month, viewFlags, 0, &block0, &out->blocks[0]);
  out->blockCount = 1;
  out->blocks[1] = MonthBlockLayout();
  if (!(viewFlags & kViewTwoMonths)) return;

  CellRect block1;
  if (IsStacked(viewFlags))
    block1 = {cx, out->blocks[0].lastRowBottom + 2 * cy, W - cx, H - cy};
  else
    block1 = {block0.right + cx, cy, W - cx, H - cy};
  LayoutMonthBlock(metrics, year, month, viewFlags, 1, &block1, &out->blocks[1]);
  out->blockCount = 2;
}

int HeaderCellRect(const MonthBlockLayout* layout, int column, CellRect* out) {
  if (column < 0 || column > 6) return 0;
  out->left = layout->block.left + column * layout->cellWidth;
  out->right = out->left + layout->cellWidth;
  out->top = layout->gridTop;
  out->bottom = layout->gridTop + layout->rowHeight;
  return 1;
}

int DayCellRect(const MonthBlockLayout* layout, int day, CellRect* out) {
  if (!layout->shown || day < 1 || day > layout->days) return 0;
  int index = layout->firstWeekday + day - 1;
  int row = index / 7, column = index % 7;
  out->left = layout->block.left + column * layout->cellWidth;
  out->right = out->left + layout->cellWidth;
  out->top = layout->gridTop + (row + 1) * layout->rowHeight;
  out->bottom = out->top + layout->rowHeight;
  return 1;
}

int32_t EnglishHeaderHeight(int32_t lfHeight, int logPixelsY) {
  if (logPixelsY <= 0) return lfHeight;
  int64_t points = (int64_t)lfHeight * 72 / logPixelsY;
  // A height below two points (lfHeight 0 = the default size) has no
  // smaller size to go to.
  if (points > -2 && points < 2) return lfHeight;
  int64_t magnitude = points < 0 ? -points : points;
  int64_t height = -(((magnitude - 1) * logPixelsY) / 72);
  if (height < INT32_MIN) height = INT32_MIN;
  return (int32_t)height;
}

void DefaultClientSize(int textHeight, int averageWidth, int frameX, int frameY, uint16_t year, uint16_t month,
                       unsigned viewFlags, int* width, int* height) {
  const int u = (textHeight / 3) * 4;
  const int rows = WeekRowsForView(year, month, viewFlags);
  if (IsStacked(viewFlags)) {
    *width = 2 * frameX + 28 * averageWidth;
    *height = 6 * frameY + (rows + 4) * u;
  } else if (viewFlags & kViewTwoMonths) {
    *width = 3 * frameX + 56 * averageWidth;
    *height = 3 * frameY + (rows + 2) * u;
  } else {
    *width = 2 * frameX + 28 * averageWidth;
    *height = 3 * frameY + (rows + 2) * u;
  }
}
