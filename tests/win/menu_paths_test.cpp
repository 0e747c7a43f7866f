// Paths as the chip menu uses them: schedule file names as item labels, and
// the editor's path on the command line that opens a file.
#include <string>

#include "plugin/chipmenu.h"
#include "plugin/exports.h"
#include "tests/win/menu_support.h"
#include "tests/win/record_support.h"

namespace {

TEST_F(MenuChip, AmpersandsInScheduleFileNamesShowAsThemselves) {
  SetScheduleFile(1, "C:\\TODAY\\R&D.TBL");
  SetScheduleFile(2, "C:\\TODAY\\A&&B.TBL");
  SetScheduleFile(3, "C:\\TODAY\\MEMO.TBL");
  HMENU popup = GetDrawExMenu(chip_);
  ASSERT_NE(nullptr, popup);
  const char* expected[] = {"R&&D.TBL", "A&&&&B.TBL", "MEMO.TBL"};
  for (int n = 1; n <= 3; ++n) {
    char label[64] = "";
    GetMenuStringA(popup, 10007 + n, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(expected[n - 1], label) << "schedule file " << n;
  }
  DestroyMenu(popup);
}

TEST_F(MenuChip, EditorPathWithBlanksIsQuoted) {
  std::string helper = ExeDirectory() + "recordargs.exe";
  std::string editor = dir_ + "ed tools\\ed.exe";
  ASSERT_TRUE(CreateDirectoryA((dir_ + "ed tools").c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(helper.c_str(), editor.c_str(), FALSE)) << editor;
  // Started unquoted, the path would run this one.
  ASSERT_TRUE(CopyFileA(helper.c_str(), (dir_ + "ed.exe").c_str(), FALSE));
  std::string record = dir_ + "record.txt";
  SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", record.c_str());
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, "C:\\TODAY\\TODAY.CNF");
  struct {
    std::string setting, started;
  } cases[] = {
      {editor, "\"" + editor + "\" \"C:\\TODAY\\TODAY.CNF\""},
      {"\"" + editor + "\" -n", "\"" + editor + "\" -n \"C:\\TODAY\\TODAY.CNF\""},
      {editor + " -n", editor + " -n \"C:\\TODAY\\TODAY.CNF\""},
  };
  for (auto& c : cases) {
    WriteSettingString(kUserSection, IDS_KEY_EDITOR, c.setting.c_str());
    EXPECT_EQ(1, EditTodayFile(window_, 0)) << c.setting;
    std::string line;
    EXPECT_TRUE(ReadRecordedLine(record, 15000, &line)) << c.setting;
    EXPECT_EQ(c.started, line) << c.setting;
    DeleteFileA(record.c_str());
  }
  SetEnvironmentVariableA("TARNIVEL_RECORD_FILE", nullptr);
}

}  // namespace
