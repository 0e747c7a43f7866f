// Holiday table and schedule files through $TodayTemp, with real files.
#include "marks_support.h"
#include "today/holiday.h"
#include "today/markfiles.h"
#include "today/schedule.h"

TEST_F(MarksFiles, HolidayMasksFromTheTable) {
  UseSampleEras();
  SetTable(IDS_KEY_HOLIDAYTBL, WriteTable("HOLIDAY.TBL",
                                         "# holidays\r\n"
                                         "12/23 H1-H30 Birthday\r\n"
                                         "12/31 1990- Eve\r\n"
                                         "1/1 1949- New_Year\r\n"
                                         "3/0 1949- Vernal\r\n"
                                         "1/15 1949-1999 Adults\r\n"));
  // Era years from GENGO.TBL, the equinox from the resource.
  struct {
    int year, month;
    uint32_t expected;
  } cases[] = {{2019, 12, Bits({31})}, {1999, 3, Bits({21, 22})}, {1999, 1, Bits({1, 15})}};
  for (auto& c : cases) {
    MonthKey key = MakeMonthKey(c.year, c.month);
    DayMask mask = kMaskUnknown;
    EXPECT_EQ(1, ComputeHolidayMasks(&key, &mask, 1));
    EXPECT_EQ(c.expected, mask) << c.year << "/" << c.month << ": expected 0x" << std::hex
                                << c.expected << ", got 0x" << mask;
  }
  MonthKey keys[2] = {MakeMonthKey(2000, 12), MakeMonthKey(2001, 1)};
  DayMask masks[2] = {kMaskUnknown, kMaskUnknown};
  ComputeHolidayMasks(keys, masks, 2);
  EXPECT_EQ(Bits({23, 31}), masks[0]);
  EXPECT_EQ(Bits({1}), masks[1]);
}

TEST_F(MarksFiles, HolidayNamesWithTheSubstituteFromTheStringTable) {
  SetTable(IDS_KEY_HOLIDAYTBL,
           WriteTable("HOLIDAY.TBL", "5/3 1948- Constitution_Day\r\n5/3 1948- \x8c\x9b\x96\x40\r\n"));
  char out[64];
  struct {
    int day, count;
    std::string list;
  } cases[] = {
      {3, 2, std::string("Constitution Day|\x8c\x9b\x96\x40|")},
      {4, 2, std::string(kSubstituteName) + "|" + kSubstituteName + "|"},
      {5, 0, ""},
  };
  for (auto& c : cases) {
    memset(out, 'x', sizeof out);
    EXPECT_EQ(c.count, CollectHolidayNames(1998, 5, c.day, out, sizeof out)) << "1998/5/" << c.day;
    EXPECT_EQ(c.list, ShowList(out, sizeof out)) << "1998/5/" << c.day;
  }
}

TEST_F(MarksFiles, HolidayTableMissing) {
  SetTable(IDS_KEY_HOLIDAYTBL, dir_ + "NOWHERE.TBL");
  MonthKey keys[2] = {MakeMonthKey(1998, 5), MakeMonthKey(1998, 6)};
  DayMask masks[2] = {kMaskUnknown, kMaskUnknown};
  EXPECT_EQ(0, ComputeHolidayMasks(keys, masks, 2));
  EXPECT_EQ(0u, masks[0]);
  EXPECT_EQ(0u, masks[1]);
  char out[8];
  memset(out, 'x', sizeof out);
  EXPECT_EQ(0, CollectHolidayNames(1998, 5, 3, out, sizeof out));
  EXPECT_EQ(0, out[0]);
}

TEST_F(MarksFiles, ScheduleFilesListedInOrderUpToTheFirstGap) {
  UseSampleEras();
  SetScheduleFile(1, WriteTable("ONE.TBL", "H11/12/24 *Home Eve\r\n*/*/2Sun Meeting\r\n"));
  SetScheduleFile(2, dir_ + "MISSING.TBL");  // listed but absent: skipped
  SetScheduleFile(3, WriteTable("THREE.TBL", "1999/12/24 Third\r\n"));
  SetScheduleFile(5, WriteTable("FIVE.TBL", "1999/12/1 After_the_gap\r\n"));
  MonthKey key = MakeMonthKey(1999, 12);
  DayMask mask = kMaskUnknown;
  EXPECT_EQ(1, ComputeScheduleMasks(&key, &mask, 1));
  EXPECT_EQ(Bits({12, 24}), mask);
  char out[64];
  EXPECT_EQ(2, CollectScheduleTexts(1999, 12, 24, out, sizeof out));
  EXPECT_EQ("Home Eve|Third|", ShowList(out, sizeof out));
}

TEST_F(MarksFiles, AtMostSixteenScheduleFiles) {
  for (int i = 1; i <= 17; ++i) {
    SetScheduleFile(i, WriteTable("S" + std::to_string(i) + ".TBL",
                                 "2000/1/" + std::to_string(i) + " F" + std::to_string(i) + "\r\n"));
  }
  MonthKey key = MakeMonthKey(2000, 1);
  DayMask mask = 0;
  ComputeScheduleMasks(&key, &mask, 1);
  uint32_t first16 = 0;
  for (int d = 1; d <= 16; ++d) first16 |= 1u << d;
  EXPECT_EQ(first16, mask);
  char out[16];
  EXPECT_EQ(0, CollectScheduleTexts(2000, 1, 17, out, sizeof out));
}

TEST_F(MarksFiles, SchedulesSwitchedOff) {
  SetScheduleFile(1, WriteTable("ONE.TBL", "*/*/* Always\r\n"));
  WriteSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 0);
  MonthKey keys[2] = {MakeMonthKey(2000, 1), MakeMonthKey(2000, 2)};
  DayMask masks[2] = {kMaskUnknown, kMaskUnknown};
  LONG opens = g_markFileOpens;
  EXPECT_EQ(0, ComputeScheduleMasks(keys, masks, 2));
  EXPECT_EQ(0u, masks[0]);
  EXPECT_EQ(0u, masks[1]);
  char out[16];
  memset(out, 'x', sizeof out);
  EXPECT_EQ(0, CollectScheduleTexts(2000, 1, 1, out, sizeof out));
  EXPECT_EQ(0, out[0]);
  EXPECT_EQ(opens, g_markFileOpens) << "no file is opened";
  WriteSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 1);
  EXPECT_EQ(1, ComputeScheduleMasks(keys, masks, 2));
  EXPECT_EQ(kMaskEveryDay, masks[0]);
}

TEST_F(MarksFiles, PerMonthFilesForDecemberAndJanuary) {
  WriteTable("S199912.TBL", "*/*/25 Dec_file\r\n2000/1/5 Dec_file_for_January\r\n");
  WriteTable("S200001.TBL", "*/*/3 Jan_file\r\n");
  SetScheduleFile(1, dir_ + "S%Y%M%D.TBL");
  MonthKey keys[2] = {MakeMonthKey(1999, 12), MakeMonthKey(2000, 1)};
  DayMask masks[2] = {0, 0};
  LONG opens = g_markFileOpens;
  ComputeScheduleMasks(keys, masks, 2);
  EXPECT_EQ(2, g_markFileOpens - opens) << "one file per month";
  // Each month's file is matched against both months.
  EXPECT_EQ(Bits({3, 25}), masks[0]);
  EXPECT_EQ(Bits({3, 5, 25}), masks[1]);
  char out[64];
  EXPECT_EQ(1, CollectScheduleTexts(1999, 12, 25, out, sizeof out));
  EXPECT_EQ("Dec file|", ShowList(out, sizeof out));
  EXPECT_EQ(1, CollectScheduleTexts(2000, 1, 3, out, sizeof out));
  EXPECT_EQ("Jan file|", ShowList(out, sizeof out));
  EXPECT_EQ(0, CollectScheduleTexts(2000, 1, 5, out, sizeof out)) << "the January file only";
  // A pattern without the month names one file for both: read once.
  WriteTable("Y1999.TBL", "*/*/7 Yearly\r\n");
  SetScheduleFile(1, dir_ + "Y%Y.TBL");
  keys[1] = MakeMonthKey(1999, 11);
  opens = g_markFileOpens;
  ComputeScheduleMasks(keys, masks, 2);
  EXPECT_EQ(1, g_markFileOpens - opens);
  EXPECT_EQ(Bits({7}), masks[0]);
  EXPECT_EQ(Bits({7}), masks[1]);
}

TEST_F(MarksFiles, TextsCutAtTheLimitAcrossFiles) {
  SetScheduleFile(1, WriteTable("A.TBL", "*/*/* *Lab Text\r\n"));
  SetScheduleFile(2, WriteTable("B.TBL", "*/*/* Next\r\n"));
  char out[16];
  memset(out, 'x', sizeof out);
  EXPECT_EQ(1, CollectScheduleTexts(2000, 1, 1, out, 10));
  EXPECT_EQ(std::string("Lab Tex\0\0x", 10), std::string(out, 10));
  LONG opens = g_markFileOpens;
  CollectScheduleTexts(2000, 1, 1, out, 10);
  EXPECT_EQ(1, g_markFileOpens - opens) << "a full list reads no further file";
}

// Files larger than a block are read whole through one buffer that the
// files of a computation share; a smaller file after a larger one reuses it.
TEST_F(MarksFiles, LargeScheduleFilesReadWhole) {
  auto filler = [](int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += "1998/1/" + std::to_string(i % 28 + 1) + " \x89\xef\x8b\x63_filler\r\n";
    return text;
  };
  SetScheduleFile(1, WriteTable("LARGE.TBL", filler(2000) + "1999/12/5 Large_end\r\n"));
  SetScheduleFile(2, WriteTable("SMALL.TBL", "1999/12/9 Small_start\r\n" + filler(300) + "*/12/13 \x89\xef\r\n"));
  SetScheduleFile(3, WriteTable("MIDDLE.TBL", filler(900) + "1999/12/9 Middle\r\n"));
  MonthKey key = MakeMonthKey(1999, 12);
  DayMask mask = 0;
  LONG opens = g_markFileOpens;
  EXPECT_EQ(1, ComputeScheduleMasks(&key, &mask, 1));
  EXPECT_EQ(3, g_markFileOpens - opens);
  EXPECT_EQ(Bits({5, 9, 13}), mask);
  char out[64];
  EXPECT_EQ(2, CollectScheduleTexts(1999, 12, 9, out, sizeof out));
  EXPECT_EQ("Small start|Middle|", ShowList(out, sizeof out));
  EXPECT_EQ(1, CollectScheduleTexts(1999, 12, 13, out, sizeof out));
  EXPECT_EQ("\x89\xef|", ShowList(out, sizeof out));
}
