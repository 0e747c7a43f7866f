// The reading that the plain rules describe, kept only to measure against:
// one byte per ReadFile call and GENGO.TBL read again for every era-form year;
// schedule lines read one at a time and parsed field by field, apart from
// the library's own schedule parser.
#pragma once

#include <stdint.h>

#include "month/dates.h"

void BaselineHolidayMasks(const MonthKey* keys, DayMask* masks, int count);
void BaselineScheduleMasks(const MonthKey* keys, DayMask* masks, int count);
int BaselineHolidayNames(uint16_t year, uint16_t month, uint16_t day, char* out, int size);
int BaselineScheduleTexts(uint16_t year, uint16_t month, uint16_t day, char* out, int size);
