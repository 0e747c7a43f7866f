// Where the tip window goes on the screen.
#pragma once

#include "plugin/screendpi.h"

struct TipArea {
  int left, top, right, bottom;
};

struct TipPoint {
  int x, y;
};

// The tip's top-left corner for a tip shown at the cursor: a gap of 8
// pixels (at 96 dots per inch) below it, kept off the right and bottom edges
// of work, the work area of the monitor that holds the cursor (screen
// coordinates, negative left of or above the primary monitor). A tip that
// would cross the right edge ends that gap left of it; one that would cross
// the bottom edge moves up by its height. Without a work area (null) the
// corner stays below the cursor.
TipPoint PlaceTipAtCursor(TipPoint cursor, int width, int height, const TipArea* work, const ScreenDpi& dpi);
