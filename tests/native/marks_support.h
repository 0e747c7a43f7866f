// Memory-backed table files, an era table and the equinox table for the
// holiday and schedule tests.
#pragma once

#include <stdio.h>
#include <string.h>

#include <string>

#include "marks_lists.h"
#include "text/memtable.h"
#include "text/textutil.h"
#include "today/era.h"

struct MemoryTable {
  std::string text;
  MemoryBytes bytes;
  TableFile file;

  explicit MemoryTable(const std::string& contents) : text(contents) {
    TableFileAttachMemory(&file, &bytes, text.data(), text.size());
  }
  MemoryTable(const MemoryTable&) = delete;
  MemoryTable& operator=(const MemoryTable&) = delete;
};

// Meiji to Reiwa, as the sample era file has them (names in ASCII).
inline const char* SampleEraText() {
  return "MEJI 1868/1/1 1912/7/29 Mm\r\n"
         "TASH 1912/7/30 1926/12/24 Tt\r\n"
         "SHOW 1926/12/25 1989/1/7 Ss\r\n"
         "HEIS 1989/1/8 2019/4/30 Hh\r\n"
         "REIW 2019/5/1 9999/12/31 Rr\r\n";
}

inline int LoadSampleEras(EraTable* table, void* ctx) {
  EraTableClear(table);
  std::string text = SampleEraText();
  EraTableParse(table, &text[0]);
  if (ctx) ++*static_cast<int*>(ctx);
  return 1;
}

inline uint16_t TestEquinoxDay(uint16_t year, uint16_t month) {
  static unsigned char table[300];
  static int loaded = 0;
  if (!loaded) {
    FILE* f = fopen(TARNIVEL_SOURCE_DIR "/resources/equinox.bin", "rb");
    loaded = f && fread(table, 1, sizeof table, f) == sizeof table ? 1 : -1;
    if (f) fclose(f);
  }
  return loaded == 1 ? EquinoxDayFromTable(table, year, month) : 0;
}
