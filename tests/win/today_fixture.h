// Shared set-up of the TODAY file tests: a scratch folder of real files, the
// real settings file, and the environment and current directory put back
// afterwards.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/tempfolder.h"
#include "today/markreading.h"

// An era year as the marks read it: GENGO.TBL named by $TodayTemp.
inline uint16_t EraYear(char letter, uint16_t n) {
  MarkReading reading;
  return EraCacheLookup(reading.eras(), letter, n);
}

class TodayFiles : public testing::Test {
 protected:
  void SetUp() override {
    InitSettings();
    SaveUserKey("TodayCnf", &savedTodayCnf_);
    SaveUserKey("Flags", &savedFlags_);
    SaveVariable("TODAYTBL", &savedTodayTbl_);
    SaveVariable("PATH", &savedPath_);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    savedCwd_ = cwd;

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root_ = std::string(temp) + "tarnivel_today_" + std::to_string(GetCurrentProcessId());
    RemoveTree(root_);
    CreateDirectoryA(root_.c_str(), nullptr);
    cwd_ = MakeDir("cwd");
    SetCurrentDirectoryA(cwd_.c_str());
    SetEnvironmentVariableA("TODAYTBL", nullptr);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    SetEnvironmentVariableA("PATH", system);

    WriteUser("Flags", "3");
    WriteUser("TodayCnf", nullptr);
    ClearSettingSection(IDS_SECTION_TODAYTEMP);
  }

  void TearDown() override {
    ClearSettingSection(IDS_SECTION_TODAYTEMP);
    RestoreUserKey("TodayCnf", savedTodayCnf_);
    RestoreUserKey("Flags", savedFlags_);
    SetCurrentDirectoryA(savedCwd_.c_str());
    RestoreVariable("TODAYTBL", savedTodayTbl_);
    RestoreVariable("PATH", savedPath_);
    RemoveTree(root_);
  }

  // A folder under the scratch folder; returns its full path.
  std::string MakeDir(const std::string& name) {
    std::string path = root_ + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }

  static void WriteBytes(const std::string& path, const std::string& data) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD written = 0;
    WriteFile(h, data.data(), (DWORD)data.size(), &written, nullptr);
    CloseHandle(h);
  }

  static std::string Forward(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  }

  static void WriteUser(const char* key, const char* value) {
    WritePrivateProfileStringA(SettingsUserSection(), key, value, SettingsFilePath());
  }

  static std::string ReadUser(const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(SettingsUserSection(), key, "", value, sizeof value, SettingsFilePath());
    return value;
  }

  static std::string ReadTemp(const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA("$TodayTemp", key, "", value, sizeof value, SettingsFilePath());
    return value;
  }

  static void WriteTemp(const char* key, const std::string& value) {
    WritePrivateProfileStringA("$TodayTemp", key, value.c_str(), SettingsFilePath());
  }

  // Every "key=value" of $TodayTemp, sorted.
  static std::vector<std::string> TempSection() {
    std::vector<char> buffer(32768);
    DWORD n = GetPrivateProfileSectionA("$TodayTemp", buffer.data(), (DWORD)buffer.size(), SettingsFilePath());
    std::vector<std::string> entries;
    for (DWORD i = 0; i < n && buffer[i];) {
      std::string entry(&buffer[i]);
      entries.push_back(entry);
      i += (DWORD)entry.size() + 1;
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  static std::string Show(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& e : entries) out += "\n  " + e;
    return out.empty() ? " (empty)" : out;
  }

  std::string root_;
  std::string cwd_;

 private:
  // A saved value starts with '=' when the key or variable was there.
  static void SaveUserKey(const char* key, std::string* saved) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(SettingsUserSection(), key, "\x01", value, sizeof value, SettingsFilePath());
    *saved = (value[0] == '\x01' && value[1] == '\0') ? "" : std::string("=") + value;
  }
  static void RestoreUserKey(const char* key, const std::string& saved) {
    WriteUser(key, saved.empty() ? nullptr : saved.c_str() + 1);
  }
  static void SaveVariable(const char* name, std::string* saved) {
    DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
    if (n == 0) {
      saved->clear();
      return;
    }
    std::vector<char> value(n + 1);
    GetEnvironmentVariableA(name, value.data(), n + 1);
    *saved = std::string("=") + value.data();
  }
  static void RestoreVariable(const char* name, const std::string& saved) {
    SetEnvironmentVariableA(name, saved.empty() ? nullptr : saved.c_str() + 1);
  }

  std::string savedTodayCnf_, savedFlags_, savedTodayTbl_, savedPath_, savedCwd_;
};
