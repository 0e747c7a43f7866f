#include <gtest/gtest.h>

#include <string>

#include "marks_support.h"
#include "today/schedule.h"

namespace {

const int kNone = kWeekdayNone;

}  // namespace

TEST(MarksScheduleParse, DateFieldForms) {
  struct {
    const char* line;
    int year, month, day, weekday;
    const char* label;
    const char* text;
  } cases[] = {
      {"1999/12/25 Christmas_Party", 1999, 12, 25, kNone, "", "Christmas Party"},
      {"*/12/25 Christmas", 0, 12, 25, kNone, "", "Christmas"},
      {"*/*/* Every_day", 0, 0, 0, kNone, "", "Every day"},
      {"*/*/Mon *Gym Weekly_workout", 0, 0, 0, 1, "Gym", "Weekly workout"},
      {"*/*/2Sun Meeting", 0, 0, 2, 0, "", "Meeting"},
      {"*/*/5Sun Meeting", 0, 0, 5, 0, "", "Meeting"},
      {"*/*/0Sat Every_Saturday", 0, 0, 0, 6, "", "Every Saturday"},
      {"*/*/Sunday Service", 0, 0, 0, 0, "", "Service"},
      {"*/*/SUN Service", 0, 0, 0, 0, "", "Service"},
      {"*/*/sun Service", 0, 0, 0, 0, "", "Service"},
      {"*/*/3wed Third", 0, 0, 3, 3, "", "Third"},
      {"1999/0/10 Pay_day", 1999, 0, 10, kNone, "", "Pay day"},
      {"1999/*/10 Pay_day", 1999, 0, 10, kNone, "", "Pay day"},
      {"H11/4/1 Era_year", 1999, 4, 1, kNone, "", "Era year"},
      {"r1/5/1 Reiwa", 2019, 5, 1, kNone, "", "Reiwa"},
      {"X5/1/1 No_such_era", 5, 1, 1, kNone, "", "No such era"},
      {"*/*/32 Past_the_month", 0, 0, 32, kNone, "", "Past the month"},
      {"*/1/1 *123456789012345 Long_label", 0, 1, 1, kNone, "123456789012", "Long label"},
      {"*/1/1 * Empty_label", 0, 1, 1, kNone, "", "Empty label"},
      {"*/1/1\t*L\tText more fields", 0, 1, 1, kNone, "L", "Text"},
      // Eleven bytes then a double-byte character: the label keeps eleven.
      {"*/1/1 *12345678901\x93\xfa Text", 0, 1, 1, kNone, "12345678901", "Text"},
  };
  for (auto& c : cases) {
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    std::string line = c.line;
    ScheduleEntry e;
    ASSERT_TRUE(ParseScheduleLine(&line[0], &e, &eras, nullptr)) << c.line;
    EXPECT_EQ(c.year, e.year) << c.line;
    EXPECT_EQ(c.month, e.month) << c.line;
    EXPECT_EQ(c.day, e.day) << c.line;
    EXPECT_EQ(c.weekday, e.weekday) << c.line;
    EXPECT_STREQ(c.label, e.label) << c.line;
    EXPECT_STREQ(c.text, e.text) << c.line;
  }
}

TEST(MarksScheduleParse, RejectedLines) {
  const char* cases[] = {
      "0/1/1 New_Year",  "1999/12 Text", "1999/12/25",    "*/*/* *Label", "*/*/Son Service",
      "*/*/0 Zero_day",  "*/x/1 Text",   "1999/*/ Text",  "X0/1/1 Era",   "*/*/S Short",
      "*/*/25xy Trailer", "1999 Text",   "",              "   ",          "*/*/Su Two",
  };
  for (const char* c : cases) {
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    std::string line = c;
    ScheduleEntry e;
    EXPECT_FALSE(ParseScheduleLine(&line[0], &e, &eras, nullptr)) << "line \"" << c << "\"";
  }
}

TEST(MarksScheduleParse, WeekdayNamesPassedIn) {
  WeekdayNames names;
  WeekdayNamesDefault(&names);
  memcpy(names.name[1], "Lun", 4);
  std::string line = "*/*/lundi Text", english = "*/*/Mon Text";
  ScheduleEntry e;
  ASSERT_TRUE(ParseScheduleLine(&line[0], &e, nullptr, &names));
  EXPECT_EQ(1, e.weekday);
  EXPECT_FALSE(ParseScheduleLine(&english[0], &e, nullptr, &names));
}

TEST(MarksScheduleMasks, OneKey) {
  struct {
    const char* line;
    int year, month;
    uint32_t expected;
  } cases[] = {
      {"1999/12/25 Christmas_Party", 1999, 12, Bits({25})},
      {"1999/12/25 Christmas_Party", 1998, 12, 0},
      {"1999/12/25 Christmas_Party", 1999, 11, 0},
      {"*/12/25 Christmas", 1650, 12, Bits({25})},
      {"*/*/* Always", 2024, 2, kMaskEveryDay},
      {"*/*/Mon *Gym Workout", 1998, 2, Bits({2, 9, 16, 23})},
      {"*/*/2Sun Meeting", 1998, 2, Bits({8})},
      {"*/*/5Sun Meeting", 1998, 5, Bits({31})},
      {"*/*/5Sun Meeting", 1998, 2, 0},  // only four Sundays
      {"*/*/Sun Service", 1997, 8, Bits({3, 10, 17, 24, 31})},
      {"*/*/1Sat First", 1997, 8, Bits({2})},
      {"*/*/1Fri First", 1997, 8, Bits({1})},
      {"*/*/32 Never", 1997, 8, 0},
      {"1999/0/10 Pay_day", 1999, 7, Bits({10})},
      {"H11/*/1 Era", 1999, 3, Bits({1})},
      {"H11/*/1 Era", 11, 3, 0},
  };
  for (auto& c : cases) {
    MemoryTable table(c.line);
    EraCache eras;
    EraCacheInit(&eras, LoadSampleEras, nullptr);
    MonthKey key = MakeMonthKey(c.year, c.month);
    DayMask mask = 0;
    MarkScheduleFile(&table.file, &eras, nullptr, &key, &mask, 1);
    EXPECT_EQ(c.expected, mask) << "\"" << c.line << "\" for " << c.year << "/" << c.month
                                << ": expected 0x" << std::hex << c.expected << ", got 0x" << mask;
  }
}

// The reader keeps 256 bytes of a line and no half of a double-byte
// character: a text that would start with one at byte 255 is no text.
TEST(MarksScheduleMasks, TextAtTheLineLimit) {
  struct { int blanks; const char* text; uint32_t expected; } cases[] = {
      {245, "\x82\xa0", 0}, {244, "\x82\xa0", Bits({25})}, {245, "x", Bits({25})}, {246, "x", 0}};
  for (auto& c : cases) {
    MemoryTable table("1999/12/25" + std::string(c.blanks, ' ') + c.text + "\n");
    MonthKey key = MakeMonthKey(1999, 12);
    DayMask mask = 0;
    MarkScheduleFile(&table.file, nullptr, nullptr, &key, &mask, 1);
    EXPECT_EQ(c.expected, mask) << c.blanks << " blanks, then \"" << c.text << "\"";
  }
}

TEST(MarksScheduleMasks, WholeFileTwoKeysOneEraRead) {
  MemoryTable table(
      "# office\n"
      "H11/12/24 Eve\n"
      "H12/1/3 Back\n"
      "*/*/2Sun Meeting\n"
      "*/1/1 New_Year\n"
      "bad line\n");
  int eraLoads = 0;
  EraCache eras;
  EraCacheInit(&eras, LoadSampleEras, &eraLoads);
  MonthKey keys[2] = {MakeMonthKey(1999, 12), MakeMonthKey(2000, 1)};
  DayMask masks[2] = {0, 0};
  MarkScheduleFile(&table.file, &eras, nullptr, keys, masks, 2);
  EXPECT_EQ(Bits({12, 24}), masks[0]);  // second Sunday of December 1999 is the 12th
  EXPECT_EQ(Bits({1, 3, 9}), masks[1]);
  EXPECT_EQ(1, eraLoads);
}

TEST(MarksScheduleTexts, OneDate) {
  const char* file =
      "*/*/Mon *Gym Weekly_workout\n"
      "*/*/2Mon Second_Monday\n"
      "1998/2/9 Dentist\n"
      "*/2/* February\n"
      "1998/3/9 Not_this_month\n";
  struct {
    int year, month, day, count;
    const char* list;
  } cases[] = {
      {1998, 2, 9, 4, "Gym Weekly workout|Second Monday|Dentist|February|"},
      {1998, 2, 2, 2, "Gym Weekly workout|February|"},
      {1998, 2, 10, 1, "February|"},
      {1998, 3, 9, 3, "Gym Weekly workout|Second Monday|Not this month|"},
      {1998, 3, 10, 0, ""},
  };
  for (auto& c : cases) {
    MemoryTable table(file);
    char out[128];
    memset(out, 'x', sizeof out);
    StringList list;
    StringListInit(&list, out, sizeof out);
    int count = CollectScheduleFileTexts(&table.file, nullptr, nullptr, c.year, c.month, c.day, &list);
    StringListFinish(&list);
    EXPECT_EQ(c.count, count) << c.year << "/" << c.month << "/" << c.day;
    EXPECT_EQ(c.list, ShowList(out, sizeof out)) << c.year << "/" << c.month << "/" << c.day;
  }
}

TEST(MarksScheduleTexts, ListCutAtTheLimit) {
  struct {
    const char* file;
    int size, count;
    std::string bytes;
  } cases[] = {
      // Label, blank and text share the usable end at size - 2.
      {"*/*/* *Lab Text\n*/*/* Next\n", 10, 1, std::string("Lab Tex\0\0x", 10)},
      {"*/*/* *Lab Text\n*/*/* Next\n", 11, 1, std::string("Lab Text\0\0x", 11)},
      {"*/*/* *Lab Text\n*/*/* Next\n", 12, 2, std::string("Lab Text\0\0\0x", 12)},
      // The label fills the list: the entry and the list still end.
      {"*/*/* *Label Text\n", 7, 1, std::string("Labe\0\0x", 7)},
      {"*/*/* *Label Text\n", 8, 1, std::string("Label\0\0x", 8)},
      {"*/*/* Text\n", 2, 0, std::string("\0x", 2)},
  };
  for (auto& c : cases) {
    MemoryTable table(c.file);
    char out[32];
    memset(out, 'x', sizeof out);
    StringList list;
    StringListInit(&list, out, c.size);
    int count = CollectScheduleFileTexts(&table.file, nullptr, nullptr, 2000, 1, 1, &list);
    StringListFinish(&list);
    EXPECT_EQ(c.count, count) << "\"" << c.file << "\" size " << c.size;
    EXPECT_EQ(c.bytes, std::string(out, c.bytes.size())) << "\"" << c.file << "\" size " << c.size;
  }
}
