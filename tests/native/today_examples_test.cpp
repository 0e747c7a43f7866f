// The sample data against the table readers: every line parses, and the
// holiday table gives the public holidays of a few well-known years.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/native/today_equinox_table.h"
#include "text/memtable.h"
#include "today/era.h"
#include "today/holiday.h"
#include "today/schedule.h"

namespace {

std::string ReadExample(const char* name) {
  std::string path = std::string(TARNIVEL_SOURCE_DIR) + "/examples/" + name;
  std::string text;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  fclose(f);
  return text;
}

int LoadSampleEras(EraTable* table, void*) {
  std::string text = ReadExample("GENGO.TBL");
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  EraTableParse(table, buffer.data());
  return !text.empty();
}

uint16_t PublishedEquinox(uint16_t year, uint16_t month) {
  return EquinoxDayFromTable(kPublishedEquinox, year, month);
}

// Every line of a sample table that is not a comment or blank.
std::vector<std::string> DataLines(const char* name) {
  std::string text = ReadExample(name);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line[0] != '#') lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

}  // namespace

TEST(TodayExamples, EveryLineParses) {
  EraCache eras;
  EraCacheInit(&eras, LoadSampleEras, nullptr);
  std::vector<std::string> holidays = DataLines("HOLIDAY.TBL");
  EXPECT_GT(holidays.size(), 150u);
  for (const std::string& line : holidays) {
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    HolidayEntry entry;
    EXPECT_TRUE(ParseHolidayLine(buffer.data(), &entry, &eras)) << "HOLIDAY.TBL: " << line;
  }
  for (const char* name : {"SCHEDULE.TBL", "S199802.TBL", "S202612.TBL", "S202701.TBL"}) {
    std::vector<std::string> lines = DataLines(name);
    EXPECT_FALSE(lines.empty()) << name;
    for (const std::string& line : lines) {
      std::vector<char> buffer(line.begin(), line.end());
      buffer.push_back('\0');
      ScheduleEntry entry;
      EXPECT_TRUE(ParseScheduleLine(buffer.data(), &entry, &eras, nullptr)) << name << ": " << line;
    }
  }
  EXPECT_EQ(1999, EraCacheLookup(&eras, 'H', 11));
  EXPECT_EQ(2026, EraCacheLookup(&eras, 'R', 8));
  EXPECT_EQ(1989, EraCacheLookup(&eras, 's', 64));
  EXPECT_EQ(1912, EraCacheLookup(&eras, 'T', 1));
  EXPECT_EQ(1868, EraCacheLookup(&eras, 'M', 1));
}

TEST(TodayExamples, HolidaysOfKnownYears) {
  // Public holidays and substitute days, month by month.
  struct {
    int year;
    std::vector<std::vector<int>> days;  // index 0 = January
  } years[] = {
      {1948, {{}, {}, {}, {}, {}, {}, {}, {}, {23}, {}, {3, 23}, {}}},
      {1973, {{1, 15}, {11}, {21}, {29, 30}, {3, 5}, {}, {}, {}, {15, 23, 24}, {10}, {3, 23}, {}}},
      {1998, {{1, 15}, {11}, {21}, {29}, {3, 4, 5}, {}, {20}, {}, {15, 23}, {10}, {3, 23}, {23}}},
      {2019,
       {{1, 14}, {11}, {21}, {29, 30}, {1, 2, 3, 4, 5, 6}, {}, {15}, {11, 12}, {16, 23}, {14, 22},
        {3, 4, 23}, {}}},
      {2020, {{1, 13}, {11, 23, 24}, {20}, {29}, {3, 4, 5, 6}, {}, {23, 24}, {10}, {21, 22}, {}, {3, 23}, {}}},
      {2021, {{1, 11}, {11, 23}, {20}, {29}, {3, 4, 5}, {}, {22, 23}, {8, 9}, {20, 23}, {}, {3, 23}, {}}},
      {2026, {{1, 12}, {11, 23}, {20}, {29}, {3, 4, 5, 6}, {}, {20}, {11}, {21, 22, 23}, {12}, {3, 23}, {}}},
      {2027, {{1, 11}, {11, 23}, {21, 22}, {29}, {3, 4, 5}, {}, {19}, {11}, {20, 23}, {11}, {3, 23}, {}}},
      // Past the years the table once ended at: Monday holidays, substitutes two days on,
      // a day between two holidays, up to the last year listed.
      {2036, {{1, 14}, {11, 23}, {20}, {29}, {3, 4, 5, 6}, {}, {21}, {11}, {15, 22}, {13}, {3, 23, 24}, {}}},
      {2037, {{1, 12}, {11, 23}, {20}, {29}, {3, 4, 5, 6}, {}, {20}, {11}, {21, 22, 23}, {12}, {3, 23}, {}}},
      {2099, {{1, 12}, {11, 23}, {20}, {29}, {3, 4, 5, 6}, {}, {20}, {11}, {21, 22, 23}, {12}, {3, 23}, {}}},
  };
  std::string table = ReadExample("HOLIDAY.TBL");
  ASSERT_FALSE(table.empty());
  for (auto& y : years) {
    MonthKey keys[12];
    DayMask masks[12];
    for (int m = 0; m < 12; ++m) keys[m] = MakeMonthKey(y.year, m + 1);
    MemoryBytes src;
    static TableFile file;
    TableFileAttachMemory(&file, &src, table.data(), table.size());
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    MarkHolidayTable(&file, &eras, PublishedEquinox, keys, masks, 12);
    for (int m = 0; m < 12; ++m) {
      DayMask expected = 0;
      for (int d : y.days[m]) expected |= 1u << d;
      EXPECT_EQ(expected, masks[m]) << y.year << "/" << m + 1 << ": expected 0x" << std::hex << expected
                                    << ", got 0x" << masks[m];
    }
  }
}
