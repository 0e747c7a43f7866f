// Schedule lines looked at before they are read, with either byte search,
// and the schedule file list read from the settings file in one call.
#include <initializer_list>

#include "marks_support.h"
#include "tests/common/tempfolder.h"
#include "text/bytescan.h"
#include "today/schedule.h"

TEST_F(MarksFiles, ScheduleLinesThatReadOtherwiseThanTheyLook) {
  UseSampleEras();
  SetScheduleFile(1, WriteTable("EDGES.TBL",
                                "2000/1/3 Plain\r\n"
                                "2000/1/4\r\n"                       // no text
                                "2000/1/5 #comment\r\n"              // no text
                                "2000/1/6 *Label\r\n"                // a label, no text
                                "2000/1/7 *\x8c\x9b Text\r\n"        // double-byte label
                                "2000/1/8 \x81\n2000/1/10 Tail\r\n"  // the line feed is a second byte
                                "2000/1/9 Next\r\n"
                                "1999/1/16 Other_year\r\n"
                                "2000/\r1/11 Dropped_CR\r\n"
                                "H12/1/12 Era\r\n"
                                "*5/1/13 Star_year\r\n" +            // '*' and a number: every year
                                    std::string("2000/1/14") + std::string(250, ' ') + "Past_the_limit\r\n" +
                                    "2000/1/15"));                  // no text, no line feed
  MonthKey key = MakeMonthKey(2000, 1);
  struct {
    int day;
    std::string list;
  } texts[] = {{7, "\x8c\x9b Text|"}, {8, "\x81\n2000/1/10|"}, {11, "Dropped CR|"}, {13, "Star year|"}, {14, ""}};
  for (int sse2 : {1, 0}) {
    SetByteScanSse2(sse2);
    DayMask mask = kMaskUnknown;
    ComputeScheduleMasks(&key, &mask, 1);
    EXPECT_EQ(Bits({3, 7, 8, 9, 11, 12, 13}), mask) << "SSE2 " << sse2 << ": got 0x" << std::hex << mask;
    for (auto& t : texts) {
      char out[64];
      CollectScheduleTexts(2000, 1, t.day, out, sizeof out);
      EXPECT_EQ(t.list, ShowList(out, sizeof out)) << "SSE2 " << sse2 << ", day " << t.day;
    }
  }
  SetByteScanSse2(-1);
}

TEST_F(MarksFiles, ScheduleFileListTakesOneProfileCall) {
  for (int i = 1; i <= 16; ++i)
    SetScheduleFile(i, WriteTable("S" + std::to_string(i) + ".TBL", "2000/1/1 F\r\n"));
  MonthKey key = MakeMonthKey(2000, 1);
  DayMask mask = 0;
  LONG calls = g_settingsCalls;
  ComputeScheduleMasks(&key, &mask, 1);
  EXPECT_EQ(1, g_settingsCalls - calls) << "the section, switch included";
  char out[64];
  calls = g_settingsCalls;
  EXPECT_EQ(16, CollectScheduleTexts(2000, 1, 1, out, sizeof out));
  EXPECT_EQ(1, g_settingsCalls - calls);
}

TEST(SettingsSnapshot, ReadsWhatTheProfileReadGives) {
  TempFolder folder("tarnivel_snapshot");
  ASSERT_TRUE(folder.Write("Tarnivel.ini",
                           "[$TodayTemp]\r\n"
                           "ScheduleFile1 = spaced value  \r\n"
                           "ScheduleFile2=\"quoted\"\r\n"
                           "ScheduleFile3='single'\r\n"
                           "ScheduleFile4=\"half\r\n"
                           "schedulefile2=second of the name\r\n"
                           "ScheduleFile5\r\n"
                           "ScheduleFile6=x=y\r\n"
                           ";ScheduleFile7=comment\r\n"
                           "ScheduleFile8=\"a\"b\"\r\n"
                           "[Other]\r\n"
                           "ScheduleFile9=elsewhere\r\n"));
  InitSettingsWith(folder.File("Tarnivel.dxl").c_str(), "Snapshot");
  const char* expected[] = {"spaced value", "quoted", "single", "\"half", "", "x=y", "", "a\"b", ""};
  SettingsSnapshot snapshot(IDS_SECTION_TODAYTEMP);
  for (int i = 1; i <= 9; ++i) {
    char read[64], single[64];
    snapshot.ReadIndexedString(IDS_KEY_SCHEDULEFILE, i, "", read, sizeof read);
    ReadIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, i, "", single, sizeof single);
    EXPECT_STREQ(expected[i - 1], read) << "ScheduleFile" << i;
    EXPECT_STREQ(single, read) << "ScheduleFile" << i;
  }
  char small[5];
  EXPECT_EQ(4u, snapshot.ReadIndexedString(IDS_KEY_SCHEDULEFILE, 1, "", small, sizeof small));
  EXPECT_STREQ("spac", small);
  const char* ints[] = {"0", "1", "42", " 7 ", "'3'", "", "-2", "0x10", "12abc", "x", "1234567890123", nullptr};
  for (const char* value : ints) {
    WritePrivateProfileStringA("$TodayTemp", "Schedule", value, SettingsFilePath());
    SettingsSnapshot section(IDS_SECTION_TODAYTEMP);
    EXPECT_EQ(ReadSettingInt(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULE, 5), section.ReadInt(IDS_KEY_SCHEDULE, 5))
        << (value ? value : "(none)");
  }
  InitSettings();
}
