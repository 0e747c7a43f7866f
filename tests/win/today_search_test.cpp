// The table search and the opening of named tables, with real folders, environment
// variables and the current directory.
#include <string>
#include <vector>

#include "tests/win/today_fixture.h"
#include "today/markfiles.h"
#include "today/todayconfig.h"

namespace {

class TodaySearch : public TodayFiles {
 protected:
  std::string Find(const std::string& name, BOOL skip = FALSE) {
    char output[260];
    memset(output, '?', sizeof output);
    output[sizeof output - 1] = '\0';
    return FindTableFile(name.c_str(), skip, output, sizeof output) ? std::string(output) : "<not found>";
  }
};

TEST_F(TodaySearch, EachPlaceWinsOverTheLaterOnes) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string exeDir(exe);
  exeDir = exeDir.substr(0, exeDir.find_last_of('\\'));
  std::string name = "TARNIVEL_ORDER_" + std::to_string(GetCurrentProcessId()) + ".TBL";

  std::string places[] = {MakeDir("tablepath"), MakeDir("todaytbl"), exeDir, MakeDir("path"), cwd_};
  const char* labels[] = {"TablePath", "TODAYTBL", "library folder", "PATH", "current directory"};
  WriteTemp("TablePath", Forward(root_) + "/nowhere;" + Forward(places[0]));
  SetEnvironmentVariableA("TODAYTBL", places[1].c_str());
  SetEnvironmentVariableA("PATH", (root_ + "\\nowhere;" + places[3]).c_str());

  for (int first = 0; first < 5; ++first) {
    for (int i = 0; i < 5; ++i) {
      std::string path = places[i] + "\\" + name;
      if (i >= first) {
        WriteBytes(path, "x");
      } else {
        DeleteFileA(path.c_str());
      }
    }
    EXPECT_EQ(places[first] + "\\" + name, Find(name)) << "files from the " << labels[first] << " on";
    if (first < 2) {
      EXPECT_EQ(places[2] + "\\" + name, Find(name, TRUE)) << "skip flag, files from the " << labels[first];
    }
  }
  for (const std::string& place : places) DeleteFileA((place + "\\" + name).c_str());
  EXPECT_EQ("<not found>", Find(name));
}

TEST_F(TodaySearch, DirectoryLists) {
  std::string a = MakeDir("a");
  std::string data = MakeDir("a\\data");
  WriteBytes(a + "\\T.TBL", "");
  WriteBytes(data + "\\D.TBL", "");
  // A name that fits beside a short folder but not beside a long one.
  std::string longName = std::string(60, 'L') + ".TBL";
  WriteBytes(a + "\\" + longName, "");
  std::string longDir = Forward(a) + "/" + std::string(200 - Forward(a).size(), 'x');
  std::string longList = longDir + ";" + Forward(a);
  ASSERT_LE(longList.size(), 256u);
  ASSERT_GT(longDir.size() + 1 + longName.size(), 256u);
  struct {
    std::string list;
    const char* name;
    std::string expected;
  } cases[] = {
      {"X:/nowhere;;" + Forward(a), "T.TBL", a + "\\T.TBL"},
      {";" + Forward(a) + "/;", "T.TBL", a + "\\T.TBL"},
      {Forward(a) + "//", "T.TBL", a + "\\\\T.TBL"},
      {Forward(data), "D.TBL", data + "\\D.TBL"},
      // "\da" is an escape in a table path: the byte 0xDA.
      {Forward(a) + "\\data", "D.TBL", "<not found>"},
      {Forward(a) + "\\\\data", "D.TBL", data + "\\D.TBL"},
      {"", "T.TBL", "<not found>"},
      {";;;", "T.TBL", "<not found>"},
      {longList, longName.c_str(), a + "\\" + longName},
      {longDir, longName.c_str(), "<not found>"},
      // Only the first 256 bytes of the table path are read.
      {std::string(256, ';') + Forward(a), "T.TBL", "<not found>"},
  };
  for (auto& c : cases) {
    WriteTemp("TablePath", c.list);
    EXPECT_EQ(c.expected, Find(c.name)) << "TablePath \"" << c.list << "\"";
  }
  WriteTemp("TablePath", Forward(a));
  EXPECT_EQ("<not found>", Find("")) << "an empty name names no file, not the folder";
  WriteTemp("TablePath", "");
  SetEnvironmentVariableA("TODAYTBL", ("C:/nowhere;;" + Forward(a)).c_str());
  EXPECT_EQ(a + "\\T.TBL", Find("T.TBL")) << "TODAYTBL with an empty element";
  SetEnvironmentVariableA("TODAYTBL", "");
  EXPECT_EQ("<not found>", Find("T.TBL")) << "empty TODAYTBL";
}

TEST_F(TodaySearch, CurrentDirectoryAtTheRoot) {
  std::string name = "TARNIVEL_ROOT_" + std::to_string(GetCurrentProcessId()) + ".TBL";
  std::string path = "C:\\" + name;
  WriteBytes(path, "");
  SetCurrentDirectoryA("C:\\");
  EXPECT_EQ(path, Find(name));
  DeleteFileA(path.c_str());
  SetCurrentDirectoryA(cwd_.c_str());
  WriteBytes(cwd_ + "\\" + name, "");
  EXPECT_EQ(cwd_ + "\\" + name, Find(name));
}

// A table as the marks open it: an unindexed $TodayTemp key, or a
// "ScheduleFile%d" entry.
HANDLE OpenNamedTable(UINT keyId, int index) {
  MarkReading reading;
  if (index == 0) return reading.OpenTable(keyId);
  char name[MAX_PATH];
  reading.ScheduleFileName(index, name, sizeof name);
  return name[0] ? OpenMarkFile(name) : nullptr;
}

TEST_F(TodaySearch, OpenTableFile) {
  std::string path = root_ + "\\HOLIDAY.TBL";
  WriteBytes(path, "5/3 1949- Constitution_Day\r\n");
  EXPECT_EQ(nullptr, OpenNamedTable(IDS_KEY_HOLIDAYTBL, 0)) << "key unset";
  WriteTemp("HolidayTbl", root_ + "\\MISSING.TBL");
  EXPECT_EQ(nullptr, OpenNamedTable(IDS_KEY_HOLIDAYTBL, 0)) << "file missing";
  WriteTemp("HolidayTbl", root_);
  EXPECT_EQ(nullptr, OpenNamedTable(IDS_KEY_HOLIDAYTBL, 0)) << "a folder";

  WriteTemp("HolidayTbl", path);
  WriteTemp("ScheduleFile3", path);
  for (int index : {0, 3}) {
    HANDLE h = OpenNamedTable(index ? IDS_KEY_SCHEDULEFILE : IDS_KEY_HOLIDAYTBL, index);
    ASSERT_NE(nullptr, h) << "index " << index;
    char buffer[64] = {0};
    DWORD n = 0;
    ReadFile(h, buffer, sizeof buffer - 1, &n, nullptr);
    EXPECT_STREQ("5/3 1949- Constitution_Day\r\n", buffer) << "index " << index;
    // Others may read the table while it is open.
    HANDLE second = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, second);
    CloseHandle(second);
    CloseHandle(h);
  }
  EXPECT_EQ(nullptr, OpenNamedTable(IDS_KEY_SCHEDULEFILE, 2)) << "other index unset";
}

}  // namespace
