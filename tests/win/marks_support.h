// Temporary TODAY files and $TodayTemp keys for the mark tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "../native/marks_lists.h"
#include "plugin/chipstate.h"
#include "resources/resource.h"
#include "settings/settings.h"

class MarksFiles : public testing::Test {
 protected:
  void SetUp() override {
    InitSettings();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + "tarnivel_marks_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir_.c_str(), nullptr);
    oldFlags_ = ReadSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault);
    WriteSettingInt(kUserSection, IDS_KEY_FLAGS, kFlagsDefault);
    ClearSettingSection(IDS_SECTION_TODAYTEMP);
  }
  void TearDown() override {
    ClearSettingSection(IDS_SECTION_TODAYTEMP);
    WriteSettingInt(kUserSection, IDS_KEY_FLAGS, oldFlags_);
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string WriteTable(const std::string& name, const std::string& text) {
    std::string path = dir_ + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD n = 0;
    ::WriteFile(h, text.data(), (DWORD)text.size(), &n, nullptr);
    CloseHandle(h);
    files_.push_back(path);
    return path;
  }
  void SetTable(UINT key, const std::string& path) {
    WriteSettingString(IDS_SECTION_TODAYTEMP, key, path.c_str());
  }
  void SetScheduleFile(int index, const std::string& path) {
    WriteIndexedSettingString(IDS_SECTION_TODAYTEMP, IDS_KEY_SCHEDULEFILE, index, path.c_str());
  }
  // The sample eras, with the era names in Shift-JIS.
  void UseSampleEras() {
    SetTable(IDS_KEY_GENGOTBL, WriteTable("GENGO.TBL",
                                         "# eras\r\n"
                                         "\x8f\xba\x98\x61 1926/12/25 1989/1/7 Ss\r\n"
                                         "\x95\xbd\x90\xac 1989/1/8 2019/4/30 Hh\r\n"
                                         "\x97\xdf\x98\x61 2019/5/1 9999/12/31 Rr\r\n"));
  }

  std::string dir_;
  std::vector<std::string> files_;
  int oldFlags_ = kFlagsDefault;
};

const char kSubstituteName[] = "\x90\x55\x91\xd6\x8b\x78\x93\xfa";  // 振替休日
