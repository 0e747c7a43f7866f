// The chip's menu as dxlhost shows it, on a copy of the built library in a
// scratch folder with the sample scheduler files beside it.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/paint.h"
#include "host/loader.h"
#include "host/menu.h"
#include "tests/common/runprogram.h"
#include "tests/common/tempfolder.h"
#include "tests/host/livemenu.h"
#include "tests/host/memochip.h"
#include "tests/win/record_support.h"

using livemenu::ChooseWithKeys;

namespace {

class HostMenu : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(lib_.library().empty()) << "no copy of the library in " << lib_.path();
    lib_.WriteUserSetting("Flags", "1");
  }

  LibraryCopy lib_{true};
};

SIZE WindowSize(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST_F(HostMenu, LiveMenuCarriesOutLibraryAndHostItems) {
  DxlApi api;
  ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api));
  ASSERT_TRUE(api.GetDrawExMenu && api.DoDrawExMenu && api.DrawExAbout);
  HostChip chip;
  ASSERT_TRUE(CreateMemoChip(&api, "1998/2", 1, &chip));
  ShowWindow(chip.window, SW_SHOWNOACTIVATE);
  SIZE one = WindowSize(chip.window);

  EXPECT_EQ(10000u, ChooseWithKeys(&api, &chip, {VK_DOWN, VK_RETURN})) << "2 months";
  HostChipPeek peek;
  ASSERT_TRUE(HostPeekChip(chip.chip, &peek));
  EXPECT_EQ(0x01, peek.viewFlags);
  SIZE expected = {0, 0};
  api.CalcDefaultRect(chip.chip, chip.window, &expected);
  SIZE two = WindowSize(chip.window);
  EXPECT_EQ(expected.cx, two.cx) << "result 2 resizes the chip";
  EXPECT_EQ(expected.cy, two.cy);
  EXPECT_GT(two.cx, one.cx);

  ValidateRect(chip.window, nullptr);
  EXPECT_EQ(10003u, ChooseWithKeys(&api, &chip, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})) << "reload";
  RECT dirty;
  EXPECT_TRUE(GetUpdateRect(chip.window, &dirty, FALSE)) << "result 1 repaints the chip";
  EXPECT_EQ(two.cx, WindowSize(chip.window).cx);

  MSG msg;
  while (PeekMessageA(&msg, chip.window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
  }
  UINT close = ChooseWithKeys(&api, &chip, {VK_UP, VK_RETURN});
  EXPECT_GE(close, 0xE000u) << "the host's item comes last";
  EXPECT_TRUE(PeekMessageA(&msg, chip.window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "the chip is asked to close";

  EXPECT_EQ(0u, ChooseWithKeys(&api, &chip, {VK_ESCAPE})) << "nothing chosen";
  HostDestroy(&api, &chip);
  HostChipFree(&chip);
  UnloadDxl(&api);
}

// Runs dxlhost with the arguments; its standard output.
std::string RunDxlhost(const std::string& arguments) {
  std::string out;
  RunProgramOutput("\"" + ProgramDirectory() + "dxlhost.exe\" " + arguments, "", &out, 30000);
  return out;
}

TEST_F(HostMenu, MenuCommandPrintsTheMenuAndTheStateAfterACommand) {
  std::string out = RunDxlhost("menu \"" + lib_.library() + "\" --memo 1998/2 --setting Flags=3 --run 10001");
  for (const char* line : {"  10000 \"2\x83\x96\x8C\x8E\x95\x5C\x8E\xA6(&T)\"\r\n", " grayed\r\n",
                           "    10007 \"TODAY.CNF\"\r\n", "    10008 \"SCHEDULE.TBL\"\r\n",
                           "DoDrawExMenu(10001): 2\r\n", "after DoDrawExMenu: month 1998/02 today 0 viewFlags 0xf0",
                           "  10001 \"\x8F\x63\x82\xC9\x95\xC0\x82\xD7\x82\xE9(&V)\" checked grayed\r\n"}) {
    EXPECT_NE(std::string::npos, out.find(line)) << "no \"" << line << "\" in:\n" << out;
  }
  EXPECT_EQ(1u, GetPrivateProfileIntA(UserSection().c_str(), "Flags", 0, lib_.SettingsFile().c_str())) << "the setting is put back";
}

TEST(HostEditMenu, PerMonthScheduleFileOpensAsTheChipsFirstMonthEvenBeforeItExists) {
  LibraryCopy lib;
  CommandRecorder recorder;
  ASSERT_TRUE(lib.ok() && recorder.ready());
  ASSERT_TRUE(lib.Write("TODAY.CNF", "schedule_file1=" + lib.File("S%Y%M.TBL") + "\r\n"));  // S202612.TBL: none
  lib.WriteUserSetting("Flags", "1");
  lib.WriteUserSetting("Editor", ("\"" + recorder.helper() + "\"").c_str());
  DxlApi api;
  ASSERT_TRUE(LoadDxl(lib.library().c_str(), &api));
  HostChip chip;
  ASSERT_TRUE(CreateMemoChip(&api, "2026/12", 2, &chip));
  EXPECT_EQ(0, api.DoDrawExMenu(chip.chip, chip.window, 10008));
  std::string line;
  EXPECT_TRUE(recorder.Read(15000, &line));
  EXPECT_EQ("\"" + recorder.helper() + "\" \"" + lib.File("S202612.TBL") + "\"", line);
  HostDestroy(&api, &chip);
  HostChipFree(&chip);
  UnloadDxl(&api);
}

}  // namespace
