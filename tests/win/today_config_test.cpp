// Loading TODAY.CNF into $TodayTemp, with real files and the real settings file.
#include <string>
#include <vector>

#include "tests/win/today_fixture.h"
#include "today/cnfparse.h"
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

// The schedule file entries 1 to 16 that the rules give, done literally in
// a section of the test's own: every entry stored, read back with 40 bytes,
// searched, and each found one written to the next slot. Run after
// LoadTodayConfig, whose "TablePath" the search reads.
std::vector<std::string> LiteralEntries(const std::string& cnfText) {
  struct Names {
    static void Add(void* ctx, int, const char* name) { static_cast<std::vector<std::string>*>(ctx)->push_back(name); }
  };
  std::vector<std::string> names;
  CnfSink sink = {&names, nullptr, Names::Add, nullptr};
  std::vector<char> text(cnfText.begin(), cnfText.end());
  text.push_back('\0');
  ParseTodayCnf(text.data(), &sink);
  const char* section = "LiteralTemp";
  const char* file = SettingsFilePath();
  auto key = [](size_t i) { return "ScheduleFile" + std::to_string(i); };
  for (size_t i = 1; i <= names.size(); ++i)
    WritePrivateProfileStringA(section, key(i).c_str(), names[i - 1].c_str(), file);
  size_t found = 0;
  for (size_t i = 1; i <= names.size(); ++i) {
    char name[40], path[260];
    GetPrivateProfileStringA(section, key(i).c_str(), "", name, sizeof name, file);
    if (FindTableFile(name, FALSE, path, sizeof path))
      WritePrivateProfileStringA(section, key(++found).c_str(), path, file);
  }
  std::vector<std::string> entries;
  for (size_t i = 1; i <= 16; ++i) {
    char value[260];
    GetPrivateProfileStringA(section, key(i).c_str(), "", value, sizeof value, file);
    entries.push_back(value);
  }
  WritePrivateProfileSectionA(section, nullptr, file);
  return entries;
}

// Many schedule file lines: the entries that readers see (1 to 16) are those
// of the literal rules, and nothing is stored beyond them.
TEST_F(TodayConfig, ManyScheduleLinesGiveTheEntriesOfTheRules) {
  for (const char* name : {"A.TBL", "B.TBL", "C.TBL", "D.TBL"}) WriteBytes(tbl_ + "\\" + name, "");
  auto lines = [](std::initializer_list<std::string> values) {
    std::string text;
    int n = 0;
    for (const std::string& v : values) text += "schedule_file" + std::to_string(++n) + "=" + v + "\r\n";
    return text;
  };
  std::vector<std::string> missing;
  for (int i = 0; i < 30; ++i) missing.push_back("GONE" + std::to_string(i) + ".TBL");
  std::string many;  // more than 16 lines, few found, one only after the 20th
  for (int i = 0; i < 30; ++i) many += "schedule_file1=" + (i % 7 == 3 ? std::string("B.TBL") : missing[i]) + "\r\n";
  many += "schedule_file2=\r\nschedule_file3=   \r\nschedule_file4= \"C.TBL\" \r\nschedule_file5=\x0b" "D.TBL\r\n";
  std::string foundFirst;  // more than sixteen found
  for (int i = 0; i < 40; ++i) foundFirst += "schedule_file9=" + std::string(i % 2 ? "A.TBL" : "X.TBL") + "\r\n";
  std::string longNames;
  for (int i = 0; i < 20; ++i)
    longNames += "schedule_file1=" + std::string(i == 18 ? "A.TBL" : "LONG_NAME_0123456789_0123456789_" + std::to_string(i)) +
                 "\r\n";
  std::string repeated;  // a name searched once however often it comes
  for (int i = 0; i < 25; ++i) repeated += "schedule_file1=" + std::string(i % 2 ? "\"GONE.TBL\"" : "GONE.TBL") + "\r\n";
  repeated += "schedule_file1=A.TBL\r\nschedule_file1=GONE.TBL\r\nschedule_file1=C.TBL\r\n";
  // Past the point where each folder is listed once: names in any case, with
  // wildcards, a final dot, a device, a short-name mark, in the current folder.
  WriteBytes(tbl_ + "\\lower.tbl", "");
  WriteBytes(cwd_ + "\\CWD.TBL", "");
  std::string listed;
  for (int i = 0; i < 70; ++i) listed += "schedule_file1=NOWHERE" + std::to_string(i) + ".TBL\r\n";
  for (const char* name : {"a.tbl", "B*.TBL", "C.TBL.", "nul.tbl", "LOWER.TBL", "CWD.TBL", "D~1.TBL", "MISSING.TBL",
                           "D.TBL", "lower.TBL"})
    listed += std::string("schedule_file1=") + name + "\r\n";
  const std::string cases[] = {
      lines({"A.TBL", "A.TBL", "GONE.TBL", "B.TBL"}),
      repeated,
      listed,
      lines({"GONE1", "GONE2"}),
      many,
      foundFirst,
      longNames,
      "",
  };
  for (const std::string& schedules : cases) {
    std::string text = "table_path=" + Forward(tbl_) + "\r\n" + schedules;
    UseCnf(text);
    ASSERT_EQ(1, LoadTodayConfig());
    std::vector<std::string> loaded;
    for (int i = 1; i <= 16; ++i) loaded.push_back(ReadTemp(("ScheduleFile" + std::to_string(i)).c_str()));
    EXPECT_EQ(LiteralEntries(text), loaded) << "TODAY.CNF:\n" << text;
    EXPECT_EQ("", ReadTemp("ScheduleFile17"));
  }
}

// A load makes the same number of settings calls however many lines the file
// has: no call per line, so the load grows with the file, not its square.
TEST_F(TodayConfig, SettingsCallsDoNotGrowWithTheLines) {
  WriteBytes(tbl_ + "\\A.TBL", "");
  auto callsFor = [&](int lines) {
    std::string text = "schedule=yes\r\ntable_path=" + Forward(tbl_) + "\r\n";
    for (int i = 1; i <= lines; ++i) text += "schedule_file" + std::to_string(i) + "=" + (i % 2 ? "A.TBL" : "NONE.TBL") + "\r\n";
    UseCnf(text);
    LONG before = g_settingsCalls;
    EXPECT_EQ(1, LoadTodayConfig());
    return g_settingsCalls - before;
  };
  LONG few = callsFor(40);
  EXPECT_EQ(few, callsFor(2000));
  EXPECT_EQ(ReadTemp("ScheduleFile1"), tbl_ + "\\A.TBL");
  EXPECT_EQ(ReadTemp("ScheduleFile16"), tbl_ + "\\A.TBL");
}

TEST_F(TodayConfig, StaleTodayCnfIsSearchedAndWrittenBack) {
  WriteUser("TodayCnf", (root_ + "\\TODAY.CNF").c_str());
  WriteBytes(cwd_ + "\\TODAY.CNF", "schedule=no\r\n");
  EXPECT_EQ(1, LoadTodayConfig());
  EXPECT_EQ(cwd_ + "\\TODAY.CNF", ReadUser("TodayCnf"));
  EXPECT_EQ("0", ReadTemp("Schedule"));
}

// Under Wine a drive that is not there answers "file not found" too: only
// a folder that exists can say so. What was loaded stays, nothing is taken
// in its place.
TEST_F(TodayConfig, TodayCnfOnAMissingDriveIsAFailedLoad) {
  UseCnf("schedule=yes\r\n");
  ASSERT_EQ(1, LoadTodayConfig());
  char drive = 'Y';
  while (GetLogicalDrives() & (1u << (drive - 'A'))) --drive;
  WriteUser("TodayCnf", (std::string(1, drive) + ":\\TODAY.CNF").c_str());
  WriteBytes(cwd_ + "\\TODAY.CNF", "schedule=no\r\n");
  EXPECT_EQ(0, LoadTodayConfig());
  EXPECT_EQ("1", ReadTemp("Schedule"));
  UseCnf("");
  EXPECT_EQ(1, LoadTodayConfig());  // no later test finds a load to try again
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
  EXPECT_EQ(1, LoadTodayConfig());  // and no later test finds a load to try again
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
  EXPECT_EQ(2026, EraYear('R', 8));
  EXPECT_EQ(1999, EraYear('H', 11));
  EXPECT_EQ(1868, EraYear('m', 1));
}

}  // namespace
