// What the chip settings dialog makes of its fields: the memo text naming the
// chip's month and the view flags of the saved-data payload.
#pragma once

#include <stdint.h>

// The memo text of a chip that shows the current month: no date.
extern const char kThisMonthMarker[];

enum GivenMonthCheck { kGivenMonthOk = 0, kGivenMonthBadYear = 1, kGivenMonthBadMonth = 2 };
// Year 1-9999 (a larger year would not be shown by the chip), month 1-12;
// the year is checked first.
int CheckGivenMonth(uint32_t year, uint32_t month);

// Writes the marker (thisMonth nonzero) or "yyyy/mm" into out; returns the
// length with the terminator, or 0 when it does not fit or the month is not
// valid.
int FormatMemoMonth(int thisMonth, uint32_t year, uint32_t month, char* out, int size);

// Bits 2 and 3 are nobody's: they keep their value.
uint8_t MergeViewFlags(uint8_t old, int twoMonths, int stacked, int english);
