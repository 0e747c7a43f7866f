// The configuration dialog against a settings file of its own, driven from its
// own thread.
#pragma once

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

namespace configtest {

typedef DialogDriver::Until DialogStep;

inline std::string WindowText(HWND window) {
  char text[1024];
  int n = GetWindowTextA(window, text, sizeof text);
  return std::string(text, n > 0 ? n : 0);
}
inline std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// A text in the system code page.
inline std::string Sjis(const wchar_t* text) {
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

}  // namespace configtest
