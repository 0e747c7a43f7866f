// Era years (GENGO.TBL) and the built-in equinox table.
#pragma once

#include <stdint.h>

// What an era file says: for each letter byte, the first year of the first
// era line that carries it.
struct EraTable {
  uint8_t known[256];
  uint16_t firstYear[256];
};

void EraTableClear(EraTable* table);
// Reads every era line of a whole era file held in text (zero-terminated;
// the text is modified).
void EraTableParse(EraTable* table, char* text);
inline int IsEraLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// first year + n - 1 (16-bit) for a known letter; n unchanged for a letter
// that is not A-Z/a-z or that no era line carries.
inline uint16_t EraTableLookup(const EraTable* table, char letter, uint16_t n) {
  if (!IsEraLetter(letter)) return n;
  const unsigned char slot = (unsigned char)letter;
  return table->known[slot] ? (uint16_t)(table->firstYear[slot] + n - 1) : n;
}

// The era table read at most once per computation: loaded through load on
// the first lookup of an alphabetic letter. A failed load behaves as an
// empty table.
typedef int (*EraLoadFn)(EraTable* table, void* ctx);
struct EraCache {
  EraTable table;
  int state;  // 0 not loaded yet, 1 loaded (or failed)
  EraLoadFn load;
  void* ctx;
};
void EraCacheInit(EraCache* cache, EraLoadFn load, void* ctx);
uint16_t EraCacheLoadAndLookup(EraCache* cache, char letter, uint16_t n);
// Inline: schedule lines look up an era year each.
inline uint16_t EraCacheLookup(EraCache* cache, char letter, uint16_t n) {
  return cache->state ? EraTableLookup(&cache->table, letter, n) : EraCacheLoadAndLookup(cache, letter, n);
}

// Equinox day from a 300-byte table (1851-2150); 0 outside it.
uint16_t EquinoxDayFromTable(const unsigned char* table, uint16_t year, uint16_t month);

// Win32 side: RCDATA 101 (GENGO.TBL is read through a MarkReading).
uint16_t EquinoxDay(uint16_t year, uint16_t month);
