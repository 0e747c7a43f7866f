// The configuration dialog's browse buttons through the real open-file dialog.
#include "config_fixture.h"

using namespace configtest;

namespace {

// ---- browsing through the real open-file dialog

// The file name field of the explorer-style open-file dialog.
HWND FileNameField(HWND fileDialog) {
  HWND field = GetDlgItem(fileDialog, 0x480);  // edt1
  if (!field) field = GetDlgItem(fileDialog, 0x47C);  // cmb13
  return field;
}

std::vector<std::string> FileTypes(HWND fileDialog) {
  std::vector<std::string> types;
  HWND combo = GetDlgItem(fileDialog, 0x470);  // cmb1
  int n = (int)SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; ++i) {
    char text[128] = "";
    if (SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < (LRESULT)sizeof text) SendMessageA(combo, CB_GETLBTEXT, i, (LPARAM)text);
    types.push_back(text);
  }
  return types;
}

bool IsConfigDialog(HWND d) { return GetDlgItem(d, 1101) && GetDlgItem(d, 1108); }

struct FileDialogSeen {
  std::string title, fileName, folder;
  std::vector<std::string> types;
};

// Waits for the open-file dialog over the configuration dialog and notes what it shows.
DialogStep SeeFileDialog(FileDialogSeen* seen) {
  return [seen](HWND d) {
    if (IsConfigDialog(d)) return false;  // not open yet
    seen->title = WindowText(d);
    seen->fileName = WindowText(FileNameField(d));
    char folder[MAX_PATH] = "";
    SendMessageA(d, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
    seen->folder = folder;
    seen->types = FileTypes(d);
    return true;
  };
}

DialogStep ChooseFile(const std::string* path) {
  return [path](HWND d) {
    SetWindowTextA(FileNameField(d), path->c_str());
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDOK));
    return true;
  };
}

DialogStep CancelFileDialog() {
  return [](HWND d) {
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(d, IDCANCEL));
    return true;
  };
}

// The configuration dialog has the input again.
DialogStep BackInConfig(std::string* text, int editId) {
  return [text, editId](HWND d) {
    if (!IsConfigDialog(d)) return false;
    *text = ItemText(d, editId);
    return true;
  };
}

TEST_F(ConfigDialog, BrowsingChoosesTheEnvironmentFile) {
  std::string cnf = MakeFile("TODAY.CNF");
  Store("TodayCnf", (dir_ + "\\old.cnf").c_str());
  FileDialogSeen seen;
  std::string after;
  RunDialog({
      Press(1104),
      SeeFileDialog(&seen),
      ChooseFile(&cnf),
      BackInConfig(&after, 1103),
      Press(IDOK),
  });
  EXPECT_EQ(Sjis(L"環境登録ファイルの選択"), seen.title);
  // Browsing starts from the edit's text: its folder and its file name.
  EXPECT_EQ("old.cnf", seen.fileName);
  EXPECT_EQ(0, lstrcmpiA(dir_.c_str(), seen.folder.c_str())) << seen.folder;
  ASSERT_EQ(2u, seen.types.size());
  EXPECT_EQ(Sjis(L"環境登録ファイル (*.cnf)"), seen.types[0]);
  EXPECT_EQ(Sjis(L"すべてのファイル (*.*)"), seen.types[1]);
  EXPECT_EQ(0, lstrcmpiA(cnf.c_str(), after.c_str())) << "edit shows " << after;
  EXPECT_EQ(0, lstrcmpiA(cnf.c_str(), Stored("TodayCnf").c_str()));
}

// The dialog gets the program alone, unquoted: Windows shows none for a
// file name with a '"'. The chosen program takes its place, the arguments stay.
TEST_F(ConfigDialog, BrowsingForTheProgramKeepsItsArguments) {
  std::string tool = MakeFile("tool.exe");
  Store("Program", "\"C:\\Program Files\\cal.exe\" %Y/%M/%D");
  FileDialogSeen seen;
  std::string after;
  RunDialog({
      Press(1108),
      SeeFileDialog(&seen),
      ChooseFile(&tool),
      BackInConfig(&after, 1107),
      Press(IDOK),
  });
  EXPECT_EQ(Sjis(L"プログラムの選択"), seen.title);
  EXPECT_EQ("cal.exe", seen.fileName);
  ASSERT_EQ(2u, seen.types.size());
  EXPECT_EQ(Sjis(L"プログラム (*.exe)"), seen.types[0]);
  EXPECT_EQ(0, lstrcmpiA((tool + " %Y/%M/%D").c_str(), Stored("Program").c_str())) << Stored("Program");
}

TEST_F(ConfigDialog, CancelledBrowsingLeavesTheEditorAlone) {
  Store("Editor", "C:\\tools\\ed.exe -n");
  FileDialogSeen seen;
  std::string after;
  RunDialog({
      Press(1106),
      SeeFileDialog(&seen),
      CancelFileDialog(),
      BackInConfig(&after, 1105),
      Press(IDCANCEL),
  });
  EXPECT_EQ(Sjis(L"テキスト エディタの選択"), seen.title);
  EXPECT_EQ("ed.exe", seen.fileName);
  EXPECT_EQ("C:\\tools\\ed.exe -n", after);
  EXPECT_EQ("C:\\tools\\ed.exe -n", Stored("Editor"));
}

}  // namespace
