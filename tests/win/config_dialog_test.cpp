// The configuration dialog, opened for real and driven from its own thread,
// against a settings file of its own.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "dialogs/configdialog_win.h"
#include "plugin/exports.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

// ---- the template as the resource holds it

struct TemplateItem {
  DWORD style;
  short x, y, cx, cy;
  int id;
  std::wstring cls;
  std::wstring text;
};

struct DialogTemplate {
  DWORD style = 0, exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring title, font;
  WORD pointSize = 0;
  std::vector<TemplateItem> items;
};

// A name or ordinal field; ordinals of the predefined classes become names.
std::wstring ReadNameOrOrdinal(const WORD*& p) {
  if (*p == 0xFFFF) {
    WORD ordinal = p[1];
    p += 2;
    switch (ordinal) {
      case 0x80: return L"Button";
      case 0x81: return L"Edit";
      case 0x82: return L"Static";
      default: return L"#" + std::to_wstring(ordinal);
    }
  }
  std::wstring s;
  while (*p) s += (wchar_t)*p++;
  ++p;
  return s;
}

bool ReadTemplate(UINT id, DialogTemplate* out) {
  HRSRC res = FindResourceA(g_hInstance, MAKEINTRESOURCEA(id), RT_DIALOG);
  const BYTE* base = res ? static_cast<const BYTE*>(LockResource(LoadResource(g_hInstance, res))) : nullptr;
  if (!base) return false;
  const DLGTEMPLATE* t = reinterpret_cast<const DLGTEMPLATE*>(base);
  if (HIWORD(t->style) == 0xFFFF) return false;  // an extended template
  out->style = t->style;
  out->exStyle = t->dwExtendedStyle;
  out->x = t->x, out->y = t->y, out->cx = t->cx, out->cy = t->cy;
  const WORD* p = reinterpret_cast<const WORD*>(t + 1);
  ReadNameOrOrdinal(p);  // menu
  ReadNameOrOrdinal(p);  // class
  out->title = ReadNameOrOrdinal(p);
  if (t->style & DS_SETFONT) {
    out->pointSize = *p++;
    out->font = ReadNameOrOrdinal(p);
  }
  for (int i = 0; i < t->cdit; ++i) {
    p = reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~(uintptr_t)3);
    const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
    TemplateItem it;
    it.style = item->style;
    it.x = item->x, it.y = item->y, it.cx = item->cx, it.cy = item->cy;
    it.id = (short)item->id;
    p = reinterpret_cast<const WORD*>(item + 1);
    it.cls = ReadNameOrOrdinal(p);
    it.text = ReadNameOrOrdinal(p);
    p += 1 + *p / 2;  // creation data
    out->items.push_back(it);
  }
  return true;
}

TEST(ConfigDialogTemplate, LayoutOfResource101) {
  DialogTemplate t;
  ASSERT_TRUE(ReadTemplate(IDD_CONFIG, &t));
  EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), t.style);
  EXPECT_EQ((DWORD)WS_EX_CONTEXTHELP, t.exStyle);
  EXPECT_EQ(211, t.cx);
  EXPECT_EQ(235, t.cy);
  EXPECT_TRUE(t.title == L"タルニヴェルの設定");
  EXPECT_EQ(9, t.pointSize);
  EXPECT_TRUE(t.font == L"ＭＳ Ｐゴシック");

  const DWORD base = WS_CHILD | WS_VISIBLE;
  const DWORD label = base | SS_LEFT | WS_GROUP;
  const DWORD edit = base | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  const DWORD push = base | BS_PUSHBUTTON | WS_TABSTOP;
  const wchar_t* kAnyText = nullptr;
  struct Expected {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style;
  } expected[] = {
      {-1, L"Button", L"TODAY の利用", 7, 7, 197, 124, base | BS_GROUPBOX | WS_GROUP},
      {-1, L"Static", kAnyText, 13, 19, 184, 16, label},
      {1101, L"Button", L"TODAY の登録ファイルを利用する(&C)", 13, 40, 130, 10,
       base | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP},
      {1102, L"Button", L"休日/スケジュールをポップアップ表示(&P)", 13, 53, 160, 10,
       base | BS_AUTOCHECKBOX | WS_TABSTOP},
      {-1, L"Static", L"環境登録ファイル(&F):", 13, 70, 100, 8, label},
      {1103, L"Edit", L"", 13, 80, 138, 14, edit},
      {1104, L"Button", L"参照(&B)...", 156, 80, 40, 14, push},
      {-1, L"Static", L"テキスト編集用エディタ(&E):", 13, 99, 100, 8, label},
      {1105, L"Edit", L"", 13, 109, 138, 14, edit},
      {1106, L"Button", L"参照(&R)...", 156, 109, 40, 14, push},
      {-1, L"Button", L"今日は何の日?", 7, 138, 197, 66, base | BS_GROUPBOX | WS_GROUP},
      {-1, L"Static",
       L"タルニヴェル上の日付をクリックしたとき、または描画拡張メニューから、指定したコマンドを起動することができます。",
       13, 150, 184, 16, label},
      {-1, L"Static", L"コマンド ライン(&L):", 13, 171, 70, 8, label},
      {1107, L"Edit", L"", 13, 182, 138, 14, edit},
      {1108, L"Button", L"参照(&O)...", 156, 182, 40, 14, push},
      {IDOK, L"Button", L"OK", 111, 214, 45, 14, push | WS_GROUP},
      {IDCANCEL, L"Button", L"キャンセル", 159, 214, 45, 14, push},
  };
  ASSERT_EQ(sizeof expected / sizeof expected[0], t.items.size());
  for (size_t i = 0; i < t.items.size(); ++i) {
    const Expected& e = expected[i];
    const TemplateItem& it = t.items[i];
    EXPECT_EQ(e.id, it.id) << "control " << i << " in tab order";
    EXPECT_EQ(0, lstrcmpiW(it.cls.c_str(), e.cls)) << "class of control " << e.id << " at " << i;
    if (e.text) EXPECT_TRUE(it.text == e.text) << "text of control " << e.id << " at " << i;
    else EXPECT_FALSE(it.text.empty()) << "the explanation at " << i;
    EXPECT_TRUE(it.x == e.x && it.y == e.y && it.cx == e.cx && it.cy == e.cy)
        << "control " << e.id << " at " << i << ": " << it.x << "," << it.y << "," << it.cx << "," << it.cy;
    EXPECT_EQ(e.style, it.style) << std::hex << "style of control " << std::dec << e.id << " at " << i;
  }
}

// ---- the dialog against a settings file of its own

typedef DialogDriver::Until DialogStep;

std::string WindowText(HWND window) {
  char text[1024];
  int n = GetWindowTextA(window, text, sizeof text);
  return std::string(text, n > 0 ? n : 0);
}
std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// A text in the system code page.
std::string Sjis(const wchar_t* text) {
  char out[512];
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return n > 0 ? std::string(out) : std::string();
}


class ConfigDialog : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    savedPath_ = SettingsFilePath();
    savedSection_ = SettingsUserSection();
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedCwd_ = cwd;
    dir_ = folder_.path().substr(0, folder_.path().size() - 1);
    ini_ = folder_.File("Tarnivel.ini");
    InitSettingsWith(folder_.File("Tarnivel.dxl").c_str(), "tester");
  }
  void TearDown() override {
    // The open-file dialog makes the chosen file's folder the current one.
    SetCurrentDirectoryA(savedCwd_.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini_.c_str());
    if (!savedPath_.empty()) InitSettingsWith(savedPath_.c_str(), savedSection_.c_str());
  }

  // The user's key as the file holds it, "<missing>" when it is not there.
  std::string Stored(const char* key) {
    char value[1024];
    GetPrivateProfileStringA("tester", key, "<missing>", value, sizeof value, ini_.c_str());
    return value;
  }
  void Store(const char* key, const char* value) {
    WritePrivateProfileStringA("tester", key, value, ini_.c_str());
  }
  std::string MakeFile(const char* name) {
    folder_.Write(name, "");
    return folder_.File(name);
  }

  bool RunDialog(std::vector<DialogStep> steps) {
    int result = 0;
    bool ok = DialogDriver::Run(IDC_USE_TODAY, [&] { result = DrawExConfigure(nullptr); }, std::move(steps));
    EXPECT_TRUE(ok) << "the steps did not all run before the safety time";
    EXPECT_EQ(1, result) << "DrawExConfigure";
    return ok;
  }

  static bool Checked(HWND d, int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; }
  static bool Enabled(HWND d, int id) { return IsWindowEnabled(GetDlgItem(d, id)) != 0; }
  static DialogStep Press(int id) {
    return [id](HWND d) {
      PostMessageA(GetDlgItem(d, id), BM_CLICK, 0, 0);
      return true;
    };
  }

  TempFolder folder_{"tarnivel_config"};
  std::string dir_, ini_, savedPath_, savedSection_, savedCwd_;
};

const int kTodayControls[] = {1102, 1103, 1104, 1105, 1106};

TEST_F(ConfigDialog, ReturnsOneWhenTheDialogCannotBeCreated) {
  HWND stale = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(stale);
  int result = 0;
  DialogDriver driver(IDC_USE_TODAY);
  driver.Start();
  result = DrawExConfigure(stale);
  driver.Stop();
  EXPECT_EQ(1, result);
  EXPECT_FALSE(driver.sawDialog());
  EXPECT_EQ("<missing>", Stored("Flags"));
}

TEST_F(ConfigDialog, NoSettingsShowsTheDefaultsAndCancelWritesNothing) {
  std::string before = folder_.Read("Tarnivel.ini");
  RunDialog({
      [](HWND d) {
        EXPECT_EQ(Sjis(L"タルニヴェルの設定"), WindowText(d))
            << "caption";
        EXPECT_TRUE(Checked(d, 1101));
        EXPECT_TRUE(Checked(d, 1102));
        for (int id : {1103, 1105, 1107}) EXPECT_EQ("", ItemText(d, id)) << "edit " << id;
        for (int id : {1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, IDOK, IDCANCEL})
          EXPECT_TRUE(Enabled(d, id)) << "control " << id;
        EXPECT_EQ(1101, GetDlgCtrlID(GetFocus())) << "the first tab stop has the focus";
        return true;
      },
      Press(IDCANCEL),
  });
  EXPECT_EQ(before, folder_.Read("Tarnivel.ini"));
}

TEST_F(ConfigDialog, OkStoresWhatTheDialogShows) {
  RunDialog({Press(IDOK)});
  EXPECT_EQ("3", Stored("Flags"));
  EXPECT_EQ("", Stored("TodayCnf"));
  EXPECT_EQ("", Stored("Editor"));
  EXPECT_EQ("", Stored("Program"));

  Store("Flags", "7");  // an unknown bit is dropped
  Store("TodayCnf", "C:\\TODAY\\TODAY.CNF");
  RunDialog({
      [](HWND d) {
        EXPECT_EQ("C:\\TODAY\\TODAY.CNF", ItemText(d, 1103));
        SetDlgItemTextA(d, 1105, "C:\\\x83\x5C\x83\x74\x83\x67\\edit.exe");  // a trail byte of 0x5C
        SetDlgItemTextA(d, 1107, "calc.exe %Y/%M/%D");
        return true;
      },
      Press(IDOK),
  });
  EXPECT_EQ("3", Stored("Flags"));
  EXPECT_EQ("C:\\TODAY\\TODAY.CNF", Stored("TodayCnf"));
  EXPECT_EQ("C:\\\x83\x5C\x83\x74\x83\x67\\edit.exe", Stored("Editor"));
  EXPECT_EQ("calc.exe %Y/%M/%D", Stored("Program"));

  // Changes made and then cancelled leave the file as it was.
  std::string before = folder_.Read("Tarnivel.ini");
  RunDialog({
      [](HWND d) {
        SendDlgItemMessageA(d, 1102, BM_CLICK, 0, 0);
        SetDlgItemTextA(d, 1107, "other.exe");
        return true;
      },
      Press(IDCANCEL),
  });
  EXPECT_EQ(before, folder_.Read("Tarnivel.ini"));
}

TEST_F(ConfigDialog, StoredFlagsTwoDisablesTheTodayControls) {
  Store("Flags", "2");
  Store("Editor", "notepad.exe");
  RunDialog({
      [](HWND d) {
        EXPECT_FALSE(Checked(d, 1101));
        EXPECT_TRUE(Checked(d, 1102)) << "a disabled check box keeps its state";
        EXPECT_EQ("notepad.exe", ItemText(d, 1105));
        for (int id : kTodayControls) EXPECT_FALSE(Enabled(d, id)) << "control " << id;
        for (int id : {1101, 1107, 1108}) EXPECT_TRUE(Enabled(d, id)) << "control " << id;
        return true;
      },
      Press(IDOK),
  });
  EXPECT_EQ("2", Stored("Flags"));
  EXPECT_EQ("notepad.exe", Stored("Editor"));
}

TEST_F(ConfigDialog, UncheckingTodayUseKeepsTheDisabledValues) {
  Store("Flags", "3");
  Store("TodayCnf", "D:\\T\\TODAY.CNF");
  Store("Editor", "vi.exe");
  Store("Program", "cal.exe %y");
  RunDialog({
      [](HWND d) {
        SendDlgItemMessageA(d, 1101, BM_CLICK, 0, 0);
        EXPECT_FALSE(Checked(d, 1101));
        for (int id : kTodayControls) EXPECT_FALSE(Enabled(d, id)) << "control " << id << " after unchecking";
        EXPECT_TRUE(Enabled(d, 1107));
        EXPECT_TRUE(Enabled(d, 1108));
        EXPECT_EQ("D:\\T\\TODAY.CNF", ItemText(d, 1103));
        SendDlgItemMessageA(d, 1101, BM_CLICK, 0, 0);
        for (int id : kTodayControls) EXPECT_TRUE(Enabled(d, id)) << "control " << id << " after checking again";
        SendDlgItemMessageA(d, 1101, BM_CLICK, 0, 0);
        return true;
      },
      Press(IDOK),
  });
  EXPECT_EQ("2", Stored("Flags")) << "bit 1 as the disabled check box shows it";
  EXPECT_EQ("D:\\T\\TODAY.CNF", Stored("TodayCnf"));
  EXPECT_EQ("vi.exe", Stored("Editor"));
  EXPECT_EQ("cal.exe %y", Stored("Program"));
}

TEST_F(ConfigDialog, EditsTakeAtMost259Bytes) {
  RunDialog({
      [](HWND d) {
        HWND edit = GetDlgItem(d, 1107);
        for (int i = 0; i < 270; ++i) SendMessageA(edit, WM_CHAR, 'a' + i % 26, 0);
        EXPECT_EQ(259, GetWindowTextLengthA(edit));
        return true;
      },
      Press(IDOK),
  });
  EXPECT_EQ(259u, Stored("Program").size());
}

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

TEST_F(ConfigDialog, BrowsingForTheProgramReplacesTheWholeCommandLine) {
  std::string tool = MakeFile("tool.exe");
  Store("Program", "C:\\bin\\cal.exe %Y/%M/%D");
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
  ASSERT_EQ(2u, seen.types.size());
  EXPECT_EQ(Sjis(L"プログラム (*.exe)"), seen.types[0]);
  EXPECT_EQ(0, lstrcmpiA(tool.c_str(), Stored("Program").c_str())) << Stored("Program");
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
  EXPECT_EQ("ed.exe -n", seen.fileName);
  EXPECT_EQ("C:\\tools\\ed.exe -n", after);
  EXPECT_EQ("C:\\tools\\ed.exe -n", Stored("Editor"));
}

}  // namespace
