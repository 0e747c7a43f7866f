// The chip menu's help command on a copy of the built library: the HTML Help
// viewer of the Windows folder on the Tarnivel.chm beside it, or a message
// when there is none.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "host/loader.h"
#include "host/paint.h"
#include "tests/common/dialog_driver.h"
#include "tests/common/tempfolder.h"

namespace {

const UINT kHelpCommand = 10005;

// The help file's title: the guide's first heading.
std::wstring GuideTitle() {
  std::ifstream guide(TARNIVEL_SOURCE_DIR "/docs/guide.ja.md", std::ios::binary);
  std::string line;
  while (std::getline(guide, line) && line.rfind("# ", 0) != 0) {
  }
  line = line.size() > 2 ? line.substr(2) : "";
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  wchar_t wide[256];
  int n = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide, 256);
  return n > 0 ? std::wstring(wide) : std::wstring();
}

struct Viewer {
  std::wstring title;
  DWORD process = 0;
};

BOOL CALLBACK FindViewer(HWND window, LPARAM param) {
  Viewer* viewer = reinterpret_cast<Viewer*>(param);
  wchar_t title[256];
  if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) && viewer->title == title) {
    GetWindowThreadProcessId(window, &viewer->process);
    return FALSE;
  }
  return TRUE;
}

std::string ImagePath(HANDLE process) {
  typedef BOOL(WINAPI * QueryImage)(HANDLE, DWORD, LPSTR, PDWORD);
  QueryImage query = reinterpret_cast<QueryImage>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  char path[MAX_PATH];
  DWORD size = sizeof path;
  return query && query(process, 0, path, &size) ? std::string(path, size) : std::string();
}

class HostHelp : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(lib_.library().empty()) << "no copy of the library in " << lib_.path();
    ASSERT_TRUE(loaded_ = LoadDxl(lib_.library().c_str(), &api_));
    PaintOptions o;
    DefaultPaintOptions(&o);
    ASSERT_TRUE(created_ = CreatePaintChip(&api_, o, &chip_));
  }
  void TearDown() override {
    if (created_) {
      HostDestroy(&api_, &chip_);
      HostChipFree(&chip_);
    }
    if (loaded_) UnloadDxl(&api_);
  }

  // Runs the help command; message boxes are recorded and dismissed.
  int RunHelp(std::vector<std::string>* boxes) {
    DialogDriver driver(0x7FFF);  // no dialog: only message boxes
    driver.Start();
    int result = api_.DoDrawExMenu(chip_.chip, chip_.window, kHelpCommand);
    driver.Stop();
    *boxes = driver.boxes();
    return result;
  }

  LibraryCopy lib_;
  DxlApi api_;
  HostChip chip_;
  bool loaded_ = false, created_ = false;
};

TEST_F(HostHelp, StartsTheWindowsFoldersViewerOnTheHelpFileBesideTheLibrary) {
  ASSERT_TRUE(lib_.CopyIn(BuildFolder() + "Tarnivel.chm", "Tarnivel.chm"));
  Viewer viewer;
  viewer.title = GuideTitle();
  ASSERT_FALSE(viewer.title.empty());
  std::vector<std::string> boxes;
  EXPECT_EQ(0, RunHelp(&boxes));
  EXPECT_TRUE(boxes.empty()) << boxes[0];
  for (int i = 0; i < 400 && !viewer.process; ++i) {
    EnumWindows(FindViewer, reinterpret_cast<LPARAM>(&viewer));
    if (!viewer.process) Sleep(50);
  }
  ASSERT_NE(0u, viewer.process) << "no viewer window shows the help file's title";
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewer.process);
  ASSERT_NE(nullptr, process);
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, sizeof windows);
  EXPECT_EQ(0, lstrcmpiA((std::string(windows) + "\\hh.exe").c_str(), ImagePath(process).c_str()))
      << ImagePath(process);
  EXPECT_NE(GetCurrentProcessId(), viewer.process) << "the viewer runs in the host's process";
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

TEST_F(HostHelp, SaysSoWhenThereIsNoHelpFile) {
  std::vector<std::string> boxes;
  EXPECT_EQ(0, RunHelp(&boxes));
  ASSERT_EQ(1u, boxes.size());
  // "ヘルプファイル Tarnivel.chm が見つかりません。"
  EXPECT_EQ("\x83\x77\x83\x8B\x83\x76\x83\x74\x83\x40\x83\x43\x83\x8B Tarnivel.chm \x82\xAA\x8C\xA9\x82\xC2\x82\xA9"
            "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42",
            boxes[0]);
}

}  // namespace
