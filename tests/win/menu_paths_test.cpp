// Paths as the chip menu uses them: schedule file names as item labels, and
// the editor's path on the command line that opens a file.
#include "plugin/chipmenu.h"
#include "plugin/exports.h"
#include "tests/win/menu_support.h"
#include "tests/win/record_support.h"

TEST_F(MenuChip, AmpersandsInScheduleFileNamesShowAsThemselves) {
  const char* labels[][2] = {{"C:\\T\\R&D.TBL", "R&&D.TBL"}, {"C:\\T\\&&.TBL", "&&&&.TBL"}, {"C:\\T\\M.TBL", "M.TBL"}};
  for (int n = 1; n <= 3; ++n) SetScheduleFile(n, labels[n - 1][0]);
  HMENU popup = GetDrawExMenu(chip_);
  ASSERT_NE(nullptr, popup);
  for (int n = 1; n <= 3; ++n) {
    char label[64] = "";
    GetMenuStringA(popup, 10007 + n, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(labels[n - 1][1], label) << labels[n - 1][0];
  }
  DestroyMenu(popup);
}

TEST_F(MenuChip, EditorPathWithBlanksIsQuoted) {
  CommandRecorder recorder;
  // Unquoted, the editor's path would start dir_\ed.exe.
  std::string editor = dir_ + "ed tools\\ed.exe", line;
  ASSERT_TRUE(recorder.ready() && CreateDirectoryA((dir_ + "ed tools").c_str(), nullptr));
  for (const std::string& copy : {editor, dir_ + "ed.exe"})
    ASSERT_TRUE(CopyFileA(recorder.helper().c_str(), copy.c_str(), FALSE)) << copy;
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, "C:\\TODAY\\TODAY.CNF");
  const std::string cases[][2] = {
      {editor, "\"" + editor + "\" \"C:\\TODAY\\TODAY.CNF\""},
      {"\"" + editor + "\" -n", "\"" + editor + "\" -n \"C:\\TODAY\\TODAY.CNF\""},
      {editor + " -n", editor + " -n \"C:\\TODAY\\TODAY.CNF\""},  // not a file: as the user wrote it
  };
  for (auto& c : cases) {
    WriteSettingString(kUserSection, IDS_KEY_EDITOR, c[0].c_str());
    EXPECT_EQ(1, EditTodayFile(window_, 0, 2026, 12)) << c[0];
    EXPECT_TRUE(recorder.Read(15000, &line) && line == c[1]) << c[0] << " started " << line;
  }
}
