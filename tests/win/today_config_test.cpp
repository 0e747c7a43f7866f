// Loading TODAY.CNF into $TodayTemp, with real files and the real settings file.
#include <string>
#include <vector>

#include "tests/win/today_fixture.h"
#include "today/era.h"
#include "today/todayconfig.h"

namespace {

class TodayConfig : public TodayFiles {
 protected:
  void SetUp() override {
    TodayFiles::SetUp();
    tbl_ = MakeDir("tbl");
    WriteBytes(tbl_ + "\\HOLIDAY.TBL", "1/1 1949- New_Year\r\n");
    WriteBytes(tbl_ + "\\GENGO.TBL", "HEIS 1989/1/8 2019/4/30 Hh\r\n");
  }
  // Writes TODAY.CNF in the scratch folder and points "TodayCnf" at it.
  std::string UseCnf(const std::string& text) {
    std::string path = root_ + "\\TODAY.CNF";
    WriteBytes(path, text);
    WriteUser("TodayCnf", path.c_str());
    return path;
  }
  std::vector<std::string> TablesFound() {
    return {"GengoTbl=" + tbl_ + "\\GENGO.TBL", "HolidayTbl=" + tbl_ + "\\HOLIDAY.TBL"};
  }
  static std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
  std::string tbl_;
};

TEST_F(TodayConfig, FlagsWithoutBit0LeaveTheCacheEmpty) {
  UseCnf("schedule=yes\r\n");
  WriteUser("Flags", "2");
  WriteTemp("Schedule", "1");
  WriteTemp("GengoTbl", "X");
  EXPECT_EQ(1, LoadTodayConfig());
  EXPECT_EQ(std::vector<std::string>(), TempSection()) << Show(TempSection());
}

TEST_F(TodayConfig, CrLfFile) {
  WriteBytes(tbl_ + "\\A.TBL", "*/*/* a\r\n");
  WriteBytes(tbl_ + "\\B.TBL", "*/*/* b\r\n");
  UseCnf("# environment\r\n"
         "Schedule=YES\r\n"
         "schedule_file3=A.TBL\r\n"
         "schedule_file1=\r\n"
         "Schedule_file2=X.TBL\r\n"
         " table_path=C:/nowhere\r\n"
         "schedule_file9 = B.TBL   # second\r\n"
         "table_path=" + Forward(tbl_) + "\r\n"
         "$display\r\n"
         "schedule=no\r\n"
         "table_path=ignored\r\n");
  EXPECT_EQ(1, LoadTodayConfig());
  std::vector<std::string> expected = TablesFound();
  expected.insert(expected.end(), {"Schedule=1", "ScheduleFile1=" + tbl_ + "\\A.TBL",
                                   "ScheduleFile2=" + tbl_ + "\\B.TBL", "TablePath=" + Forward(tbl_)});
  EXPECT_EQ(Sorted(expected), TempSection()) << Show(TempSection());
}

TEST_F(TodayConfig, LfOnlyFileIsOneLine) {
  UseCnf("schedule=yes\nschedule_file1=A.TBL\ntable_path=" + Forward(tbl_) + "\n");
  EXPECT_EQ(1, LoadTodayConfig());
  EXPECT_EQ(std::vector<std::string>({"Schedule=0"}), TempSection()) << Show(TempSection());

  // The value runs across the line feeds; the settings file keeps it to one
  // line, so nothing after the first line feed becomes a key of its own.
  UseCnf("table_path=" + Forward(tbl_) + "\nschedule_file1=A.TBL\n[Other]\nProgram=x\n");
  EXPECT_EQ(1, LoadTodayConfig());
  std::vector<std::string> expected = TablesFound();
  expected.push_back("TablePath=" + Forward(tbl_));
  EXPECT_EQ(Sorted(expected), TempSection()) << Show(TempSection());
  char other[16];
  EXPECT_EQ(0u, GetPrivateProfileStringA("Other", "Program", "", other, sizeof other, SettingsFilePath()))
      << "no section injected into the settings file";

  UseCnf("$common\nschedule=yes\n");
  EXPECT_EQ(1, LoadTodayConfig());
  EXPECT_EQ(std::vector<std::string>(), TempSection()) << Show(TempSection());
}

TEST_F(TodayConfig, ResolutionWithMissingFiles) {
  WriteBytes(tbl_ + "\\A.TBL", "");
  WriteBytes(tbl_ + "\\C.TBL", "");
  UseCnf("table_path=" + Forward(tbl_) + "\r\n"
         "schedule_file1=A.TBL\r\n"
         "schedule_file2=MISSING.TBL\r\n"
         "schedule_file3=C.TBL\r\n"
         "schedule_file4=S%Y%M.TBL\r\n");
  EXPECT_EQ(1, LoadTodayConfig());
  struct {
    const char* key;
    std::string expected;
  } cases[] = {
      {"ScheduleFile1", tbl_ + "\\A.TBL"},
      {"ScheduleFile2", tbl_ + "\\C.TBL"},
      {"ScheduleFile3", "C.TBL"},
      {"ScheduleFile4", "S%Y%M.TBL"},
      {"ScheduleFile5", ""},
  };
  for (auto& c : cases) EXPECT_EQ(c.expected, ReadTemp(c.key)) << c.key;
}

TEST_F(TodayConfig, ScheduleNamesSearchedByTheirFirst39Bytes) {
  std::string first39 = "LONG_SCHEDULE_NAME_0123456789_ABCDEFGHI";
  ASSERT_EQ(39u, first39.size());
  std::string longName = first39 + "_TAIL.TBL";
  std::string otherLong = "ANOTHER_SCHEDULE_NAME_0123456789_ABCDEF_TAIL.TBL";
  WriteBytes(tbl_ + "\\" + first39, "");
  WriteBytes(tbl_ + "\\" + otherLong, "");
  UseCnf("table_path=" + Forward(tbl_) + "\r\nschedule_file1=" + longName + "\r\nschedule_file2=" + otherLong +
         "\r\n");
  EXPECT_EQ(1, LoadTodayConfig());
  EXPECT_EQ(tbl_ + "\\" + first39, ReadTemp("ScheduleFile1")) << "found by its first 39 bytes";
  EXPECT_EQ(otherLong, ReadTemp("ScheduleFile2")) << "the full name exists, its first 39 bytes do not";
}

TEST_F(TodayConfig, StaleTodayCnfIsSearchedAndWrittenBack) {
  WriteUser("TodayCnf", (root_ + "\\gone\\TODAY.CNF").c_str());
  WriteBytes(cwd_ + "\\TODAY.CNF", "schedule=no\r\n");
  EXPECT_EQ(1, LoadTodayConfig());
  EXPECT_EQ(cwd_ + "\\TODAY.CNF", ReadUser("TodayCnf"));
  EXPECT_EQ("0", ReadTemp("Schedule"));
}

TEST_F(TodayConfig, TodayCnfIsNotLookedForAlongTablePaths) {
  WriteBytes(tbl_ + "\\TODAY.CNF", "schedule=no\r\n");
  SetEnvironmentVariableA("TODAYTBL", tbl_.c_str());
  EXPECT_EQ(0, LoadTodayConfig());
  EXPECT_EQ("", ReadUser("TodayCnf"));
  EXPECT_EQ(std::vector<std::string>(), TempSection()) << Show(TempSection());
}

TEST_F(TodayConfig, UnreadableTodayCnf) {
  std::string path = UseCnf("schedule=yes\r\n");
  HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, locked);
  EXPECT_EQ(0, LoadTodayConfig()) << "file opened without sharing elsewhere";
  CloseHandle(locked);
  EXPECT_EQ(std::vector<std::string>(), TempSection()) << Show(TempSection());
}

TEST_F(TodayConfig, SampleDataLoads) {
  std::string examples = std::string("Z:") + TARNIVEL_SOURCE_DIR "/examples";
  std::replace(examples.begin(), examples.end(), '/', '\\');
  WriteUser("TodayCnf", (examples + "\\TODAY.CNF").c_str());
  SetEnvironmentVariableA("TODAYTBL", examples.c_str());
  EXPECT_EQ(1, LoadTodayConfig());
  std::vector<std::string> expected = {
      "GengoTbl=" + examples + "\\GENGO.TBL",
      "HolidayTbl=" + examples + "\\HOLIDAY.TBL",
      "Schedule=1",
      "ScheduleFile1=" + examples + "\\SCHEDULE.TBL",
      "ScheduleFile2=S%Y%M.TBL",
  };
  EXPECT_EQ(expected, TempSection()) << Show(TempSection());
  EXPECT_EQ(2026, EraToYear('R', 8));
  EXPECT_EQ(1999, EraToYear('H', 11));
  EXPECT_EQ(1868, EraToYear('m', 1));
}

}  // namespace
