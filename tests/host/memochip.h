// A chip made by the host tests: the default look, a memo and its months.
#pragma once

#include "dxlhost/paint.h"

inline bool CreateMemoChip(const DxlApi* api, const char* memo, int months, HostChip* chip) {
  PaintOptions o;
  DefaultPaintOptions(&o);
  o.memo = memo;
  o.months = months;
  return CreatePaintChip(api, o, chip);
}
