#include "tips/tipplace.h"

TipPoint PlaceTipAtCursor(TipPoint cursor, int width, int height, const TipArea* work, const ScreenDpi& dpi) {
  const int gap = ScaleToDpi(8, dpi);
  TipPoint at = {cursor.x, cursor.y + gap};
  if (!work) return at;
  // Only the right and bottom edges: the tip starts at the cursor, which lies
  // inside the area.
  if (at.x + width > work->right) at.x = work->right - width - gap;
  if (at.y + height > work->bottom) at.y = at.y - height;
  return at;
}
