// Hit testing on a chip window.
#include <string.h>

#include "month/chipview.h"
#include "month/gdiguard.h"
#include "month/hittest.h"

int HitTestDate(HWND chipWindow, const ChipState* state, POINT point, uint16_t* year, uint16_t* month,
                uint16_t* day) {
  *year = state->year;
  *month = state->month;
  *day = 0;
  TEXTMETRICA metrics;
  memset(&metrics, 0, sizeof metrics);
  {
    WindowDC dc(chipWindow);
    if (dc.get()) MeasureChipFont(dc.get(), &state->font, &metrics);
  }
  ChipLayout layout;
  LayoutChipWindow(chipWindow, state, metrics.tmHeight, &layout);
  return HitTestChip(&layout, point.x, point.y, year, month, day);
}
