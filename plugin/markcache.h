// Day marks of the shown months, and the chip window's tag window.
#pragma once

#include <windows.h>

#include "plugin/chipstate.h"

enum { kTagWindowId = 46 };

void RefreshMarks(HWND chipWindow, ChipState* state, uint16_t previousYear,
                  uint16_t previousMonth);
