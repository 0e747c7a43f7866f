#include "plugin/markcache.h"

#include <stdio.h>

#include "plugin/chiplist.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/textutil.h"
#include "text/winfile.h"
#include "tips/tips.h"
#include "today/holiday.h"
#include "today/markreading.h"
#include "today/schedule.h"
#include "today/todayconfig.h"

namespace {

void SetAllMasks(ChipState* state, DayMask value) {
  state->holidayMask[0] = state->holidayMask[1] = value;
  state->scheduleMask[0] = state->scheduleMask[1] = value;
  state->staleMarks = 0;
}

enum { kTagTextSize = 16 };

void TagText(const ChipState* state, char* text) {
  snprintf(text, kTagTextSize, "%d", (int)(INT_PTR)GlobalHandle(state));
}

// A hidden child carrying the chip handle, so the hook can find the state.
void CreateTagWindow(HWND chipWindow, ChipState* state) {
  char text[kTagTextSize];
  TagText(state, text);
  CreateWindowExA(0, "STATIC", text, WS_CHILD, 0, 0, 0, 0, chipWindow,
                  (HMENU)(INT_PTR)kTagWindowId, g_hInstance, nullptr);
}

// A host may give a window that held another chip to a new one.
void NameChipInTag(HWND tag, ChipState* state) {
  char text[kTagTextSize], held[kTagTextSize];
  TagText(state, text);
  if (GetWindowTextA(tag, held, sizeof held) <= 0 || lstrcmpA(held, text) != 0) SetWindowTextA(tag, text);
}

typedef int (*ComputeMasks)(const MonthKey* keys, DayMask* masks, int count, MarkReading* reading);

// Computes count masks from entry first on; those of a table that could not
// be read, or that needed an era table that could not be, are marked stale.
void ComputeEntries(ChipState* state, MarkReading* reading, ComputeMasks compute, DayMask* masks,
                    uint8_t staleBit, const MonthKey* keys, int first, int count) {
  LONG failures = g_tableReadFailures;
  compute(&keys[first], &masks[first], count, reading);
  if (g_tableReadFailures == failures && !reading->erasFailed()) return;
  for (int i = first; i < first + count; ++i) state->staleMarks |= (uint8_t)(staleBit << i);
}

// Nonzero when any mask was computed. The holidays and the schedules share
// one reading of the settings and of the era table.
int ComputeMarks(ChipState* state, const MonthKey* keys, int twoMonths) {
  int count = twoMonths ? 2 : 1;
  const int holidays = state->holidayMask[0] == kMaskUnknown || (twoMonths && state->holidayMask[1] == kMaskUnknown);
  const int schedules =
      state->scheduleMask[0] == kMaskUnknown || (twoMonths && state->scheduleMask[1] == kMaskUnknown);
  if (!holidays && !schedules) return 0;
  MarkReading reading;
  if (state->holidayMask[0] == kMaskUnknown || state->scheduleMask[0] == kMaskUnknown) {
    ComputeEntries(state, &reading, ComputeHolidayMasks, state->holidayMask, kStaleHoliday, keys, 0, count);
    ComputeEntries(state, &reading, ComputeScheduleMasks, state->scheduleMask, kStaleSchedule, keys, 0, count);
    return 1;
  }
  if (holidays)
    ComputeEntries(state, &reading, ComputeHolidayMasks, state->holidayMask, kStaleHoliday, keys, 1, 1);
  if (schedules)
    ComputeEntries(state, &reading, ComputeScheduleMasks, state->scheduleMask, kStaleSchedule, keys, 1, 1);
  return 1;
}

// Stale masks become uncomputed, so that this refresh computes them again.
void ForgetStaleMasks(ChipState* state) {
  for (int i = 0; i < 2; ++i) {
    if (state->staleMarks & (kStaleHoliday << i)) state->holidayMask[i] = kMaskUnknown;
    if (state->staleMarks & (kStaleSchedule << i)) state->scheduleMask[i] = kMaskUnknown;
  }
  state->staleMarks = 0;
}

}  // namespace

int ReadTagWindow(HWND tag, HGLOBAL* chip) {
  *chip = nullptr;
  char text[kTagTextSize];
  int32_t value = 0;
  if (!tag || GetWindowTextA(tag, text, sizeof text) <= 0 || !ScanPattern(text, "%d", &value)) return 0;
  HGLOBAL handle = (HGLOBAL)(INT_PTR)value;
  // Whatever else the text might name, it is no chip state.
  if (GlobalSize(handle) < sizeof(ChipState)) return 0;
  *chip = handle;
  return 1;
}

void RemoveTagWindow(HWND chipWindow, HGLOBAL chip) {
  HWND tag = chipWindow && chip ? GetDlgItem(chipWindow, kTagWindowId) : nullptr;
  HGLOBAL named;
  if (ReadTagWindow(tag, &named) && named == chip) DestroyWindow(tag);
}

void RefreshMarks(HWND chipWindow, ChipState* state, uint16_t previousYear,
                  uint16_t previousMonth) {
  HWND tag = chipWindow ? GetDlgItem(chipWindow, kTagWindowId) : nullptr;
  if (!(ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault) & kFlagUseToday)) {
    if (tag) DestroyWindow(tag);
    // Nothing stale or uncomputed may be painted later, say after a switch
    // to two months while TODAY use stays off.
    SetAllMasks(state, 0);
    return;
  }
  if (tag) {
    NameChipInTag(tag, state);
  } else {
    if (chipWindow) CreateTagWindow(chipWindow, state);
    // Without a tag window TODAY use was off (the masks were cleared then) or
    // this is the chip's first refresh: nothing held is a computed mark.
    SetAllMasks(state, kMaskUnknown);
  }

  int twoMonths = (state->viewFlags & kViewTwoMonths) != 0;
  MonthKey keys[2] = {MakeMonthKey(state->year, state->month), 0};
  if (twoMonths) {
    uint16_t nextYear, nextMonth;
    NextMonth(state->year, state->month, &nextYear, &nextMonth);
    keys[1] = MakeMonthKey(nextYear, nextMonth);
  }

  ForgetStaleMasks(state);
  if (previousYear != state->year || previousMonth != state->month ||
      state->sectionGeneration != TodaySectionGeneration())
    SetAllMasks(state, kMaskUnknown);
  state->sectionGeneration = TodaySectionGeneration();
  // The files were read again: a tip built before may hold their old text.
  if (ComputeMarks(state, keys, twoMonths)) ForgetTipText();
}

int CatchUpMarks(HWND chipWindow, ChipState* state) {
  RetryFailedLoad();
  if (state->sectionGeneration == TodaySectionGeneration()) return 0;
  RefreshMarks(chipWindow, state, state->year, state->month);
  InvalidateRect(chipWindow, nullptr, FALSE);
  return 1;
}
