// A chip window and state with settings of their own in a scratch folder,
// for the menu, file editing and about box tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "plugin/chipstate.h"
#include "plugin/globals.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/tempfolder.h"

class MenuChip : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.ok());
    dir_ = folder_.path();
    InitSettingsWith((dir_ + "Tarnivel.dxl").c_str(), "menutest");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = g_hInstance;
    wc.lpszClassName = "TarnivelMenuChip";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, "TarnivelMenuChip", "", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr,
                              g_hInstance, nullptr);
    ASSERT_NE(nullptr, window_);
    chip_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ChipState));
    ASSERT_NE(nullptr, chip_);
    SetView(1998, 5, 0);
  }
  void TearDown() override {
    DestroyWindow(window_);
    GlobalFree(chip_);
    InitSettings();
  }

  void SetView(uint16_t year, uint8_t month, uint8_t viewFlags) {
    ChipLock state(chip_);
    state->year = year;
    state->month = month;
    state->viewFlags = viewFlags;
  }
  ChipState State() {
    ChipLock state(chip_);
    return *state.get();
  }
  std::string WriteFile(const std::string& name, const std::string& text) {
    EXPECT_TRUE(folder_.Write(name, text)) << name;
    return folder_.File(name);
  }
  void SetScheduleFile(int index, const char* path) {
    WriteIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, index, path);
  }

  TempFolder folder_{"tarnivel_menu"};
  std::string dir_;  // with a trailing backslash
  HWND window_ = nullptr;
  HGLOBAL chip_ = nullptr;
};
