// The host's records, laid out byte for byte at the offsets the library reads.
// Kept apart from the library's own headers so that the tests check the
// layout from the host's side.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <windows.h>

#pragma pack(push, 1)
struct HostChipRecord {
  uint8_t hostOwned[72];
  const char* memoText;    // 72
  COLORREF textColor;      // 76
  COLORREF backColor;      // 80
  LOGFONTA font;           // 84
  uint8_t hostGap[4];      // 144: not read
  const void* saveData;    // 148: length (int32) first
  uint8_t hostTail[16];
};

struct HostSpecRecord {
  int32_t value0;   // 0
  int32_t value4;   // 4
  char name[50];    // 8
  uint8_t gap[2];   // 58
  int32_t value60;  // 60
  int32_t value64;  // 64
  int32_t value68;  // 68
};
#pragma pack(pop)

static_assert(offsetof(HostChipRecord, memoText) == 72, "memoText at 72");
static_assert(offsetof(HostChipRecord, textColor) == 76, "textColor at 76");
static_assert(offsetof(HostChipRecord, backColor) == 80, "backColor at 80");
static_assert(offsetof(HostChipRecord, font) == 84, "font at 84");
static_assert(offsetof(HostChipRecord, saveData) == 148, "saveData at 148");
static_assert(offsetof(HostSpecRecord, name) == 8, "name at 8");
static_assert(offsetof(HostSpecRecord, value60) == 60, "value at 60");
static_assert(offsetof(HostSpecRecord, value68) == 68, "value at 68");
static_assert(sizeof(HostSpecRecord) == 72, "SpecInfo is 72 bytes");

// The host's record for EditHelper.
#pragma pack(push, 1)
struct HostEditRecord {
  uint8_t hostOwned[8];  // 0: not read or written by the library
  HGLOBAL memoHandle;    // 8: zero-terminated memo text
  uint32_t saveLength;   // 12: bytes of the payload
  HGLOBAL saveHandle;    // 16: saved-data payload, without its length word
};
#pragma pack(pop)

static_assert(offsetof(HostEditRecord, memoHandle) == 8, "memoHandle at 8");
static_assert(offsetof(HostEditRecord, saveLength) == 12, "saveLength at 12");
static_assert(offsetof(HostEditRecord, saveHandle) == 16, "saveHandle at 16");

// What the host can see of a chip by locking its handle (the leading fields).
#pragma pack(push, 1)
struct HostChipPeek {
  uint16_t year;
  uint8_t month;
  uint8_t today;
  COLORREF backColor;
  COLORREF textColor;
  COLORREF todayColor;
  COLORREF sundayColor;
  COLORREF saturdayColor;
  COLORREF holidayColor;
  LOGFONTA font;
  uint8_t viewFlags;
  uint8_t scheduleStyle;
  uint8_t pad[2];
  uint32_t holidayMask[2];
  uint32_t scheduleMask[2];
};
#pragma pack(pop)
