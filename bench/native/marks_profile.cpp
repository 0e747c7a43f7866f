// The schedule marks of a two-month refresh and a full day lookup over the
// benchmark's data, the portable code alone, files read into memory first:
// for instruction counts with callgrind (scripts/profile.sh).
//   marks_profile <data folder> <equinox.bin> [runs] [words]   (words: the
//   four-byte searches of a processor without SSE2)
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "text/bytescan.h"
#include "text/memtable.h"
#include "today/era.h"
#include "today/holiday.h"
#include "today/schedule.h"

namespace {

std::string g_dir;

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  unsigned char block[65536];
  size_t n;
  while ((n = fread(block, 1, sizeof block, f)) > 0) bytes.insert(bytes.end(), block, block + n);
  fclose(f);
  return bytes;
}

int LoadEras(EraTable* table, void*) {
  std::vector<unsigned char> text = ReadAll(g_dir + "GENGO.TBL");
  text.push_back(0);
  EraTableClear(table);
  EraTableParse(table, reinterpret_cast<char*>(text.data()));
  return 1;
}

std::vector<unsigned char> g_equinox;
uint16_t Equinox(uint16_t year, uint16_t month) { return EquinoxDayFromTable(g_equinox.data(), year, month); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: marks_profile <data folder> <equinox.bin> [runs] [words]\n");
    return 2;
  }
  g_dir = std::string(argv[1]) + "/";
  g_equinox = ReadAll(argv[2]);
  int runs = argc > 3 ? atoi(argv[3]) : 5;
  if (argc > 4 && std::string(argv[4]) == "words") SetByteScanSse2(0);
  std::vector<std::vector<unsigned char>> files;
  char name[32];
  for (int i = 1; i <= 12; ++i) {
    snprintf(name, sizeof name, "SCHED%02d.TBL", i);
    files.push_back(ReadAll(g_dir + name));
  }
  for (int i = 13; i <= 16; ++i)
    for (const char* month : {"202612", "202701"}) {
      snprintf(name, sizeof name, "PM%02d_%s.TBL", i, month);
      files.push_back(ReadAll(g_dir + name));
    }
  std::vector<unsigned char> holidays = ReadAll(g_dir + "HOLIDAY.TBL");
  std::vector<unsigned char> buffer(1 << 20);
  MonthKey keys[2] = {MakeMonthKey(2026, 12), MakeMonthKey(2027, 1)};
  WeekdayNames names;
  WeekdayNamesDefault(&names);
  DayMask holidayMasks[2], scheduleMasks[2];
  for (int r = 0; r < runs; ++r) {
    TableFile file;
    MemoryBytes bytes;
    EraCache eras;
    EraCacheInit(&eras, LoadEras, nullptr);
    TableFileAttachMemory(&file, &bytes, holidays.data(), holidays.size());
    TableFileUseBuffer(&file, buffer.data(), (int)buffer.size());
    MarkHolidayTable(&file, &eras, Equinox, keys, holidayMasks, 2);
    EraCacheInit(&eras, LoadEras, nullptr);
    scheduleMasks[0] = scheduleMasks[1] = 0;
    for (const std::vector<unsigned char>& data : files) {
      TableFileAttachMemory(&file, &bytes, data.data(), data.size());
      TableFileUseBuffer(&file, buffer.data(), (int)buffer.size());
      MarkScheduleFile(&file, &eras, &names, keys, scheduleMasks, 2);
    }
  }
  // The full day lookup: 16 December 2026 in every file, each read to its end.
  std::vector<char> list(1 << 20);
  int texts = 0;
  for (int r = 0; r < runs; ++r) {
    TableFile file;
    MemoryBytes bytes;
    EraCache eras;
    EraCacheInit(&eras, LoadEras, nullptr);
    StringList texts16;
    StringListInit(&texts16, list.data(), (int)list.size());
    texts = 0;
    for (const std::vector<unsigned char>& data : files) {
      TableFileAttachMemory(&file, &bytes, data.data(), data.size());
      TableFileUseBuffer(&file, buffer.data(), (int)buffer.size());
      texts += CollectScheduleFileTexts(&file, &eras, &names, 2026, 12, 16, &texts16);
    }
    StringListFinish(&texts16);
  }
  printf("holidays %08x %08x, schedules %08x %08x, texts of the 16th %d\n", holidayMasks[0], holidayMasks[1],
         scheduleMasks[0], scheduleMasks[1], texts);
  return 0;
}
