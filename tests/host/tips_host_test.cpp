// Hover tips through the built library, loaded from a folder of its own
// beside the sample scheduler files, as a host loads it.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/hover.h"
#include "dxlhost/paint.h"
#include "host/loader.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

namespace {

class TipsHost : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(lib_.library().empty()) << "the library and the sample files could not be copied";
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    cwd_ = cwd;
    // Per-month schedule file names are opened from the current directory.
    SetCurrentDirectoryA(lib_.path().c_str());
    SetCursorPos(0, 0);
  }
  void TearDown() override {
    if (api_.module) UnloadDxl(&api_);
    SetCurrentDirectoryA(cwd_.c_str());
  }
  // Writes "Flags" into the copy's settings, then loads the copy.
  void Load(const char* flags) {
    lib_.WriteUserSetting("Flags", flags);
    ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_)) << "error " << GetLastError();
  }
  // Whether a window procedure lies in the library's image.
  bool InLibrary(HWND window) {
    const char* proc = reinterpret_cast<const char*>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    const char* base = reinterpret_cast<const char*>(api_.module);
    const IMAGE_NT_HEADERS* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    return proc >= base && proc < base + nt->OptionalHeader.SizeOfImage;
  }

  LibraryCopy lib_{true};
  DxlApi api_ = DxlApi();
  std::string cwd_;
};

TEST_F(TipsHost, HoverCapturesTheChipWithItsTip) {
  Load("3");
  HostChip chip;
  ASSERT_TRUE(CreateMemoChip(&api_, "2026/12", 2, &chip));
  EXPECT_TRUE(InLibrary(chip.window)) << "the library hooked the host's window";
  HoverDate date;
  ASSERT_TRUE(ParseHoverDate("2027/01/11", &date));
  EXPECT_FALSE(ParseHoverDate("2027/02/30", &date));
  EXPECT_FALSE(ParseHoverDate("2027/1-11", &date));
  ASSERT_TRUE(ParseHoverDate("2027-1-11", &date));

  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  const char* why = "";
  ASSERT_TRUE(HoverAndCapture(&chip, date, 40, 40, &w, &h, &rgb, &why)) << why;
  HWND tip = FindShownTip();
  ASSERT_NE(nullptr, tip);
  RECT chipRect, tipRect;
  GetWindowRect(chip.window, &chipRect);
  GetWindowRect(tip, &tipRect);
  // A holiday and two schedule texts, one on two lines: four lines.
  int lines = (tipRect.bottom - tipRect.top) / 12;
  EXPECT_GE(lines, 4) << "tip height " << tipRect.bottom - tipRect.top;
  // The tip's background and text, seen from the screen inside its frame.
  COLORREF back = GetSysColor(COLOR_INFOBK);
  int backPixels = 0, ink = 0, inside = 0;
  for (int y = tipRect.top + 4; y < tipRect.bottom - 4; ++y)
    for (int x = tipRect.left + 4; x < tipRect.right - 4; ++x) {
      const uint8_t* p = &rgb[((size_t)(y - chipRect.top) * w + (x - chipRect.left)) * 3];
      ++inside;
      if (RGB(p[0], p[1], p[2]) == back) ++backPixels;
      else ++ink;
    }
  EXPECT_GT(backPixels, inside / 2) << "the tip's background";
  EXPECT_GT(ink, 100) << "the tip's text";
  EXPECT_EQ(chipRect.right - chipRect.left, w) << "the tip lies inside the chip's width here";

  HWND window = chip.window;
  HostDestroy(&api_, &chip);
  EXPECT_FALSE(InLibrary(window)) << "unhooked: the host's own procedure again";
  HostChipFree(&chip);
}

}  // namespace
