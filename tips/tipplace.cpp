#include "tips/tipplace.h"

TipPoint ClampTipToWorkArea(TipPoint at, int width, int height, const TipArea* work) {
  if (!work) return at;
  // Only the right and bottom edges: the tip starts at the cursor, which lies
  // inside the area.
  if (at.x + width > work->right) at.x = work->right - width - 8;
  if (at.y + height > work->bottom) at.y = at.y - height;
  return at;
}
