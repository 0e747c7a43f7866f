// The desktop program's arithmetic: DPI scaling, keeping a chip in sight in
// a work area, a free place for a new chip, the drag threshold and the wait
// until midnight. Portable.
#pragma once

#include <vector>

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

// Whether a chip is out of sight enough to be brought back: more than a
// quarter of its month row (the top rowHeight pixels), or of the whole chip,
// outside the work areas. Work areas do not overlap.
bool ChipOutOfSight(const DeskRect& chip, int rowHeight, const std::vector<DeskRect>& works);

// A place for a chip of this size in the work area that overlaps none of
// the taken rectangles (kept gap pixels apart), the nearest to near; when
// there is none, near itself brought into the work area.
DeskRect FreePlace(const DeskRect& work, int width, int height, const std::vector<DeskRect>& taken, int nearX,
                   int nearY, int gap);

// A rectangle of this size with the same centre as around: a window that
// takes its own size after a DPI change stays on the monitor it was sent to.
DeskRect CentredOn(const DeskRect& around, int width, int height);

// Whether a press has turned into a drag: the cursor left the rectangle of
// the system's drag size centred on the point where the button went down.
bool PastDragDistance(int dx, int dy, int dragWidth, int dragHeight);

// Milliseconds from this local time of day to a moment just past the next
// midnight (a second after, so that the day has surely changed).
unsigned MsUntilAfterMidnight(int hour, int minute, int second, int millisecond);
