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
