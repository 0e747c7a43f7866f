// ParseScheduleLine and the mask/text lookups on arbitrary schedule bytes;
// the lookups, which look at raw lines before reading them, must give what
// reading and parsing every line gives, with either byte search.
#include <stdint.h>
#include <string.h>

#include <initializer_list>
#include <vector>

#include "fuzz/marks_fuzz.h"
#include "fuzz/schedule_reference.h"
#include "text/bytescan.h"
#include "text/strbasic.h"
#include "today/schedule.h"

namespace {

// Every line read and parsed, the days taken one by one.
void ReferenceMasks(TableFile* file, EraCache* eras, const WeekdayNames* names, const MonthKey* keys,
                    DayMask* masks, int count) {
  ScheduleEntry e;
  while (char* line = ReadTableLine(file)) {
    if (!ParseScheduleLine(line, &e, eras, names)) continue;
    for (int i = 0; i < count; ++i) {
      uint16_t y = MonthKeyYear(keys[i]), m = MonthKeyMonth(keys[i]);
      unsigned last = e.weekday == kWeekdayNone ? 31 : DaysInMonth(y, m);
      for (unsigned d = 1; d <= last; ++d)
        if (ScheduleEntryMatches(&e, y, m, (uint16_t)d)) masks[i] |= 1u << d;
    }
  }
}

int ReferenceTexts(TableFile* file, EraCache* eras, const WeekdayNames* names, uint16_t y, uint16_t m, uint16_t d,
                   StringList* list) {
  int found = 0;
  ScheduleEntry e;
  char* line;
  while (!list->full && (line = ReadTableLine(file)) != nullptr) {
    if (ParseScheduleLine(line, &e, eras, names) && ScheduleEntryMatches(&e, y, m, d))
      found += StringListAppend(list, e.label, e.text);
  }
  return found;
}

// The lookups, which look at raw lines before reading them, against the
// reference, with either byte search and the given read sizes (0: whole).
void CheckLookups(const uint8_t* data, size_t size, const WeekdayNames* names, uint16_t day, int listSize,
                  std::initializer_list<int> blockSizes) {
  MonthKey keys[2] = {MakeMonthKey(1999, 12), MakeMonthKey(2000, 1)};
  MemoryBytes bytes;
  TableFile file;
  EraCache eras;
  EraCacheInit(&eras, LoadFuzzEras, nullptr);
  DayMask expected[2] = {0, 0};
  OpenFuzzTable(&file, &bytes, data, size);
  ReferenceMasks(&file, &eras, names, keys, expected, 2);
  char expectedOut[24] = {0}, out[24];
  OpenFuzzTable(&file, &bytes, data, size);
  StringList list;
  StringListInit(&list, expectedOut, listSize);
  int expectedFound = ReferenceTexts(&file, &eras, names, 2000, 1, day, &list);
  StringListFinish(&list);

  for (int sse2 : {1, 0}) {
    SetByteScanSse2(sse2);
    for (int blockSize : blockSizes) {
      DayMask masks[2] = {0, 0};
      OpenFuzzTable(&file, &bytes, data, size);
      if (blockSize) file.blockSize = blockSize;
      MarkScheduleFile(&file, &eras, names, keys, masks, 2);
      if (masks[0] != expected[0] || masks[1] != expected[1]) __builtin_trap();

      OpenFuzzTable(&file, &bytes, data, size);
      if (blockSize) file.blockSize = blockSize;
      memset(out, 0, sizeof out);
      StringListInit(&list, out, listSize);
      int found = CollectScheduleFileTexts(&file, &eras, names, 2000, 1, day, &list);
      StringListFinish(&list);
      if (found != expectedFound || memcmp(out, expectedOut, listSize > 0 ? (size_t)listSize : 0) != 0)
        __builtin_trap();
    }
  }
  SetByteScanSse2(-1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size <= kTableLineMax) {
    FuzzLine owned(data, size), copy(data, size);
    char* line = owned.get();
    EraCache eras;
    EraCacheInit(&eras, LoadFuzzEras, nullptr);
    ScheduleEntry expected;
    int expectedValid = ReferenceParse(copy.get(), &eras, &expected);
    ScheduleEntry entry;
    int valid = ParseScheduleLine(line, &entry, &eras, nullptr);
    if (valid != expectedValid) __builtin_trap();
    if (valid) {
      if (entry.year != expected.year || entry.month != expected.month || entry.day != expected.day ||
          entry.weekday != expected.weekday || strcmp(entry.text, expected.text) != 0)
        __builtin_trap();
      int plainLabel = 1;
      for (const char* c = expected.label; *c; ++c) plainLabel &= (unsigned char)*c < 0x80;
      if (plainLabel && strcmp(entry.label, expected.label) != 0) __builtin_trap();
    }
    if (valid) {
      if (strlen(entry.label) > kScheduleLabelMax || !entry.text) __builtin_trap();
      if (entry.weekday > 6 && entry.weekday != kWeekdayNone) __builtin_trap();
      if (entry.text < line || entry.text > line + size) __builtin_trap();
    }
  }
  const int listSize = size ? data[0] % 24 : 10;
  CheckLookups(data, size, nullptr, 9, listSize, {0, 1, size ? data[size - 1] % 17 + 2 : 3});

  // The same lines after a first one and before a long last one, so that
  // each is read with the bytes buffered that the run of lines wants, with
  // weekday names that repeat, are short or are too long, and a day from 0
  // to 32.
  static const uint8_t kFirst[] = "x\n", kLast[] = "\n#################################################################";
  std::vector<uint8_t> padded(kFirst, kFirst + sizeof kFirst - 1);
  padded.insert(padded.end(), data, data + size);
  padded.insert(padded.end(), kLast, kLast + sizeof kLast - 1);
  WeekdayNames names;
  memset(&names, 0, sizeof names);
  const char* odd[7] = {"Sun", "mo", "TUE", "Tue", "Thursday", "F", "sAt"};
  for (int i = 0; i < 7; ++i) memcpy(names.name[i], odd[i], strlen(odd[i]));
  CheckLookups(padded.data(), padded.size(), &names, size > 1 ? data[1] % 33 : 16, listSize, {0});
  return 0;
}
