#include "settings/settings.h"

#include <string.h>

#include "plugin/globals.h"
#include "resources/resource.h"
#include "text/strbasic.h"

namespace {

char g_path[kSettingsPathSize];
char g_userSection[kSettingsNameSize];
// Scratch of the current call.
char g_section[kSettingsNameSize];
char g_key[kSettingsNameSize];

void LoadSection(UINT section) {
  if (section == kUserSection) {
    lstrcpynA(g_section, g_userSection, sizeof g_section);
  } else if (LoadStringA(g_hInstance, section, g_section, sizeof g_section) <= 0) {
    g_section[0] = '\0';
  }
}

void LoadKey(UINT key) {
  if (LoadStringA(g_hInstance, key, g_key, sizeof g_key) <= 0) g_key[0] = '\0';
}

void LoadIndexedKey(UINT key, int index) {
  char format[kSettingsNameSize];
  if (LoadStringA(g_hInstance, key, format, sizeof format) <= 0) format[0] = '\0';
  // The format holds one integer conversion and at most 31 bytes; a 32-bit
  // number adds at most 11, so the result is cut to the scratch explicitly.
  char formatted[kSettingsNameSize + 16];
  wsprintfA(formatted, format, index);
  lstrcpynA(g_key, formatted, sizeof g_key);
}

}  // namespace

LONG g_settingsCalls = 0;

int ReplaceExtension(char* path, int size, const char* ext) {
  char* dot = FindLastChar(path, '.');
  if (!dot) return 0;
  size_t stem = (size_t)(dot - path) + 1;
  size_t extLen = strlen(ext);
  if (stem + extLen + 1 > (size_t)size) return 0;
  memcpy(path + stem, ext, extLen + 1);
  return 1;
}

void InitSettingsWith(const char* modulePath, const char* userName) {
  lstrcpynA(g_path, modulePath ? modulePath : "", sizeof g_path);
  if (!ReplaceExtension(g_path, sizeof g_path, "ini")) {
    if (LoadStringA(g_hInstance, IDS_INI_NAME, g_path, sizeof g_path) <= 0) lstrcpyA(g_path, "Tarnivel.ini");
  }
  if (userName && userName[0] != '\0' && strlen(userName) < sizeof g_userSection) {
    lstrcpynA(g_userSection, userName, sizeof g_userSection);
  } else if (LoadStringA(g_hInstance, IDS_DEFAULT_SECTION, g_userSection, sizeof g_userSection) <= 0) {
    lstrcpyA(g_userSection, "Default");
  }
  if (ReadSettingInt(kUserSection, IDS_KEY_VERSION, 0) == 0) WriteSettingInt(kUserSection, IDS_KEY_VERSION, 2);
}

void InitSettings() {
  char modulePath[kSettingsPathSize];
  DWORD n = GetModuleFileNameA(g_hInstance, modulePath, sizeof modulePath);
  if (n == 0 || n >= sizeof modulePath) modulePath[0] = '\0';
  // A name of 32 bytes or more does not fit the buffer and falls back.
  char user[kSettingsNameSize];
  DWORD userSize = sizeof user;
  BOOL haveUser = GetUserNameA(user, &userSize);
  InitSettingsWith(modulePath, haveUser ? user : nullptr);
}

const char* SettingsFilePath() { return g_path; }
const char* SettingsUserSection() { return g_userSection; }

int ReadSettingInt(UINT section, UINT key, int defaultValue) {
  LoadSection(section);
  LoadKey(key);
  ++g_settingsCalls;
  return (int)GetPrivateProfileIntA(g_section, g_key, defaultValue, g_path);
}

void WriteSettingInt(UINT section, UINT key, int value) {
  char text[16];
  wsprintfA(text, "%d", value);
  WriteSettingString(section, key, text);
}

DWORD ReadSettingString(UINT section, UINT key, const char* defaultText, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  LoadSection(section);
  LoadKey(key);
  ++g_settingsCalls;
  return GetPrivateProfileStringA(g_section, g_key, defaultText ? defaultText : "", buffer, size, g_path);
}

DWORD ReadIndexedSettingString(UINT section, UINT key, int index, const char* defaultText, char* buffer,
                               DWORD size) {
  if (!buffer || size == 0) return 0;
  LoadSection(section);
  LoadIndexedKey(key, index);
  ++g_settingsCalls;
  return GetPrivateProfileStringA(g_section, g_key, defaultText ? defaultText : "", buffer, size, g_path);
}

void WriteSettingString(UINT section, UINT key, const char* text) {
  LoadSection(section);
  LoadKey(key);
  ++g_settingsCalls;
  WritePrivateProfileStringA(g_section, g_key, text, g_path);
}

void WriteIndexedSettingString(UINT section, UINT key, int index, const char* text) {
  LoadSection(section);
  LoadIndexedKey(key, index);
  ++g_settingsCalls;
  WritePrivateProfileStringA(g_section, g_key, text, g_path);
}

void ClearSettingSection(UINT section) {
  if (section == kUserSection) return;
  LoadSection(section);
  ++g_settingsCalls;
  WritePrivateProfileSectionA(g_section, nullptr, g_path);
}
