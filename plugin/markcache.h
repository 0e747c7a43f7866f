// Day marks of the shown months, and the chip window's tag window.
#pragma once

#include <windows.h>

#include "plugin/chipstate.h"

enum { kTagWindowId = 46 };

// The chip handle that the window's tag window names; 0 when there is no
// tag window or its text names no chip state.
int ReadTagWindow(HWND tag, HGLOBAL* chip);
// Removes the tag window when it names this chip, so that no freed handle
// is left in the window.
void RemoveTagWindow(HWND chipWindow, HGLOBAL chip);

void RefreshMarks(HWND chipWindow, ChipState* state, uint16_t previousYear,
                  uint16_t previousMonth);
