// Hit testing of the chip layout.
#include "month/hittest.h"

#include "month/dates.h"

int HitTestMonth(uint16_t year, uint16_t month, int k, const CellRect* grid, int x, int y) {
  if (k < 0) return 0;
  MonthBlockLayout layout = MonthBlockLayout();
  layout.shown = 1;
  layout.block = *grid;
  layout.gridTop = grid->top;
  layout.cellWidth = (grid->right - grid->left) / 7;
  layout.rowHeight = (grid->bottom - grid->top) / (k + 1);
  layout.firstWeekday = DayOfWeek(year, month, 1);
  layout.days = DaysInMonth(year, month);
  for (int d = 1; d <= layout.days; ++d) {
    CellRect cell;
    DayCellRect(&layout, d, &cell);
    if (cell.top > y) break;
    if (cell.left <= x && x < cell.right && cell.top <= y && y < cell.bottom) return d;
  }
  return 0;
}

int HitTestChip(const ChipLayout* layout, int x, int y, uint16_t* year, uint16_t* month, uint16_t* day) {
  *year = layout->blocks[0].year;
  *month = layout->blocks[0].month;
  *day = 0;
  for (int k = 0; k < layout->blockCount && k < 2; ++k) {
    const MonthBlockLayout& block = layout->blocks[k];
    *year = block.year;
    *month = block.month;
    if (!block.shown) continue;  // a blank block has no dates
    // A grid of divisor rows of exactly rowHeight reproduces the drawn rows.
    CellRect grid = {block.block.left, block.gridTop, block.block.right,
                     block.gridTop + block.divisor * block.rowHeight};
    int found = HitTestMonth(block.year, block.month, block.divisor - 1, &grid, x, y);
    if (found) {
      *day = (uint16_t)found;
      return 1;
    }
  }
  return 0;
}
