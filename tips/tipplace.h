// Where the tip window goes on the screen.
#pragma once

struct TipArea {
  int left, top, right, bottom;
};

struct TipPoint {
  int x, y;
};

// The tip's top-left corner for a wanted corner at, kept off the right and
// bottom edges of work, the work area of the monitor that holds the cursor
// (screen coordinates, negative left of or above the primary monitor). A tip
// that would cross the right edge ends 8 pixels left of it; one that would
// cross the bottom edge moves up by its height. Without a work area (null)
// the corner stays as wanted.
TipPoint ClampTipToWorkArea(TipPoint at, int width, int height, const TipArea* work);
