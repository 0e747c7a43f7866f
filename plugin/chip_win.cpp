// Creating, refreshing, saving and freeing chips.
#include <string.h>

#include "plugin/chiplist.h"
#include "plugin/chipstate.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "plugin/markcache.h"
#include "plugin/savedata.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "text/strbasic.h"
#include "tips/tips.h"

namespace {

// Takes colours, style and view from a saved-data block (length first).
void ApplySaveData(ChipState* state, const uint8_t* block) {
  uint32_t length = block ? ReadLe32(block) : 0;
  const uint8_t* payload = block ? block + 4 : nullptr;
  if (length >= kSaveCurrentLength) {
    state->todayColor = ReadLe32(payload + kSaveTodayColor);
    state->sundayColor = ReadLe32(payload + kSaveSundayColor);
    state->saturdayColor = ReadLe32(payload + kSaveSaturdayColor);
    state->holidayColor = ReadLe32(payload + kSaveHolidayColor);
    state->scheduleStyle = payload[kSaveScheduleStyle];
    state->viewFlags = payload[kSaveViewFlags];
  } else if (length == kSaveOlderLength) {
    state->todayColor = ReadLe32(payload + kSaveOldTodayColor);
    state->sundayColor = ReadLe32(payload + kSaveOldSundayColor);
    state->holidayColor = state->sundayColor;
    state->saturdayColor = ReadLe32(payload + kSaveOldSaturdayColor);
    state->viewFlags = payload[kSaveOldViewFlags];
    state->scheduleStyle = kDefaultScheduleStyle;
  } else {
    state->todayColor = kDefaultTodayColor;
    state->sundayColor = kDefaultSundayColor;
    state->saturdayColor = kDefaultSaturdayColor;
    state->holidayColor = kDefaultHolidayColor;
    state->scheduleStyle = kDefaultScheduleStyle;
  }
}

}  // namespace

// Update's work; 0 when the state cannot be locked.
static int UpdateChip(HGLOBAL chip, HWND chipWindow, const HostChipInfo* info);

extern "C" int __cdecl DrawExSpecification(SpecInfo* info) {
  if (!info) return 1;
  info->value0 = 256;
  info->value4 = 256;
  if (LoadStringA(g_hInstance, IDS_PRODUCT, info->name, sizeof info->name) <= 0) info->name[0] = '\0';
  info->value60 = 101;
  info->value64 = 2;
  info->value68 = 158;
  return 1;
}

extern "C" int __cdecl InitializeChip(HGLOBAL* handleOut, HWND chipWindow, const HostChipInfo* info) {
  // Without a place for the handle the chip could never be freed.
  if (!handleOut) return 0;
  HGLOBAL chip = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ChipState));
  if (!chip) {
    ShowError(chipWindow, IDS_NO_MEMORY);
    return 0;
  }
  *handleOut = chip;
  RememberChip(chip, chipWindow);
  if (ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault) & kFlagPopupTips) HookChipWindow(chipWindow);
  // A state that cannot be filled would be painted as year 0 in black on black.
  if (!UpdateChip(chip, chipWindow, info)) {
    UnInitializeChip(chip, chipWindow);
    *handleOut = nullptr;
    ShowError(chipWindow, IDS_NO_MEMORY);
    return 0;
  }
  return 1;
}

extern "C" int __cdecl UnInitializeChip(HGLOBAL chip, HWND chipWindow) {
  ForgetChip(chip);
  UnhookChipWindow(chipWindow);
  RemoveTagWindow(chipWindow, chip);
  if (chip) GlobalFree(chip);
  ShowHelp(chipWindow, HELP_QUIT, 0);
  return 1;
}

extern "C" int __cdecl Update(HGLOBAL chip, HWND chipWindow, const HostChipInfo* info) {
  UpdateChip(chip, chipWindow, info);
  return 0;
}

static int UpdateChip(HGLOBAL chip, HWND chipWindow, const HostChipInfo* info) {
  NoteChipWindow(chip, chipWindow);
  RetryFailedLoad();
  ChipLock state(chip);
  if (!state) return 0;
  uint16_t previousYear = state->year;
  uint16_t previousMonth = state->month;

  uint16_t year = 0, month = 0;
  const char* memo = info ? info->memoText : nullptr;
  ParseDateText(memo ? memo : "", &year, &month, nullptr);
  if (year > 9999) year = 0;
  if (month > 12) month = 0;
  if (year != 0 && month != 0) {
    state->year = year;
    state->month = (uint8_t)month;
    state->today = 0;
  } else {
    SYSTEMTIME now;
    GetLocalTime(&now);
    state->year = now.wYear;
    state->month = (uint8_t)now.wMonth;
    state->today = (uint8_t)now.wDay;
  }

  if (info) {
    ApplySaveData(state.get(), info->saveData);
    state->backColor = info->backColor;
    state->textColor = info->textColor;
    memcpy(&state->font, &info->font, sizeof state->font);
  } else {
    ApplySaveData(state.get(), nullptr);
  }

  RefreshMarks(chipWindow, state.get(), previousYear, previousMonth);
  return 1;
}

extern "C" int __cdecl GetSaveData(HGLOBAL chip, HWND chipWindow, HGLOBAL* block) {
  ChipLock state(chip);
  if (!state || !block) return 0;
  bool fresh = false;
  if (!*block || GlobalSize(*block) != kSaveBlockSize) {
    fresh = true;
    if (*block) GlobalFree(*block);
    *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kSaveBlockSize);
    if (!*block) {
      ShowError(chipWindow, IDS_NO_MEMORY);
      return 0;
    }
  }
  // A block left unwritten must not be stored as if it held the chip's
  // settings: as when it could not be had; a block of the host's keeps its contents.
  uint8_t* data = static_cast<uint8_t*>(GlobalLock(*block));
  if (!data) {
    if (fresh) {
      GlobalFree(*block);
      *block = nullptr;
    }
    return 0;
  }
  uint8_t* payload = data + 4;
  WriteLe32(data, kSaveCurrentLength);
  WriteLe32(payload + kSaveTodayColor, state->todayColor);
  WriteLe32(payload + kSaveSundayColor, state->sundayColor);
  WriteLe32(payload + kSaveSaturdayColor, state->saturdayColor);
  WriteLe32(payload + kSaveHolidayColor, state->holidayColor);
  payload[kSaveScheduleStyle] = state->scheduleStyle;
  payload[kSaveViewFlags] = state->viewFlags;
  GlobalUnlock(*block);
  return 1;
}

extern "C" int __cdecl GetMemoString(void*, char* buffer, int size) {
  if (buffer && size > 0) buffer[0] = '\0';
  return 0;
}

extern "C" int __cdecl GetTimerSpan() { return -1; }

// The host treats both the same way: no timer, no string exchange.
extern "C" int __cdecl ExchangeSendString() { return GetTimerSpan(); }

extern "C" void __cdecl Zoom() {}

extern "C" int __cdecl DoTimer() { return 0; }
