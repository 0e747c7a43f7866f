// ParseScheduleLine and the mask/text lookups on arbitrary schedule bytes.
#include <stdint.h>
#include <string.h>

#include "text/strbasic.h"
#include "today/schedule.h"

namespace {

int LoadEras(EraTable* table, void*) {
  char text[] = "SHOW 1926/12/25 1989/1/7 Ss\r\nHEIS 1989/1/8 2019/4/30 Hh\r\nREIW 2019/5/1 9999/12/31 Rr\r\n";
  EraTableClear(table);
  EraTableParse(table, text);
  return 1;
}

struct Bytes {
  const uint8_t* data;
  size_t size, pos;
};

int IsDigitByteRef(char c) { return c >= '0' && c <= '9'; }

int ReadBytes(void* ctx, unsigned char* buf, int size) {
  Bytes* b = static_cast<Bytes*>(ctx);
  size_t n = b->size - b->pos;
  if (n > (size_t)size) n = (size_t)size;
  memcpy(buf, b->data + b->pos, n);
  b->pos += n;
  return (int)n;
}

// The date field read the plain way, on the split line; the parser reads it
// before splitting and must agree.
int ReferenceDate(char* line, EraCache* eras, uint16_t* year, uint16_t* month, const char** dayPart) {
  if (SplitFields(line, " \t") < 2) return 0;
  int32_t n = 0;
  *year = 0;
  *month = 0;
  if (IsDigitByteRef(line[0])) {
    if (ScanPattern(line, "%d/", &n) < 1 || (uint16_t)n == 0) return 0;
    *year = (uint16_t)n;
  } else if (line[0] != '*') {
    char letter = 0;
    if (ScanPattern(line, "%c%d/", &letter, &n) < 2) return 0;
    *year = EraCacheLookup(eras, letter, (uint16_t)n);
    if (!*year) return 0;
  }
  const char* monthPart = FindChar(line, '/');
  if (!monthPart) return 0;
  ++monthPart;
  if (monthPart[0] != '*') {
    if (ScanPattern(monthPart, "%d/", &n) < 1) return 0;
    *month = (uint16_t)n;
  }
  const char* slash = FindChar(monthPart, '/');
  if (!slash) return 0;
  *dayPart = slash + 1;
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size <= kTableLineMax) {
    char* line = new char[size + 1];
    memcpy(line, data, size);
    line[size] = '\0';
    EraCache eras;
    EraCacheInit(&eras, LoadEras, nullptr);
    char* copy = new char[size + 1];
    memcpy(copy, line, size + 1);
    uint16_t year = 0, month = 0;
    const char* dayPart = nullptr;
    int dateOk = ReferenceDate(copy, &eras, &year, &month, &dayPart);
    ScheduleEntry entry;
    int valid = ParseScheduleLine(line, &entry, &eras, nullptr);
    if (valid && (!dateOk || entry.year != year || entry.month != month)) __builtin_trap();
    delete[] copy;
    if (valid) {
      if (strlen(entry.label) > kScheduleLabelMax || !entry.text) __builtin_trap();
      if (entry.weekday > 6 && entry.weekday != kWeekdayNone) __builtin_trap();
      if (entry.text < line || entry.text > line + size) __builtin_trap();
    }
    delete[] line;
  }
  MonthKey keys[2] = {MakeMonthKey(1999, 12), MakeMonthKey(2000, 1)};
  DayMask masks[2] = {0, 0};
  Bytes bytes = {data, size, 0};
  TableFile file;
  TableFileInit(&file, ReadBytes, &bytes);
  EraCache eras;
  EraCacheInit(&eras, LoadEras, nullptr);
  MarkScheduleFile(&file, &eras, nullptr, keys, masks, 2);
  if (masks[0] & 1u || masks[1] & 1u) __builtin_trap();

  char out[24];
  bytes.pos = 0;
  TableFileInit(&file, ReadBytes, &bytes);
  StringList list;
  StringListInit(&list, out, size ? data[0] % 24 : 10);
  CollectScheduleFileTexts(&file, &eras, nullptr, 2000, 1, 9, &list);
  StringListFinish(&list);
  return 0;
}
