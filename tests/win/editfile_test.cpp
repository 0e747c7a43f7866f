// The file-editing commands start the editor on TODAY.CNF or a schedule file;
// the helper recordargs.exe stands in for the editor.
#include <string>

#include "plugin/chipmenu.h"
#include "plugin/exports.h"
#include "tests/win/menu_support.h"
#include "tests/win/record_support.h"

namespace {

class EditFile : public MenuChip {
 protected:
  void SetUp() override {
    MenuChip::SetUp();
    helper_ = recorder_.helper();
    ASSERT_TRUE(recorder_.ready()) << helper_ << " is missing";
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    cwd_ = cwd;
    editor_ = Quoted(helper_) + " -e";
    WriteSettingString(kUserSection, IDS_KEY_EDITOR, editor_.c_str());
    WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, "C:\\TODAY\\TODAY.CNF");
  }
  void TearDown() override {
    SetCurrentDirectoryA(cwd_.c_str());
    MenuChip::TearDown();
  }
  static std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
  // The command line the started program received; empty when none started.
  std::string Started(int timeoutMs = 15000) {
    std::string line;
    return recorder_.Read(timeoutMs, &line) ? line : "";
  }

  CommandRecorder recorder_;
  std::string helper_, editor_, cwd_;
};

TEST_F(EditFile, EditorGetsTheQuotedPath) {
  SetScheduleFile(1, "C:\\TODAY\\MEMO.TBL");
  SetScheduleFile(2, "D:\\\x95\x5C\\SCHEDULE FILE.TBL");
  EXPECT_EQ(0, DoDrawExMenu(chip_, window_, IDM_EDIT_CNF));
  EXPECT_EQ(editor_ + " \"C:\\TODAY\\TODAY.CNF\"", Started());
  EXPECT_EQ(0, DoDrawExMenu(chip_, window_, 10009));
  EXPECT_EQ(editor_ + " \"D:\\\x95\x5C\\SCHEDULE FILE.TBL\"", Started());
  EXPECT_EQ(1, EditTodayFile(window_, 1, 2026, 12));
  EXPECT_EQ(editor_ + " \"C:\\TODAY\\MEMO.TBL\"", Started());
}

TEST_F(EditFile, DefaultEditorIsNotepad) {
  // The program is looked for in the current directory before the system's.
  ASSERT_TRUE(CopyFileA(helper_.c_str(), (dir_ + "NOTEPAD.EXE").c_str(), FALSE));
  SetCurrentDirectoryA(dir_.c_str());
  WriteSettingString(kUserSection, IDS_KEY_EDITOR, "");
  EXPECT_EQ(1, EditTodayFile(window_, 0, 2026, 12));
  EXPECT_EQ("NOTEPAD.EXE \"C:\\TODAY\\TODAY.CNF\"", Started());
}

TEST_F(EditFile, LongestEditorAndPathAreStartedWhole) {
  std::string editor = Quoted(helper_) + " ";
  editor += std::string(255 - editor.size(), 'e');
  std::string path = "C:\\" + std::string(256, 'p');
  ASSERT_EQ(255u, editor.size());
  ASSERT_EQ(259u, path.size());
  WriteSettingString(kUserSection, IDS_KEY_EDITOR, editor.c_str());
  SetScheduleFile(16, path.c_str());
  EXPECT_EQ(1, EditTodayFile(window_, 16, 2026, 12));
  EXPECT_EQ(editor + " \"" + path + "\"", Started());

  // Longer settings are read cut to their buffers, never past them.
  WriteSettingString(kUserSection, IDS_KEY_EDITOR, (editor + "zzzz").c_str());
  SetScheduleFile(16, (path + "qqqq").c_str());
  EXPECT_EQ(1, EditTodayFile(window_, 16, 2026, 12));
  EXPECT_EQ(editor + " \"" + path + "\"", Started());
}

TEST_F(EditFile, NothingToEditStartsNothing) {
  SetScheduleFile(1, "C:\\TODAY\\MEMO.TBL");
  WriteSettingString(kUserSection, IDS_KEY_TODAYCNF, "");
  EXPECT_EQ(0, EditTodayFile(window_, 0, 2026, 12)) << "empty TodayCnf";
  EXPECT_EQ(0, EditTodayFile(window_, 2, 2026, 12)) << "no schedule file 2";
  EXPECT_EQ(0, EditTodayFile(window_, 17, 2026, 12));
  EXPECT_EQ(0, EditTodayFile(window_, -1, 2026, 12));
  EXPECT_EQ(0, DoDrawExMenu(chip_, window_, IDM_EDIT_CNF));
  EXPECT_EQ(0, DoDrawExMenu(chip_, window_, 10010));
  WriteSettingString(kUserSection, IDS_KEY_EDITOR, (dir_ + "no-such-editor.exe").c_str());
  EXPECT_EQ(0, EditTodayFile(window_, 1, 2026, 12)) << "an editor that cannot be started";
  EXPECT_EQ("", Started(1500));
}

}  // namespace
