// Day marks of the shown months, and the chip window's tag window.
#pragma once

#include <windows.h>

#include "plugin/chipstate.h"

enum { kTagWindowId = 46 };

// The chip handle that a tag window names; 0 when tag is null or its text
// names no chip state.
int ReadTagWindow(HWND tag, HGLOBAL* chip);
// Removes the tag window when it names this chip, so that no freed handle
// is left in the window.
void RemoveTagWindow(HWND chipWindow, HGLOBAL chip);

// Computes the masks of the shown months that are not known, or all of them
// when the section changed since (TodaySectionGeneration).
void RefreshMarks(HWND chipWindow, ChipState* state, uint16_t previousYear,
                  uint16_t previousMonth);
// For a hover: after RetryFailedLoad, computes the masks afresh and has the
// chip painted again when a load that failed has settled since they were
// computed. Nonzero when it did.
int CatchUpMarks(HWND chipWindow, ChipState* state);
