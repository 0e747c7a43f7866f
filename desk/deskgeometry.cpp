#include "desk/deskgeometry.h"

#include <stdlib.h>

namespace {

int MulDivRound(int value, int mul, int div) {
  if (div <= 0) return value;
  long long p = (long long)value * mul;
  long long half = div / 2;
  return (int)(p >= 0 ? (p + half) / div : -((-p + half) / div));
}

}  // namespace

int ScaleForDpi(int value, int dpi) { return MulDivRound(value, dpi > 0 ? dpi : 96, 96); }

int UnscaleForDpi(int value, int dpi) { return MulDivRound(value, 96, dpi > 0 ? dpi : 96); }

bool KeepInWorkArea(const DeskRect& chip, const DeskRect& work, DeskRect* placed) {
  int width = chip.right - chip.left, height = chip.bottom - chip.top;
  int left = chip.left, top = chip.top;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  placed->left = left;
  placed->top = top;
  placed->right = left + width;
  placed->bottom = top + height;
  return left != chip.left || top != chip.top;
}

namespace {

long long Area(const DeskRect& r) {
  return r.right > r.left && r.bottom > r.top ? (long long)(r.right - r.left) * (r.bottom - r.top) : 0;
}

DeskRect Intersection(const DeskRect& a, const DeskRect& b) {
  DeskRect r = {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  return r;
}

long long AreaInside(const DeskRect& r, const std::vector<DeskRect>& works) {
  long long inside = 0;
  for (const DeskRect& w : works) inside += Area(Intersection(r, w));
  return inside;
}

}  // namespace

bool ChipOutOfSight(const DeskRect& chip, int rowHeight, const std::vector<DeskRect>& works) {
  int height = chip.bottom - chip.top;
  if (rowHeight > height) rowHeight = height;
  if (rowHeight < 1) rowHeight = 1;
  DeskRect row = {chip.left, chip.top, chip.right, chip.top + rowHeight};
  return AreaInside(row, works) * 4 < Area(row) * 3 || AreaInside(chip, works) * 4 < Area(chip) * 3;
}

DeskRect FreePlace(const DeskRect& work, int width, int height, const std::vector<DeskRect>& taken, int nearX,
                   int nearY, int gap) {
  const int step = 8;
  bool found = false;
  long long best = 0;
  DeskRect place = {nearX, nearY, nearX + width, nearY + height};
  for (int top = work.top + gap; top + height + gap <= work.bottom; top += step) {
    for (int left = work.left + gap; left + width + gap <= work.right; left += step) {
      long long dx = left - nearX, dy = top - nearY, distance = dx * dx + dy * dy;
      if (found && distance >= best) continue;
      DeskRect r = {left - gap, top - gap, left + width + gap, top + height + gap};
      bool free = true;
      for (const DeskRect& t : taken)
        if (Area(Intersection(r, t)) > 0) {
          free = false;
          break;
        }
      if (!free) continue;
      found = true;
      best = distance;
      place = {left, top, left + width, top + height};
    }
  }
  if (!found) KeepInWorkArea(place, work, &place);
  return place;
}

DeskRect CentredOn(const DeskRect& around, int width, int height) {
  // Halves of odd differences round down on both sides alike.
  int left = around.left + ((around.right - around.left) - width) / 2;
  int top = around.top + ((around.bottom - around.top) - height) / 2;
  DeskRect r = {left, top, left + width, top + height};
  return r;
}

bool PastDragDistance(int dx, int dy, int dragWidth, int dragHeight) {
  return abs(dx) > dragWidth / 2 || abs(dy) > dragHeight / 2;
}

unsigned MsUntilAfterMidnight(int hour, int minute, int second, int millisecond) {
  long elapsed = ((hour * 60L + minute) * 60L + second) * 1000L + millisecond;
  const long day = 24L * 3600 * 1000;
  if (elapsed < 0) elapsed = 0;
  if (elapsed >= day) elapsed = day - 1;  // a leap second
  return (unsigned)(day - elapsed + 1000);
}
