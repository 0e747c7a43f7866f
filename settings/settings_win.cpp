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

// A name that cannot be loaded is counted and left empty.
int LoadName(UINT id, char* name, int size) {
  if (LoadStringA(g_hInstance, id, name, size) > 0) return 1;
  name[0] = '\0';
  ++g_settingsFailures;
  return 0;
}

int LoadSection(UINT section) {
  if (section != kUserSection) return LoadName(section, g_section, sizeof g_section);
  lstrcpynA(g_section, g_userSection, sizeof g_section);
  return 1;
}

int LoadKey(UINT key) { return LoadName(key, g_key, sizeof g_key); }

int LoadIndexedKey(UINT key, int index) { return FormatSettingKey(key, index, g_key, sizeof g_key); }

DWORD CopyDefault(const char* defaultText, char* buffer, DWORD size) {
  lstrcpynA(buffer, defaultText ? defaultText : "", (int)size);
  return (DWORD)lstrlenA(buffer);
}

// Without its section or key name a write would land elsewhere: it is not made.
int WriteNamed(const char* text) {
  ++g_settingsCalls;
  if (WritePrivateProfileStringA(g_section, g_key, text, g_path)) return 1;
  ++g_settingsFailures;
  return 0;
}

}  // namespace

LONG g_settingsCalls = 0;
LONG g_settingsFailures = 0;

int FormatSettingKey(UINT key, int index, char* name, int size) {
  char format[kSettingsNameSize];
  if (!LoadName(key, format, sizeof format)) {
    if (size > 0) name[0] = '\0';
    return 0;
  }
  // The format holds one integer conversion and at most 31 bytes; a 32-bit
  // number adds at most 11, so the result is cut to the buffer explicitly.
  char formatted[kSettingsNameSize + 16];
  wsprintfA(formatted, format, index);
  lstrcpynA(name, formatted, size);
  return 1;
}

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
  if (!LoadSection(section) || !LoadKey(key)) return defaultValue;
  ++g_settingsCalls;
  return (int)GetPrivateProfileIntA(g_section, g_key, defaultValue, g_path);
}

int WriteSettingInt(UINT section, UINT key, int value) {
  char text[16];
  wsprintfA(text, "%d", value);
  return WriteSettingString(section, key, text);
}

DWORD ReadSettingString(UINT section, UINT key, const char* defaultText, char* buffer, DWORD size) {
  if (!buffer || size == 0) return 0;
  if (!LoadSection(section) || !LoadKey(key)) return CopyDefault(defaultText, buffer, size);
  ++g_settingsCalls;
  return GetPrivateProfileStringA(g_section, g_key, defaultText ? defaultText : "", buffer, size, g_path);
}

DWORD ReadIndexedSettingString(UINT section, UINT key, int index, const char* defaultText, char* buffer,
                               DWORD size) {
  if (!buffer || size == 0) return 0;
  if (!LoadSection(section) || !LoadIndexedKey(key, index)) return CopyDefault(defaultText, buffer, size);
  ++g_settingsCalls;
  return GetPrivateProfileStringA(g_section, g_key, defaultText ? defaultText : "", buffer, size, g_path);
}

int WriteSettingString(UINT section, UINT key, const char* text) {
  if (!LoadSection(section) || !LoadKey(key)) return 0;
  return WriteNamed(text);
}

int WriteIndexedSettingString(UINT section, UINT key, int index, const char* text) {
  if (!LoadSection(section) || !LoadIndexedKey(key, index)) return 0;
  return WriteNamed(text);
}

int WriteSettingSection(UINT section, const char* lines) {
  if (section == kUserSection || !LoadSection(section)) return 0;
  ++g_settingsCalls;
  if (WritePrivateProfileSectionA(g_section, lines, g_path)) return 1;
  ++g_settingsFailures;
  return 0;
}

void ClearSettingSection(UINT section) { WriteSettingSection(section, nullptr); }
namespace {

enum { kSnapshotSize = 32768 };

int IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// value[0..n) without blanks at either end, and without one pair of quotes
// (' or ") that encloses it, as the profile read gives it.
void CopyProfileValue(const char* value, const char* end, char* buffer, DWORD size) {
  while (value < end && IsBlankChar(*value)) ++value;
  while (end > value && IsBlankChar(end[-1])) --end;
  if (end - value >= 2 && (*value == '"' || *value == '\'') && end[-1] == *value) {
    ++value;
    --end;
  }
  DWORD n = (DWORD)(end - value);
  if (n > size - 1) n = size - 1;
  memcpy(buffer, value, n);
  buffer[n] = '\0';
}

// Whether an entry's name, blanks around it aside, is key ignoring case.
int NameIs(const char* name, const char* end, const char* key) {
  while (name < end && IsBlankChar(*name)) ++name;
  while (end > name && IsBlankChar(end[-1])) --end;
  size_t n = (size_t)(end - name);
  if (n != strlen(key) || n >= kSettingsNameSize) return 0;
  char copy[kSettingsNameSize];
  memcpy(copy, name, n);
  copy[n] = '\0';
  return lstrcmpiA(copy, key) == 0;
}

}  // namespace

SettingsSnapshot::SettingsSnapshot(UINT section) : section_(section), entries_(nullptr) {
  char* entries = static_cast<char*>(LocalAlloc(LMEM_FIXED, kSnapshotSize));
  if (!entries) return;
  if (!LoadSection(section)) {
    LocalFree(entries);  // read singly, each then gives its default
    return;
  }
  ++g_settingsCalls;
  DWORD n = GetPrivateProfileSectionA(g_section, entries, kSnapshotSize, g_path);
  if (n >= kSnapshotSize - 2) {
    LocalFree(entries);  // cut short: the entries are read singly
    return;
  }
  entries[n] = entries[n + 1] = '\0';
  entries_ = entries;
}

SettingsSnapshot::~SettingsSnapshot() {
  if (entries_) LocalFree(entries_);
}

// The value of the first entry named g_key, as the profile read gives it;
// 0 when there is none or it has no value.
int SettingsSnapshot::FindNamed(char* buffer, DWORD size) const {
  for (const char* entry = entries_; *entry; entry += strlen(entry) + 1) {
    const char* equals = strchr(entry, '=');
    const char* nameEnd = equals ? equals : entry + strlen(entry);
    if (!NameIs(entry, nameEnd, g_key)) continue;
    if (!equals) return 0;
    CopyProfileValue(equals + 1, equals + 1 + strlen(equals + 1), buffer, size);
    return 1;
  }
  return 0;
}

DWORD SettingsSnapshot::ReadFound(int found, const char* defaultText, char* buffer, DWORD size) const {
  if (!found || !FindNamed(buffer, size)) lstrcpynA(buffer, defaultText ? defaultText : "", (int)size);
  return (DWORD)strlen(buffer);
}

DWORD SettingsSnapshot::ReadIndexedString(UINT key, int index, const char* defaultText, char* buffer,
                                          DWORD size) {
  if (!entries_) return ReadIndexedSettingString(section_, key, index, defaultText, buffer, size);
  if (!buffer || size == 0) return 0;
  return ReadFound(LoadIndexedKey(key, index), defaultText, buffer, size);
}

DWORD SettingsSnapshot::ReadString(UINT key, const char* defaultText, char* buffer, DWORD size) {
  if (!entries_) return ReadSettingString(section_, key, defaultText, buffer, size);
  if (!buffer || size == 0) return 0;
  return ReadFound(LoadKey(key), defaultText, buffer, size);
}

int SettingsSnapshot::ReadInt(UINT key, int defaultValue) {
  if (!entries_) return ReadSettingInt(section_, key, defaultValue);
  char text[16];
  if (!LoadKey(key) || !FindNamed(text, sizeof text)) return defaultValue;
  // Plain digits read alike on every system; other forms (signs, blanks,
  // prefixes, an empty value) are left to the profile call itself.
  const size_t n = strlen(text);
  int value = 0;
  for (size_t i = 0; i < n && n <= 9; ++i) {
    if (text[i] < '0' || text[i] > '9') break;
    value = value * 10 + (text[i] - '0');
    if (i + 1 == n) return value;
  }
  return ReadSettingInt(section_, key, defaultValue);
}
