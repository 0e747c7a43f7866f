// ParseHolidayLine and the mask/name lookups on arbitrary table bytes.
#include <stdint.h>
#include <string.h>

#include "today/holiday.h"

namespace {

int LoadEras(EraTable* table, void*) {
  char text[] = "MEJI 1868/1/1 1912/7/29 Mm\r\nSHOW 1926/12/25 1989/1/7 Ss\r\nHEIS 1989/1/8 2019/4/30 Hh\r\n";
  EraTableClear(table);
  EraTableParse(table, text);
  return 1;
}

uint16_t Equinox(uint16_t year, uint16_t month) {
  return (month == 3 || month == 9) && year >= 1851 && year <= 2150 ? 20 : 0;
}

struct Bytes {
  const uint8_t* data;
  size_t size, pos;
};

int ReadBytes(void* ctx, unsigned char* buf, int size) {
  Bytes* b = static_cast<Bytes*>(ctx);
  size_t n = b->size - b->pos;
  if (n > (size_t)size) n = (size_t)size;
  memcpy(buf, b->data + b->pos, n);
  b->pos += n;
  return (int)n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A single line, exactly as given, in a buffer of its own length.
  if (size <= kTableLineMax) {
    char* line = new char[size + 1];
    memcpy(line, data, size);
    line[size] = '\0';
    EraCache eras;
    EraCacheInit(&eras, LoadEras, nullptr);
    HolidayEntry entry;
    if (ParseHolidayLine(line, &entry, &eras)) {
      if (entry.month < 1 || entry.month > 12 || entry.day > 31 || !entry.name) __builtin_trap();
      if (entry.name < line || entry.name > line + size) __builtin_trap();
    }
    delete[] line;
  }
  // The whole input as a table.
  MonthKey keys[2] = {MakeMonthKey(2000, 12), MakeMonthKey(2001, 1)};
  DayMask masks[2];
  Bytes bytes = {data, size, 0};
  TableFile file;
  TableFileInit(&file, ReadBytes, &bytes);
  EraCache eras;
  EraCacheInit(&eras, LoadEras, nullptr);
  MarkHolidayTable(&file, &eras, Equinox, keys, masks, 2);
  if (masks[0] & 1u || masks[1] & 1u) __builtin_trap();

  char out[24];
  bytes.pos = 0;
  TableFileInit(&file, ReadBytes, &bytes);
  int sizeArg = size ? data[0] % 24 : 10;
  CollectHolidayTableNames(&file, &eras, Equinox, "SUBST", 2001, 1, 1, out, sizeArg);
  return 0;
}
