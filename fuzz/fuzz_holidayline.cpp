// ParseHolidayLine and the mask/name lookups on arbitrary table bytes.
#include <stdint.h>
#include <string.h>

#include "fuzz/marks_fuzz.h"
#include "today/holiday.h"

namespace {

uint16_t Equinox(uint16_t year, uint16_t month) {
  return (month == 3 || month == 9) && year >= 1851 && year <= 2150 ? 20 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A single line, exactly as given, in a buffer of its own length.
  if (size <= kTableLineMax) {
    FuzzLine owned(data, size);
    char* line = owned.get();
    EraCache eras;
    EraCacheInit(&eras, LoadFuzzEras, nullptr);
    HolidayEntry entry;
    if (ParseHolidayLine(line, &entry, &eras)) {
      if (entry.month < 1 || entry.month > 12 || entry.day > 31 || !entry.name) __builtin_trap();
      if (entry.name < line || entry.name > line + size) __builtin_trap();
    }
  }
  // The whole input as a table.
  MonthKey keys[2] = {MakeMonthKey(2000, 12), MakeMonthKey(2001, 1)};
  DayMask masks[2];
  MemoryBytes bytes;
  TableFile file;
  OpenFuzzTable(&file, &bytes, data, size);
  EraCache eras;
  EraCacheInit(&eras, LoadFuzzEras, nullptr);
  MarkHolidayTable(&file, &eras, Equinox, keys, masks, 2);
  if (masks[0] & 1u || masks[1] & 1u) __builtin_trap();

  char out[24];
  OpenFuzzTable(&file, &bytes, data, size);
  int sizeArg = size ? data[0] % 24 : 10;
  CollectHolidayTableNames(&file, &eras, Equinox, "SUBST", 2001, 1, 1, out, sizeArg);
  return 0;
}
