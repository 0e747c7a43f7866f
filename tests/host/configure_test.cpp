// The configuration dialog through the built library's export, and the
// configure command of dxlhost, each with a library copy of its own so that
// the settings file lies in a scratch folder.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/menu.h"
#include "dxlhost/paint.h"
#include "host/configure.h"
#include "host/loader.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/runprogram.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

namespace {

class HostConfigure : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(copy_.ok());
    library_ = copy_.library();
    ini_ = copy_.SettingsFile();
  }

  // dxlhost with these arguments, run in the copy's folder; its standard output.
  std::string RunHost(const std::string& arguments, int* exitCode) {
    std::string out;
    *exitCode = RunProgramOutput("\"" + ProgramDirectory() + "dxlhost.exe\" " + arguments, copy_.path(), &out);
    return out;
  }

  LibraryCopy copy_{true};  // with the sample scheduler files
  std::string library_, ini_;
};

TEST_F(HostConfigure, ExportRunsTheDialogAndReturnsOneEitherWay) {
  DxlApi api;
  ASSERT_TRUE(LoadDxl(library_.c_str(), &api));
  ASSERT_NE(nullptr, api.DrawExConfigure);
  SettingsFile settings = LibrarySettingsFile(api.file);
  EXPECT_EQ(0, lstrcmpiA(ini_.c_str(), settings.path.c_str())) << settings.path;
  const std::string& section = settings.section;
  WritePrivateProfileStringA(section.c_str(), "Flags", "1", ini_.c_str());
  HWND owner = CreateChipWindow(160, 120, false);

  int result = 0;
  EXPECT_TRUE(DialogDriver::Run(1101, [&] { result = api.DrawExConfigure(owner); },
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
                    }));
  EXPECT_EQ(1, result);
  EXPECT_TRUE(IsWindowEnabled(owner));
  char value[64];
  GetPrivateProfileStringA(section.c_str(), "Program", "<missing>", value, sizeof value, ini_.c_str());
  EXPECT_STREQ("cal.exe %Y", value);
  EXPECT_EQ(1u, GetPrivateProfileIntA(section.c_str(), "Flags", 99, ini_.c_str()));

  result = 0;
  EXPECT_TRUE(DialogDriver::Run(1101, [&] { result = api.DrawExConfigure(owner); },
                    {[](HWND d) {
                      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
                      return true;
                    }}));
  EXPECT_EQ(1, result) << "after Cancel";
  DestroyWindow(owner);
  UnloadDxl(&api);
}

TEST_F(HostConfigure, CommandPrintsTheKeysTheDialogChanged) {
  int code = 99;
  std::string out = RunHost("configure \"" + library_ + "\" --close ok", &code);
  EXPECT_EQ(0, code) << out;
  EXPECT_NE(std::string::npos, out.find("DrawExConfigure: 1")) << out;
  for (const char* line : {"added: Flags \"3\"", "added: Editor \"\"", "added: Program \"\""})
    EXPECT_NE(std::string::npos, out.find(line)) << "no line " << line << " in\n" << out;
  // The load found the sample environment file and stored it; OK kept it.
  EXPECT_EQ(std::string::npos, out.find("TodayCnf")) << out;

  WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini_.c_str());  // drop our cached copy of the file
  std::string png = copy_.File("dialog.png");
  out = RunHost("configure \"" + library_ + "\" --shot \"" + png + "\" --close cancel", &code);
  EXPECT_EQ(0, code) << out;
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

TEST_F(HostConfigure, ChipMenuItemRunsTheDialogAndTheChipFollows) {
  DxlApi api;
  ASSERT_TRUE(LoadDxl(library_.c_str(), &api));
  SettingsFile settings = LibrarySettingsFile(api.file);
  WritePrivateProfileStringA(settings.section.c_str(), "Flags", "3", ini_.c_str());
  HostChip chip;
  ASSERT_TRUE(CreateMemoChip(&api, "1998/2", 1, &chip));
  const int kTagWindow = 46;
  EXPECT_NE(nullptr, GetDlgItem(chip.window, kTagWindow)) << "marks from the sample files";

  // The host's items are last: this one, the chip settings, closing the chip.
  for (WPARAM key : {VK_UP, VK_UP, VK_UP, VK_RETURN}) {
    PostMessageA(chip.window, WM_KEYDOWN, key, 1);
    PostMessageA(chip.window, WM_KEYUP, key, 0xC0000001);
  }
  UINT command = 0;
  RECT r;
  GetWindowRect(chip.window, &r);
  EXPECT_TRUE(DialogDriver::Run(1101, [&] { command = TrackChipMenu(&api, &chip, POINT{r.left + 10, r.top + 10}); },
                    {[&chip](HWND d) {
                      EXPECT_EQ(chip.window, GetWindow(d, GW_OWNER));
                      SendDlgItemMessageA(d, 1101, BM_CLICK, 0, 0);
                      PostMessageA(d, WM_COMMAND, IDOK, 0);
                      return true;
                    }}));
  EXPECT_GE(command, 0xE000u);
  EXPECT_EQ(2u, GetPrivateProfileIntA(settings.section.c_str(), "Flags", 99, ini_.c_str()));
  EXPECT_EQ(nullptr, GetDlgItem(chip.window, kTagWindow)) << "the chip was updated without TODAY's files";
  HostDestroy(&api, &chip);
  HostChipFree(&chip);
  UnloadDxl(&api);
}

}  // namespace
