// The chip menu's help command on a copy of the built library: the HTML Help
// viewer of the Windows folder on the Tarnivel.chm beside it, or a message
// when there is none.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "dxlhost/paint.h"
#include "host/loader.h"
#include "soak/iat.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

struct Viewer {
  std::wstring title;  // the help file's: the guide's first heading
  DWORD process = 0;
};

BOOL CALLBACK FindViewer(HWND window, LPARAM param) {
  Viewer* viewer = reinterpret_cast<Viewer*>(param);
  wchar_t title[256];
  if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) && viewer->title == title)
    GetWindowThreadProcessId(window, &viewer->process);
  return !viewer->process;
}

// GetWindowsDirectoryA on a terminal server for a host not marked as aware
// of it: a Windows folder of the user's own, without the help viewer.
UINT WINAPI UsersWindowsDirectory(LPSTR buffer, UINT size) {
  return (UINT)lstrlenA(lstrcpynA(buffer, "C:\\users\\Public\\WINDOWS", (int)size));
}

class HostHelp : public testing::Test {
 protected:
  // Runs the help command of a chip; message boxes are recorded and dismissed.
  std::vector<std::string> RunHelp() {
    DxlApi api;
    HostChip chip;
    PaintOptions o;
    DefaultPaintOptions(&o);
    EXPECT_TRUE(LoadDxl(lib_.library().c_str(), &api) && CreatePaintChip(&api, o, &chip));
    void* original;
    PatchImport(api.module, "GetWindowsDirectoryA", reinterpret_cast<void*>(UsersWindowsDirectory), &original);
    DialogDriver driver(0x7FFF);  // no dialog has it: only message boxes
    driver.Start();
    EXPECT_EQ(0, api.DoDrawExMenu(chip.chip, chip.window, 10005));
    driver.Stop();
    HostDestroy(&api, &chip);
    HostChipFree(&chip);
    UnloadDxl(&api);
    return driver.boxes();
  }

  LibraryCopy lib_;
};

TEST_F(HostHelp, StartsTheWindowsFoldersViewerOnTheHelpFileBesideTheLibrary) {
  ASSERT_TRUE(lib_.CopyIn(BuildFolder() + "Tarnivel.chm", "Tarnivel.chm"));
  std::ifstream guide(TARNIVEL_SOURCE_DIR "/docs/guide.ja.md");
  std::string heading;
  while (std::getline(guide, heading) && heading.rfind("# ", 0)) {
  }
  ASSERT_EQ(0u, heading.rfind("# ", 0));
  Viewer viewer;
  viewer.title.resize(heading.size());
  viewer.title.resize(MultiByteToWideChar(CP_UTF8, 0, heading.c_str() + 2, -1, &viewer.title[0], heading.size()) - 1);
  EXPECT_EQ(std::vector<std::string>(), RunHelp());
  for (int i = 0; i < 200 && !viewer.process; ++i, Sleep(50)) EnumWindows(FindViewer, (LPARAM)&viewer);
  ASSERT_NE(0u, viewer.process) << "no window shows the help file's title";
  EXPECT_NE(GetCurrentProcessId(), viewer.process);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewer.process);
  auto query = reinterpret_cast<BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  char image[MAX_PATH] = "", windows[MAX_PATH];
  DWORD size = sizeof image;
  ASSERT_TRUE(process && query && query(process, 0, image, &size));
  GetSystemWindowsDirectoryA(windows, sizeof windows);
  EXPECT_EQ(0, lstrcmpiA((std::string(windows) + "\\hh.exe").c_str(), image)) << image;
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

TEST_F(HostHelp, SaysSoWhenThereIsNoHelpFile) {
  // "ヘルプファイル Tarnivel.chm が見つかりません。"
  EXPECT_EQ(std::vector<std::string>{"\x83\x77\x83\x8B\x83\x76\x83\x74\x83\x40\x83\x43\x83\x8B Tarnivel.chm "
                                     "\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42"},
            RunHelp());
}

}  // namespace
