// The configuration dialog, opened for real and driven from its own thread,
// against a settings file of its own.
#include "config_fixture.h"

using namespace configtest;

namespace {

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
        SetDlgItemTextA(d, 1107, "'C:\\calc.exe' '%Y/%M/%D'");  // the profile read takes off a pair of ' too
        return true;
      },
      Press(IDOK),
  });
  EXPECT_EQ("3", Stored("Flags"));
  EXPECT_EQ("C:\\TODAY\\TODAY.CNF", Stored("TodayCnf"));
  EXPECT_EQ("C:\\\x83\x5C\x83\x74\x83\x67\\edit.exe", Stored("Editor"));
  EXPECT_EQ("'C:\\calc.exe' '%Y/%M/%D'", Stored("Program"));

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

}  // namespace
