// The fixture of the reload tests: the built library beside the sample
// scheduler files, its imports counted, and a chip of February 1998.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/hover.h"
#include "dxlhost/paint.h"
#include "host/loader.h"
#include "host/menu.h"
#include "host/pump.h"
#include "soak/accounting.h"
#include "soak/faults.h"
#include "tests/common/tempfolder.h"
#include "tests/host/memochip.h"

class Reload : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lib_.ok());
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    cwd_ = cwd;
    SetCurrentDirectoryA(lib_.path().c_str());  // per-month schedule files
    ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_));
    ASSERT_GT(SoakInstallHooks(api_.module), 0);
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &chip_));
  }
  void TearDown() override {
    SoakSetFault(nullptr, 0);
    if (chip_.chip) HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
    if (api_.module) UnloadDxl(&api_);
    SetCurrentDirectoryA(cwd_.c_str());
  }
  // The library loaded afresh, with a new chip of the same month.
  void Restart() {
    HostDestroy(&api_, &chip_);
    HostChipFree(&chip_);
    UnloadDxl(&api_);
    ASSERT_TRUE(LoadDxl(lib_.library().c_str(), &api_));
    ASSERT_TRUE(CreateMemoChip(&api_, "1998/2", 1, &chip_));
  }
  void ReloadCnf() { ApplyMenuResult(&api_, &chip_, api_.DoDrawExMenu(chip_.chip, chip_.window, 10004)); }
  std::vector<uint32_t> Masks() {
    HostChipPeek peek;
    EXPECT_TRUE(HostPeekChip(chip_.chip, &peek));
    return {peek.holidayMask[0], peek.scheduleMask[0]};
  }
  std::string Section() {
    char text[4096];
    DWORD n = GetPrivateProfileSectionA("$TodayTemp", text, sizeof text, lib_.SettingsFile().c_str());
    return std::string(text, n);
  }
  // The chip and the tip over 11 February (a holiday and a schedule day),
  // built afresh: the cursor rests on 3 February (no marks) first.
  std::vector<uint8_t> Tip() {
    POINT plain;
    if (FindDayOnScreen(&chip_, HoverDate{1998, 2, 3}, &plain)) SetCursorPos(plain.x, plain.y);
    PumpMessagesFor(100);
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const char* why = "";
    EXPECT_TRUE(HoverAndCapture(&chip_, HoverDate{1998, 2, 11}, 40, 40, &w, &h, &rgb, &why)) << why;
    return rgb;
  }

  LibraryCopy lib_{true};
  DxlApi api_ = DxlApi();
  HostChip chip_ = HostChip();
  std::string cwd_;
};
