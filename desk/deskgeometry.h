// The desktop program's arithmetic: DPI scaling, keeping a chip reachable
// in a work area, the drag threshold and the wait until midnight. Portable.
#pragma once

struct DeskRect {
  int left, top, right, bottom;
};

// A length for 96 DPI at another DPI, rounded half away from zero.
int ScaleForDpi(int value, int dpi);
// A length at dpi back to 96 DPI.
int UnscaleForDpi(int value, int dpi);

// The chip's window moved so that it lies in the work area (a chip larger
// than the area keeps its top left corner in it). True when it had to move:
// less than all of it was inside.
bool KeepInWorkArea(const DeskRect& chip, const DeskRect& work, DeskRect* placed);

// Whether a press has turned into a drag: the cursor left the rectangle of
// the system's drag size centred on the point where the button went down.
bool PastDragDistance(int dx, int dy, int dragWidth, int dragHeight);

// Milliseconds from this local time of day to a moment just past the next
// midnight (a second after, so that the day has surely changed).
unsigned MsUntilAfterMidnight(int hour, int minute, int second, int millisecond);
