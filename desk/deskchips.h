// The desktop program's chips: made from kept records and back, placed in
// sight, updated together.
#pragma once

#include <windows.h>

#include "desk/desk.h"

// The DPI of the monitor the window is on, where the system can tell; the
// system's DPI, which the font dialog works in.
UINT WindowDpi(HWND window);
UINT SystemDpi();

// A chip window at the record's place, not yet shown; null when the library
// refused it.
DeskChip* CreateDeskChip(const DeskChipRecord& record);
// A chip of this month with the system's user-interface font, at a free place
// in the work area around the point it was asked from, shown; null also
// when the file holds no more chips.
DeskChip* NewDeskChip(POINT askedFrom);
void DeleteDeskChip(HWND window);
void DestroyAllChips();

// The kept font at the DPI the chip's window has now.
void ScaleChipFont(DeskChip* chip, UINT dpi);
// The chip window takes the size the library proposes for its font and view.
void FitDefaultSize(DeskChip* chip);
// Update for every chip (the day may have changed), then repaint.
void UpdateAllChips(const char* why);
// A chip out of sight (more than a quarter of its month row, or of itself,
// outside every work area) comes wholly inside the nearest one.
void BringChipIntoSight(DeskChip* chip);
// Every chip in sight and in front.
void ShowAllChips();

// The chip as the file keeps it (its saved data asked from the library first).
DeskChipRecord RecordOfChip(DeskChip* chip);
