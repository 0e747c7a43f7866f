// Settings file beside the library, through the profile functions. Sections
// and keys are named by string-table ids; section 0 is the user section.
#pragma once

#include <windows.h>

enum { kSettingsPathSize = 260, kSettingsNameSize = 32 };
const UINT kUserSection = 0;

// Profile calls made since the library was loaded; lets tests see that a
// computation makes a fixed number of them.
extern LONG g_settingsCalls;
// Section or key names that could not be loaded and writes that failed
// since the library was loaded: a read then gave its default, a write was
// not made.
extern LONG g_settingsFailures;

void InitSettings();
// InitSettings for a given module path and user name (null: none available).
void InitSettingsWith(const char* modulePath, const char* userName);
const char* SettingsFilePath();
const char* SettingsUserSection();

int ReadSettingInt(UINT section, UINT key, int defaultValue);
int WriteSettingInt(UINT section, UINT key, int value);
DWORD ReadSettingString(UINT section, UINT key, const char* defaultText, char* buffer, DWORD size);
DWORD ReadIndexedSettingString(UINT section, UINT key, int index, const char* defaultText, char* buffer,
                               DWORD size);
int WriteSettingString(UINT section, UINT key, const char* text);
int WriteIndexedSettingString(UINT section, UINT key, int index, const char* text);
// Writes return 0 when nothing was written.
// Replaces every key of a section by lines ("key=value" strings, ended by an
// empty one; null removes the section) in one rewrite of the file: the
// section stays as it was or holds the lines whole. Not for the user section.
int WriteSettingSection(UINT section, const char* lines);
void ClearSettingSection(UINT section);
// The name of a key, with the index formatted into it (a name without a
// conversion stays as it is); 0 when its string cannot be loaded.
int FormatSettingKey(UINT key, int index, char* name, int size);

// The entries of a section read with one profile call, for a computation
// that reads many of its keys: each profile call costs about as much as
// reading a table file. Reads give what the single profile reads give;
// when the section does not fit, they are single profile reads.
class SettingsSnapshot {
 public:
  explicit SettingsSnapshot(UINT section);
  ~SettingsSnapshot();
  SettingsSnapshot(const SettingsSnapshot&) = delete;
  SettingsSnapshot& operator=(const SettingsSnapshot&) = delete;
  DWORD ReadIndexedString(UINT key, int index, const char* defaultText, char* buffer, DWORD size);
  DWORD ReadString(UINT key, const char* defaultText, char* buffer, DWORD size);
  int ReadInt(UINT key, int defaultValue);

 private:
  int FindNamed(char* buffer, DWORD size) const;
  DWORD ReadFound(int found, const char* defaultText, char* buffer, DWORD size) const;

  UINT section_;
  char* entries_;  // "name=value" strings, an empty one last; null: read singly
};

// Replaces what follows the last '.' of path (size bytes) with ext, never
// writing past the buffer; 0 when there is no '.' or it does not fit.
int ReplaceExtension(char* path, int size, const char* ext);
