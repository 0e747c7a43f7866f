#include "today/era.h"

#include <string.h>

#include "text/strbasic.h"
#include "text/textutil.h"
#include "today/cnfparse.h"

namespace {

// A signed 4-bit offset: 0-7 as they are, 8-15 as -8 to -1.
int NibbleOffset(unsigned nibble) { return nibble < 8 ? (int)nibble : (int)nibble - 16; }

}  // namespace

void EraTableClear(EraTable* table) { memset(table, 0, sizeof *table); }

void EraTableParse(EraTable* table, char* text) {
  char* walk = text;
  while (char* line = TakeTextLine(&walk)) {
    char* hash = FindChar(line, '#');
    if (hash) *hash = '\0';
    TrimRight(line);
    char name[5];  // %4s stores four bytes and the terminator
    int32_t firstYear = 0, firstMonth = 0, firstDay = 0;
    int32_t lastYear = 0, lastMonth = 0, lastDay = 0;
    char letters[2] = {0, 0};
    if (ScanPattern(line, "%4s %d/%d/%d %d/%d/%d %c%c", name, &firstYear, &firstMonth, &firstDay, &lastYear,
                    &lastMonth, &lastDay, &letters[0], &letters[1]) != 9) {
      continue;
    }
    for (char letter : letters) {
      unsigned char slot = (unsigned char)letter;
      if (table->known[slot]) continue;
      table->known[slot] = 1;
      table->firstYear[slot] = (uint16_t)firstYear;
    }
  }
}

void EraCacheInit(EraCache* cache, EraLoadFn load, void* ctx) {
  EraTableClear(&cache->table);
  cache->state = 0;
  cache->load = load;
  cache->ctx = ctx;
}

uint16_t EraCacheLoadAndLookup(EraCache* cache, char letter, uint16_t n) {
  if (!IsEraLetter(letter)) return n;
  if (!cache->load || !cache->load(&cache->table, cache->ctx)) EraTableClear(&cache->table);
  cache->state = 1;
  return EraTableLookup(&cache->table, letter, n);
}

uint16_t EquinoxDayFromTable(const unsigned char* table, uint16_t year, uint16_t month) {
  if (month != 3 && month != 9) return 0;
  if (year < 1851 || year > 2150 || !table) return 0;
  unsigned char b = table[year - 1851];
  if (month == 3) return (uint16_t)(20 + NibbleOffset(b >> 4));
  return (uint16_t)(23 + NibbleOffset(b & 0x0F));
}
