#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/native/today_equinox_table.h"
#include "today/era.h"

namespace {

// The sample era file's lines; names are two Shift-JIS characters.
const char kEras[] =
    "# eras\r\n"
    "\x96\xBE\x8E\xA1 1868/1/1 1912/7/29 Mm\r\n"      // Meiji
    "\x91\xE5\x90\xB3 1912/7/30 1926/12/24 Tt\r\n"    // Taisho
    "\x8F\xBA\x98\x61 1926/12/25 1989/1/7 Ss\r\n"     // Showa
    "\x95\xBD\x90\xAC 1989/1/8 2019/4/30 Hh  # \x95\xBD\r\n"  // Heisei
    "\x97\xDF\x98\x61 2019/5/1 9999/12/31 Rr";        // Reiwa, no line end

EraTable ParseEras(const std::string& text) {
  EraTable table;
  EraTableClear(&table);
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  EraTableParse(&table, buffer.data());
  return table;
}

struct EraCase {
  char letter;
  uint16_t n;
  uint16_t expected;
};

void CheckLookups(const EraTable& table, const char* what, const EraCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(cases[i].expected, EraTableLookup(&table, cases[i].letter, cases[i].n))
        << what << ": letter '" << cases[i].letter << "' (" << (int)(unsigned char)cases[i].letter
        << ") year " << cases[i].n;
  }
}

}  // namespace

TEST(TodayEra, LookupInSampleTable) {
  EraTable table = ParseEras(kEras);
  const EraCase cases[] = {
      {'H', 11, 1999}, {'h', 11, 1999}, {'S', 64, 1989}, {'s', 1, 1926}, {'M', 1, 1868},
      {'T', 15, 1926}, {'R', 8, 2026},  {'r', 1, 2019},  {'H', 0, 1988},  {'H', 65535, 1987},
      {'5', 3, 3},     {'X', 3, 3},     {'*', 3, 3},     {'\xE0', 7, 7},  {'\0', 9, 9},
  };
  CheckLookups(table, "sample eras", cases, sizeof cases / sizeof cases[0]);
}

TEST(TodayEra, LinesThatDoNotMatch) {
  struct {
    const char* line;
    char letter;
    uint16_t expected;
  } cases[] = {
      {"\x95\xBD\x90\xAC 1989/1/8 2019/4/30 Hh", 'H', 1999},
      {"\x95\xBD\x90\xAC  1989/1/8 2019/4/30 Hh", 'H', 11},  // two blanks
      {"\x95\xBD 1989/1/8 2019/4/30 Hh", 'H', 11},           // 2-byte name
      {"\x95\xBD\x90\xAC 1989/1/8 2019/4/30 H", 'H', 11},     // one letter
      {"\x95\xBD\x90\xAC 1989/1/8 2019/4/30 Hhx trailing", 'h', 1999},
      {"#\x95\xBD\x90\xAC 1989/1/8 2019/4/30 Hh", 'H', 11},
      {"HEIS 1989/1/8 2019/4/30 Hh", 'H', 1999},
      {"\x95\xBD\x90\xAC 1989/1 2019/4/30 Hh", 'H', 11},
      {"", 'H', 11},
  };
  for (auto& c : cases) {
    EraTable table = ParseEras(c.line);
    EXPECT_EQ(c.expected, EraTableLookup(&table, c.letter, 11)) << "line \"" << c.line << "\"";
  }
}

TEST(TodayEra, FirstLineWinsPerLetter) {
  EraTable table = ParseEras("AAAA 1900/1/1 1910/1/1 Xy\r\nBBBB 1950/1/1 1960/1/1 Yz\r\n");
  const EraCase cases[] = {{'X', 1, 1900}, {'y', 1, 1900}, {'Y', 1, 1950}, {'z', 1, 1950}};
  CheckLookups(table, "overlapping letters", cases, sizeof cases / sizeof cases[0]);
}

TEST(TodayEra, LineEnds) {
  // Without CRs the file is one line and only its first era counts.
  EraTable lfOnly = ParseEras("AAAA 1900/1/1 1910/1/1 Aa\nBBBB 1950/1/1 1960/1/1 Bb\n");
  const EraCase lfCases[] = {{'A', 2, 1901}, {'B', 2, 2}};
  CheckLookups(lfOnly, "LF-only file", lfCases, 2);
  // The byte after a CR is skipped even when it is no LF.
  EraTable crOnly = ParseEras("AAAA 1900/1/1 1910/1/1 Aa\rBBBBB 1950/1/1 1960/1/1 Bb\r");
  const EraCase crCases[] = {{'A', 2, 1901}, {'B', 2, 1951}};
  CheckLookups(crOnly, "CR-only file", crCases, 2);
}

namespace {

struct LoadCounter {
  int calls;
  int result;
};

int CountingLoad(EraTable* table, void* ctx) {
  LoadCounter* counter = static_cast<LoadCounter*>(ctx);
  ++counter->calls;
  std::vector<char> text(kEras, kEras + sizeof kEras);
  EraTableParse(table, text.data());
  return counter->result;
}

}  // namespace

TEST(TodayEra, CacheLoadsOnceAndOnlyForLetters) {
  LoadCounter counter = {0, 1};
  EraCache cache;
  EraCacheInit(&cache, CountingLoad, &counter);
  EXPECT_EQ(1999, EraCacheLookup(&cache, '1', 1999));
  EXPECT_EQ(0, counter.calls) << "a digit needs no era file";
  EXPECT_EQ(1999, EraCacheLookup(&cache, 'H', 11));
  EXPECT_EQ(2026, EraCacheLookup(&cache, 'R', 8));
  EXPECT_EQ(1, counter.calls) << "loaded once for two lookups";

  LoadCounter failing = {0, 0};
  EraCacheInit(&cache, CountingLoad, &failing);
  EXPECT_EQ(11, EraCacheLookup(&cache, 'H', 11)) << "a failed load is an empty table";
  EXPECT_EQ(8, EraCacheLookup(&cache, 'R', 8));
  EXPECT_EQ(1, failing.calls);
}

TEST(TodayEquinox, EveryYearOfTheTable) {
  for (int year = 1851; year <= 2150; ++year) {
    for (int month : {3, 9}) {
      EXPECT_EQ(PublishedEquinoxDay(year, month), EquinoxDayFromTable(kPublishedEquinox, year, month))
          << year << "/" << month;
    }
  }
}

TEST(TodayEquinox, DecodedExamplesAndRange) {
  for (const EquinoxExample& e : kEquinoxExamples) {
    EXPECT_EQ(e.march, EquinoxDayFromTable(kPublishedEquinox, e.year, 3)) << e.year << "/3";
    EXPECT_EQ(e.september, EquinoxDayFromTable(kPublishedEquinox, e.year, 9)) << e.year << "/9";
  }
  struct {
    uint16_t year, month;
  } outside[] = {{1850, 3}, {2151, 9}, {2000, 4}, {2000, 0}, {2000, 13}, {0, 3}, {65535, 9}};
  for (auto& c : outside) {
    EXPECT_EQ(0, EquinoxDayFromTable(kPublishedEquinox, c.year, c.month)) << c.year << "/" << c.month;
  }
  EXPECT_EQ(0, EquinoxDayFromTable(nullptr, 2000, 3)) << "no table";
}

TEST(TodayEquinox, ResourceFileHoldsThePublishedBytes) {
  std::string path = std::string(TARNIVEL_SOURCE_DIR) + "/resources/equinox.bin";
  FILE* f = fopen(path.c_str(), "rb");
  ASSERT_NE(nullptr, f) << path;
  unsigned char bytes[301];
  size_t n = fread(bytes, 1, sizeof bytes, f);
  fclose(f);
  ASSERT_EQ(300u, n) << path;
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(kPublishedEquinox[i], bytes[i]) << "year " << 1851 + i;
  }
}
