// dxlhost paint --hover: the chip shown on the desktop, the real cursor on
// one of its days, and the tip the library shows there, captured together.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <vector>

#include "host/loader.h"

struct HoverDate {
  int year, month, day;
};

// YYYY/MM/DD (or with '-'); false for anything else.
bool ParseHoverDate(const char* text, HoverDate* date);
// Screen point at the centre of the date's day cell in the chip as it is
// laid out now; false when the chip does not show the date.
bool FindDayOnScreen(const HostChip* chip, const HoverDate& date, POINT* point);
// The tip window of a library loaded here, when it is shown; null otherwise.
HWND FindShownTip();
// Shows the chip at x, y, moves the cursor onto the date and waits for the
// tip; then captures the screen around chip and tip (the rest white). On
// failure *why says what went wrong.
bool HoverAndCapture(const HostChip* chip, const HoverDate& date, int x, int y, int* width, int* height,
                     std::vector<uint8_t>* rgb, const char** why);
