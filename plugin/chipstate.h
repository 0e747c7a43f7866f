// Per-chip state, the host's records and the saved-data block.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#include "month/dates.h"

struct ChipState {
  uint16_t year;  // first shown month, 1-9999 after any Update
  uint8_t month;
  uint8_t today;  // day to mark as today; 0 = none
  COLORREF backColor;
  COLORREF textColor;
  COLORREF todayColor;
  COLORREF sundayColor;
  COLORREF saturdayColor;
  COLORREF holidayColor;
  LOGFONTA font;
  uint8_t viewFlags;
  uint8_t scheduleStyle;  // 0 normal, 1 bold, 2 italic, 3 underline
  DayMask holidayMask[2];
  DayMask scheduleMask[2];
  // Masks computed while a table could not be read: painted as they are,
  // computed again at the next refresh. Bits kStaleHoliday, kStaleSchedule
  // shifted by the entry.
  uint8_t staleMarks;
  // TodaySectionGeneration when the masks were computed.
  LONG sectionGeneration;
};
enum { kStaleHoliday = 0x01, kStaleSchedule = 0x04 };

// The host's record for InitializeChip and Update; only these fields are read.
struct HostChipInfo {
  uint8_t unread0[72];
  const char* memoText;
  COLORREF textColor;
  COLORREF backColor;
  LOGFONTA font;
  uint8_t unread144[4];
  const uint8_t* saveData;  // length (int32) first, then the payload
};
static_assert(offsetof(HostChipInfo, memoText) == 72, "HostChipInfo.memoText");
static_assert(offsetof(HostChipInfo, textColor) == 76, "HostChipInfo.textColor");
static_assert(offsetof(HostChipInfo, backColor) == 80, "HostChipInfo.backColor");
static_assert(offsetof(HostChipInfo, font) == 84, "HostChipInfo.font");
static_assert(offsetof(HostChipInfo, saveData) == 148, "HostChipInfo.saveData");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA");

// The host's record filled by DrawExSpecification.
struct SpecInfo {
  int32_t value0;
  int32_t value4;
  char name[50];
  uint8_t unwritten58[2];
  int32_t value60;
  int32_t value64;
  int32_t value68;
};
static_assert(offsetof(SpecInfo, name) == 8, "SpecInfo.name");
static_assert(offsetof(SpecInfo, value60) == 60, "SpecInfo.value60");
static_assert(offsetof(SpecInfo, value68) == 68, "SpecInfo.value68");
static_assert(sizeof(SpecInfo) == 72, "SpecInfo size");

// Saved-data block: little-endian length, then the payload.
enum {
  kSaveCurrentLength = 24,
  kSaveOlderLength = 13,
  kSaveBlockSize = 32,
  // Offsets within the payload (block offset - 4).
  kSaveReserved = 0,
  kSaveTodayColor = 4,
  kSaveSundayColor = 8,
  kSaveSaturdayColor = 12,
  kSaveHolidayColor = 16,
  kSaveScheduleStyle = 20,
  kSaveViewFlags = 21,
  // Older layout.
  kSaveOldTodayColor = 0,
  kSaveOldSundayColor = 4,
  kSaveOldSaturdayColor = 8,
  kSaveOldViewFlags = 12,
};

const COLORREF kDefaultTodayColor = 0xFFFF00;
const COLORREF kDefaultSundayColor = 0x0000FF;
const COLORREF kDefaultSaturdayColor = 0xFF0000;
const COLORREF kDefaultHolidayColor = 0x0000FF;
const uint8_t kDefaultScheduleStyle = 1;

// "Flags" bits of the user section.
const int kFlagUseToday = 0x01;
const int kFlagPopupTips = 0x02;
const int kFlagsDefault = 3;

// A locked ChipState, unlocked when the guard ends.
class ChipLock {
 public:
  explicit ChipLock(HGLOBAL handle)
      : handle_(handle), state_(handle ? static_cast<ChipState*>(GlobalLock(handle)) : nullptr) {}
  ~ChipLock() {
    if (state_) GlobalUnlock(handle_);
  }
  ChipLock(const ChipLock&) = delete;
  ChipLock& operator=(const ChipLock&) = delete;
  ChipState* get() const { return state_; }
  ChipState* operator->() const { return state_; }
  explicit operator bool() const { return state_ != nullptr; }

 private:
  HGLOBAL handle_;
  ChipState* state_;
};
