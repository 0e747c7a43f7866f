// The chip settings dialog through the built library's EditHelper, run as
// dxlhost runs it for a live chip: the chip follows the dialog at once.
#include <gtest/gtest.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/commandhelpers.h"
#include "dxlhost/paint.h"
#include "dxlhost/png.h"
#include "host/edit.h"
#include "host/loader.h"
#include "host/menu.h"
#include "tests/common/dialog_driver.h"
#include "tests/host/chip_fixture.h"
#include "tests/host/livemenu.h"
#include "tests/common/runprogram.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

using namespace hostchiptest;

namespace {

class HostEdit : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(lib_.library().empty()) << "the library could not be copied";
    ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_)) << "error " << GetLastError();
    ASSERT_NE(nullptr, api_.EditHelper);
    HostChipInit(&chip_, CreateChipWindow(160, 120, false));
  }
  void TearDown() override {
    if (chip_.chip) HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
    UnloadDxl(&api_);
  }

  int Edit(DialogDriver* driver) {
    driver->Start();
    int result = HostEditChip(&api_, &chip_, chip_.window);
    driver->Stop();
    EXPECT_FALSE(driver->timedOut());
    return result;
  }

  // The whole memo block, terminator and all.
  std::string MemoBytes() {
    const char* p = static_cast<const char*>(GlobalLock(chip_.memo));
    std::string bytes = p ? std::string(p, GlobalSize(chip_.memo)) : std::string();
    GlobalUnlock(chip_.memo);
    return bytes;
  }

  LibraryCopy lib_;
  DxlApi api_;
  HostChip chip_;
};

TEST_F(HostEdit, OkUpdatesTheChipAtOnce) {
  HostChipSetMemo(&chip_, "1998/2");
  ASSERT_EQ(1, HostCreate(&api_, &chip_));
  DialogDriver driver(1201);
  driver.Add([](HWND d) {
    SetDlgItemTextA(d, 1201, "2000");
    SetDlgItemTextA(d, 1202, "3");
    DialogDriver::Click(d, 1205);  // two months
    DialogDriver::Click(d, 1207);  // English
  });
  driver.Add([](HWND d) { DialogDriver::Click(d, IDOK); });
  ASSERT_EQ(1, Edit(&driver));
  HostChipPeek peek;
  ASSERT_TRUE(HostPeekChip(chip_.chip, &peek));
  EXPECT_EQ(2000, peek.year);
  EXPECT_EQ(3, peek.month);
  EXPECT_EQ(0x03, peek.viewFlags);
  EXPECT_EQ(0xFFFF00u, peek.todayColor) << "an empty saved-data block opens with the defaults";

  std::vector<unsigned char> block = HostChipSaveBytes(&chip_);
  ASSERT_GE(block.size(), 28u);
  uint32_t length;
  memcpy(&length, block.data(), 4);
  EXPECT_EQ(24u, length);
  EXPECT_EQ(0x03, block[4 + 21]);
  char memo[16] = "";
  memcpy(memo, GlobalLock(chip_.memo), 8);
  GlobalUnlock(chip_.memo);
  EXPECT_STREQ("2000/03", memo);
}

// The record's blocks after Cancel, byte for byte: a host may keep them.
TEST_F(HostEdit, CancelLeavesTheChipAndItsSavedData) {
  HostChipSetMemo(&chip_, "1998/2");
  std::vector<unsigned char> given = Block(24, CurrentPayload(0x123456, 0xFF, 0xFF0000, 0xFF, 2, 0x0C));
  HostChipSetSaveData(&chip_, given.data(), given.size());
  ASSERT_EQ(1, HostCreate(&api_, &chip_));
  const std::string memoBefore = MemoBytes();
  DialogDriver driver(1201);
  driver.Add([](HWND d) {
    SetDlgItemTextA(d, 1201, "2000");
    DialogDriver::Click(d, 1205);
    SendDlgItemMessageA(d, 1211, CB_SETCURSEL, 0, 0);
    DialogDriver::Click(d, IDCANCEL);
  });
  std::vector<unsigned char> record;
  driver.Start();
  ASSERT_EQ(2, HostEditChip(&api_, &chip_, chip_.window, &record));
  driver.Stop();
  EXPECT_EQ(HexBytes(given), HexBytes(record)) << "the saved-data block the record holds";
  EXPECT_EQ(HexBytes(given), HexBytes(HostChipSaveBytes(&chip_)));
  EXPECT_EQ(memoBefore, MemoBytes()) << "the memo block";
  HostChipPeek peek;
  ASSERT_TRUE(HostPeekChip(chip_.chip, &peek));
  EXPECT_EQ(1998, peek.year);
  EXPECT_EQ(0x0C, peek.viewFlags);
}

// The live chip's menu: the host's item above "close" opens the dialog, and
// after OK the chip shows the new month and view at its new size.
TEST_F(HostEdit, LiveMenuItemOpensTheDialogAndTheChipFollows) {
  HostChip live;
  ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &live));
  ShowWindow(live.window, SW_SHOWNOACTIVATE);
  RECT before;
  GetWindowRect(live.window, &before);

  DialogDriver driver(1201);
  driver.Add([](HWND d) {
    EXPECT_EQ("1998", DialogDriver::Text(d, 1201));
    SetDlgItemTextA(d, 1201, "2000");
    SetDlgItemTextA(d, 1202, "3");
    DialogDriver::Click(d, 1205);
  });
  driver.Add([](HWND d) { DialogDriver::Click(d, IDOK); });
  driver.Start();
  UINT command = livemenu::ChooseWithKeys(&api_, &live, {VK_UP, VK_UP, VK_RETURN});
  driver.Stop();
  EXPECT_FALSE(driver.timedOut());
  EXPECT_EQ(2u, driver.stepsRun()) << "the dialog was not opened by the item";
  EXPECT_GE(command, 0xE000u);

  HostChipPeek peek;
  ASSERT_TRUE(HostPeekChip(live.chip, &peek));
  EXPECT_EQ(2000, peek.year);
  EXPECT_EQ(3, peek.month);
  EXPECT_EQ(0x01, peek.viewFlags);
  SIZE expected = {0, 0};
  api_.CalcDefaultRect(live.chip, live.window, &expected);
  RECT after;
  GetWindowRect(live.window, &after);
  EXPECT_EQ(expected.cx, after.right - after.left) << "two months: the chip is resized";
  EXPECT_GT(after.right - after.left, before.right - before.left);
  HostDestroy(&api_, &live);
  HostChipFree(&live);
}

// dxlhost edit as the gallery runs it: a picture of the dialog as shown, then
// OK pressed; the older 13-byte payload comes back in the current layout.
TEST(HostEditCommand, PictureThenOkWritesTheCurrentLayout) {
  LibraryCopy lib;
  ASSERT_FALSE(lib.library().empty());
  ASSERT_TRUE(lib.Write("in.bin", std::string("\x0d\0\0\0\0\xff\0\0\xff\0\0\0\0\0\xff\0\x01", 17)));
  std::string command = "\"" + ProgramDirectory() + "dxlhost.exe\" edit Tarnivel.dxl --memo 1999/5 "
                        "--save-in in.bin --save-out out.bin --shot shot.png --press ok";
  ASSERT_EQ(0, RunProgram(command, lib.path())) << command;

  std::string out = lib.Read("out.bin");
  std::string expected("\x18\0\0\0\0\0\0\0\0\xff\xff\0\xff\0\0\0\0\0\xff\0\xff\0\0\0\x01\0\0\0", 28);
  EXPECT_EQ(HexBytes(std::vector<unsigned char>(expected.begin(), expected.end())),
            HexBytes(std::vector<unsigned char>(out.begin(), out.end())));

  int w = 0, h = 0;
  std::vector<uint8_t> rgb;
  ASSERT_TRUE(ReadPng(lib.File("shot.png").c_str(), &w, &h, &rgb));
  EXPECT_GT(w, 219);
  EXPECT_GT(h, 148);
  int cyan = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    if (rgb[i] == 0 && rgb[i + 1] == 255 && rgb[i + 2] == 255) ++cyan;
  EXPECT_GT(cyan, 100) << "the swatch of today's default colour";
}

}  // namespace
