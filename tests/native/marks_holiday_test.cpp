#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "marks_support.h"
#include "today/holiday.h"

TEST(MarksHolidayParse, AcceptedLines) {
  struct {
    const char* line;
    int month, day, first, last;
    const char* name;
  } cases[] = {
      {"2/11 1967- National_Foundation_Day", 2, 11, 1967, 9999, "National Foundation Day"},
      {"1/15 1949-1999 Adults_Day", 1, 15, 1949, 1999, "Adults Day"},
      {"3/0 1949- Vernal_Equinox_Day", 3, 0, 1949, 9999, "Vernal Equinox Day"},
      {"4/10 1959 Wedding", 4, 10, 1959, 1959, "Wedding"},  // a bare year is that year alone
      {"2/30 1949- Name", 2, 30, 1949, 9999, "Name"},
      {"5/3\t1948-  Constitution_Day extra", 5, 3, 1948, 9999, "Constitution Day"},
      {"2/11 S42- Foundation", 2, 11, 1967, 9999, "Foundation"},
      {"4/29 s64-H18 Green", 4, 29, 1989, 2006, "Green"},
      {"1/1 1989-h1 Eras", 1, 1, 1989, 1989, "Eras"},
      {"7/1 X5-1999 Unknown_letter", 7, 1, 5, 1999, "Unknown letter"},
      {"6/1 2000- A\\41B", 6, 1, 2000, 9999, "AAB"},
  };
  for (auto& c : cases) {
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    std::string line = c.line;
    HolidayEntry e;
    ASSERT_TRUE(ParseHolidayLine(&line[0], &e, &eras)) << c.line;
    EXPECT_EQ(c.month, e.month) << c.line;
    EXPECT_EQ(c.day, e.day) << c.line;
    EXPECT_EQ(c.first, e.firstYear) << c.line;
    EXPECT_EQ(c.last, e.lastYear) << c.line;
    EXPECT_STREQ(c.name, e.name) << c.line;
  }
}

TEST(MarksHolidayParse, EraYearsWithoutEraTableStayAsWritten) {
  std::string line = "2/11 S42-H3 Foundation";
  HolidayEntry e;
  ASSERT_TRUE(ParseHolidayLine(&line[0], &e, nullptr));
  EXPECT_EQ(42, e.firstYear);
  EXPECT_EQ(3, e.lastYear);
}

TEST(MarksHolidayParse, RejectedLines) {
  const char* cases[] = {
      "13/1 1949 Name", "0/1 1949 Name",  "2/32 1949 Name", "2/-1 1949 Name", "2/1 1949",
      "2/1",            "",               "   ",            "2 1949 Name",    "x/1 1949 Name",
      "2/1 H0 Name",    "2/1 1949-X0 Name", "2/1 H 1949 Name",
  };
  for (const char* c : cases) {
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    std::string line = c;
    HolidayEntry e;
    EXPECT_FALSE(ParseHolidayLine(&line[0], &e, &eras)) << "line \"" << c << "\"";
  }
}

TEST(MarksHolidayMasks, OneKey) {
  struct {
    const char* table;
    int year, month;
    uint32_t expected;
  } cases[] = {
      // 3 May 1998 is a Sunday: the 4th is its substitute.
      {"5/3 1948- Constitution_Day", 1998, 5, Bits({3, 4})},
      // A Sunday before 12 April 1973 has none; 29 April 1973 has one.
      {"5/3 1948- Constitution_Day", 1970, 5, Bits({3})},
      {"4/8 1973 Early", 1973, 4, Bits({8})},
      {"4/29 1949- Birthday", 1973, 4, Bits({29, 30})},
      {"3/0 1949- Vernal", 2000, 3, Bits({20})},
      {"3/0 1949- Vernal", 1999, 3, Bits({21, 22})},
      {"3/0 1949- Vernal", 2151, 3, 0},
      {"9/0 1948- Autumnal", 2012, 9, Bits({22})},
      // Sunday 31 August 1997: nothing past the month, day 1 of September.
      {"8/31 1990- Test", 1997, 8, Bits({31})},
      {"8/31 1990- Test", 1997, 9, Bits({1})},
      // Sunday 31 December 2000: 1 January 2001.
      {"12/31 1990- Eve", 2001, 1, Bits({1})},
      {"12/31 1990-2000 Eve", 2001, 1, 0},  // years are tested on the shown month
      {"1/15 1949-1999 Adults_Day", 2000, 1, 0},
      {"1/15 1949-1999 Adults_Day", 1999, 1, Bits({15})},
      {"1/15 1949- X", 2025, 1, Bits({15})},
      {"1/15 1949 Once", 1950, 1, 0},
      {"1/15 1949 Once", 1949, 1, Bits({15})},
      {"2/30 1949- Name", 2000, 2, Bits({30})},
      {"2/11 S42- Foundation", 1966, 2, 0},
      {"2/11 S42- Foundation", 1967, 2, Bits({11})},
      {"# comment only\n\n2/1 1949\n13/1 1949 Bad\n", 2000, 2, 0},
      {"1/1 1949- A\n1/1 1949- B\n1/2 1949- C\n", 2001, 1, Bits({1, 2})},
  };
  for (auto& c : cases) {
    MemoryTable table(c.table);
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    MonthKey key = MakeMonthKey(c.year, c.month);
    DayMask mask = kMaskUnknown;
    MarkHolidayTable(&table.file, &eras, TestEquinoxDay, &key, &mask, 1);
    EXPECT_EQ(c.expected, mask) << "table \"" << c.table << "\" for " << c.year << "/" << c.month
                                << ": expected 0x" << std::hex << c.expected << ", got 0x" << mask;
  }
}

TEST(MarksHolidayMasks, TwoKeysAcrossTheYearAndOneEraRead) {
  MemoryTable table(
      "12/31 1990- Eve\n1/1 1949- New_Year\n12/23 H1-H30 Birthday\n1/15 1949-1999 Adults\n");
  int eraLoads = 0;
  EraCache eras;
  EraCacheInit(&eras, LoadSampleEras, &eraLoads);
  MonthKey keys[2] = {MakeMonthKey(2000, 12), MakeMonthKey(2001, 1)};
  DayMask masks[2] = {kMaskUnknown, kMaskUnknown};
  MarkHolidayTable(&table.file, &eras, TestEquinoxDay, keys, masks, 2);
  EXPECT_EQ(Bits({23, 31}), masks[0]);
  EXPECT_EQ(Bits({1}), masks[1]);  // New Year and the substitute of the 31st share day 1
  EXPECT_EQ(1, eraLoads) << "the era table is read once per computation";
}

TEST(MarksHolidayNames, OneDate) {
  const char* table =
      "5/3 1948- Constitution_Day\n"
      "5/3 1998 Second_Name\n"
      "3/0 1949- Vernal\n"
      "8/31 1990- Test\n"
      "12/31 1990- Eve\n"
      "1/1 1949- New_Year\n";
  struct {
    int year, month, day;
    int count;
    const char* list;
  } cases[] = {
      {1998, 5, 3, 2, "Constitution Day|Second Name|"},
      {1998, 5, 4, 2, "SUBST|SUBST|"},  // one per line that falls on the Sunday
      {1970, 5, 4, 0, ""},
      {1999, 3, 21, 1, "Vernal|"},
      {1999, 3, 22, 1, "SUBST|"},
      {2000, 3, 20, 1, "Vernal|"},
      {2000, 3, 21, 0, ""},
      {1997, 9, 1, 1, "SUBST|"},
      {1998, 9, 1, 0, ""},
      {2001, 1, 1, 2, "SUBST|New Year|"},
      {2000, 1, 1, 1, "New Year|"},
  };
  for (auto& c : cases) {
    MemoryTable file(table);
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    char out[64];
    memset(out, 'x', sizeof out);
    int count = CollectHolidayTableNames(&file.file, &eras, TestEquinoxDay, "SUBST", c.year,
                                         c.month, c.day, out, sizeof out);
    EXPECT_EQ(c.count, count) << c.year << "/" << c.month << "/" << c.day;
    EXPECT_EQ(c.list, ShowList(out, sizeof out)) << c.year << "/" << c.month << "/" << c.day;
  }
}

TEST(MarksHolidayNames, ListCutAtTheUsableEnd) {
  struct {
    int size;
    int count;
    std::string bytes;  // what the buffer holds afterwards
  } cases[] = {
      // Two 8-byte names in 10 bytes: the first cut to 7, then the list end.
      {10, 1, std::string("ABCDEFG\0\0x", 10)},
      {20, 2, std::string("ABCDEFGH\0IJKLMNOP\0\0x", 20)},
      {3, 1, std::string("\0\0x", 3)},
      {2, 0, std::string("\0x", 2)},
      {1, 0, std::string("\0x", 2)},
      {0, 0, std::string("x", 1)},
  };
  for (auto& c : cases) {
    MemoryTable file("2/3 1949- ABCDEFGH\n2/3 1949- IJKLMNOP\n");
    char out[32];
    memset(out, 'x', sizeof out);
    int count = CollectHolidayTableNames(&file.file, nullptr, TestEquinoxDay, "S", 2000, 2, 3, out,
                                         c.size);
    EXPECT_EQ(c.count, count) << "size " << c.size;
    EXPECT_EQ(c.bytes, std::string(out, c.bytes.size())) << "size " << c.size;
  }
}

TEST(MarksHolidayNames, CutNeverSplitsADoubleByteCharacter) {
  // "\x90\x55\x91\xd6\x8b\x78\x93\xfa" is eight bytes of four characters.
  MemoryTable file("5/4 1998 \x90\x55\x91\xd6\x8b\x78\x93\xfa\n5/4 1998 Next\n");
  char out[16];
  memset(out, 'x', sizeof out);
  int count = CollectHolidayTableNames(&file.file, nullptr, TestEquinoxDay, "S", 1998, 5, 4, out, 9);
  EXPECT_EQ(1, count);
  EXPECT_EQ(std::string("\x90\x55\x91\xd6\x8b\x78\0\0", 8), std::string(out, 8));
}
