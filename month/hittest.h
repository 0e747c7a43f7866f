// Point to date, by the cells of the chip layout.
#pragma once

#include <stdint.h>

#include "month/layout.h"

// Day (1-31) whose cell in the grid rectangle holds (x, y); 0 when none.
// The grid's first row is the weekday header, then k week rows.
int HitTestMonth(uint16_t year, uint16_t month, int k, const CellRect* grid, int x, int y);

// Date under (x, y) in the laid-out chip. The outputs start as the shown
// month with day 0 and move to the following month when block 1 is tested.
// Returns nonzero when a day was found.
int HitTestChip(const ChipLayout* layout, int x, int y, uint16_t* year, uint16_t* month, uint16_t* day);
