// The configuration dialog through the built library's export, and the
// configure command of dxlhost, each with a library copy of its own so that
// the settings file lies in a scratch folder.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/configure.h"
#include "host/loader.h"
#include "tests/common/tempfolder.h"
#include "tests/win/dialog_driver.h"

namespace {

class HostConfigure : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(copy_.ok());
    library_ = copy_.library();
    ini_ = copy_.SettingsFile();
  }

  // dxlhost with these arguments; its standard output.
  std::string RunHost(const std::string& arguments, DWORD* exitCode) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return "<no pipe>";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + ProgramDirectory() + "dxlhost.exe\" " + arguments;
    PROCESS_INFORMATION pi;
    BOOL started =
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, copy_.path().c_str(), &si, &pi);
    CloseHandle(writeEnd);
    std::string out;
    if (started) {
      char buf[512];
      DWORD n;
      while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
      WaitForSingleObject(pi.hProcess, 60000);
      GetExitCodeProcess(pi.hProcess, exitCode);
      CloseHandle(pi.hThread);
      CloseHandle(pi.hProcess);
    }
    CloseHandle(readEnd);
    return started ? out : "<not started>";
  }

  LibraryCopy copy_;
  std::string library_, ini_;
};

TEST_F(HostConfigure, ExportRunsTheDialogAndReturnsOneEitherWay) {
  DxlApi api;
  ASSERT_TRUE(LoadDxl(library_.c_str(), &api));
  ASSERT_NE(nullptr, api.DrawExConfigure);
  std::string file, section;
  ASSERT_TRUE(LocateLibrarySettings(api.module, &file, &section));
  EXPECT_EQ(0, lstrcmpiA(ini_.c_str(), file.c_str())) << file;
  WritePrivateProfileStringA(section.c_str(), "Flags", "1", ini_.c_str());
  HWND owner = CreateChipWindow(160, 120, false);

  int result = 0;
  DialogDriver::Run([&] { result = api.DrawExConfigure(owner); },
                    {
                        [owner](HWND d) {
                          EXPECT_EQ(owner, GetWindow(d, GW_OWNER));
                          EXPECT_FALSE(IsWindowEnabled(owner)) << "a modal dialog disables its owner";
                          EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, 1101));
                          EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(d, 1102));
                          SetDlgItemTextA(d, 1107, "cal.exe %Y");
                          PostMessageA(d, WM_COMMAND, IDOK, 0);
                          return true;
                        },
                    });
  EXPECT_EQ(1, result);
  EXPECT_TRUE(IsWindowEnabled(owner));
  char value[64];
  GetPrivateProfileStringA(section.c_str(), "Program", "<missing>", value, sizeof value, ini_.c_str());
  EXPECT_STREQ("cal.exe %Y", value);
  EXPECT_EQ(1u, GetPrivateProfileIntA(section.c_str(), "Flags", 99, ini_.c_str()));

  result = 0;
  DialogDriver::Run([&] { result = api.DrawExConfigure(owner); },
                    {[](HWND d) {
                      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
                      return true;
                    }});
  EXPECT_EQ(1, result) << "after Cancel";
  DestroyWindow(owner);
  UnloadDxl(&api);
}

TEST_F(HostConfigure, CommandPrintsTheKeysTheDialogChanged) {
  DWORD code = 99;
  std::string out = RunHost("configure \"" + library_ + "\" --close ok", &code);
  EXPECT_EQ(0u, code) << out;
  EXPECT_NE(std::string::npos, out.find("DrawExConfigure: 1")) << out;
  for (const char* line : {"added: Flags \"3\"", "added: TodayCnf \"\"", "added: Editor \"\"", "added: Program \"\""})
    EXPECT_NE(std::string::npos, out.find(line)) << "no line " << line << " in\n" << out;

  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini_.c_str());  // drop our cached copy of the file
  std::string png = copy_.File("dialog.png");
  out = RunHost("configure \"" + library_ + "\" --shot \"" + png + "\" --close cancel", &code);
  EXPECT_EQ(0u, code) << out;
  EXPECT_NE(std::string::npos, out.find("settings unchanged")) << out;
  EXPECT_EQ(std::string::npos, out.find("added:")) << out;

  // A PNG of the dialog's size as printed.
  int w = 0, h = 0;
  size_t at = out.find("dialog.png: ");
  ASSERT_NE(std::string::npos, at) << out;
  ASSERT_EQ(2, sscanf(out.c_str() + at, "dialog.png: %d x %d", &w, &h));
  EXPECT_GT(w, 200);
  EXPECT_GT(h, 200);
  HANDLE f = CreateFileA(png.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, f);
  unsigned char head[24] = {0};
  DWORD n = 0;
  ReadFile(f, head, sizeof head, &n, nullptr);
  CloseHandle(f);
  ASSERT_EQ(24u, n);
  EXPECT_EQ(0, memcmp(head, "\x89PNG", 4));
  EXPECT_EQ(w, (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19]);
  EXPECT_EQ(h, (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23]);
}

}  // namespace
