// Start with Windows: the value TarnivelDesk under the user's Run key.
#include "desk/autostart.h"

#include <windows.h>
#include <string.h>

#include <string>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "TarnivelDesk";

std::string ProgramPath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n && n < sizeof path ? std::string(path, n) : std::string();
}

// The program a command line starts: its first word, quoted or not.
std::string CommandProgram(const char* command) {
  while (*command == ' ' || *command == '\t') ++command;
  if (*command == '"') {
    const char* end = strchr(command + 1, '"');
    return end ? std::string(command + 1, end) : std::string(command + 1);
  }
  const char* end = command;
  while (*end && *end != ' ' && *end != '\t') ++end;
  return std::string(command, end);
}

bool SameFile(const std::string& a, const std::string& b) {
  char fullA[MAX_PATH], fullB[MAX_PATH];
  DWORD na = GetFullPathNameA(a.c_str(), sizeof fullA, fullA, nullptr);
  DWORD nb = GetFullPathNameA(b.c_str(), sizeof fullB, fullB, nullptr);
  if (!na || na >= sizeof fullA || !nb || nb >= sizeof fullB) return false;
  // Short and long forms of one path name the same file.
  char longA[MAX_PATH], longB[MAX_PATH];
  if (GetLongPathNameA(fullA, longA, sizeof longA) - 1u < sizeof longA - 1) lstrcpynA(fullA, longA, sizeof fullA);
  if (GetLongPathNameA(fullB, longB, sizeof longB) - 1u < sizeof longB - 1) lstrcpynA(fullB, longB, sizeof fullB);
  return lstrcmpiA(fullA, fullB) == 0;
}

}  // namespace

bool StartsWithWindows() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  char value[MAX_PATH + 64];
  DWORD size = sizeof value - 1, type = 0;
  bool read = RegQueryValueExA(key, kRunValue, nullptr, &type, (BYTE*)value, &size) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ);
  RegCloseKey(key);
  if (!read) return false;
  value[size < sizeof value ? size : sizeof value - 1] = 0;
  std::string self = ProgramPath();
  return !self.empty() && SameFile(CommandProgram(value), self);
}

bool SetStartWithWindows(bool on) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  std::string self = ProgramPath();
  std::string command = self.empty() ? self : "\"" + self + "\"";
  LONG r = on ? (command.empty() ? ERROR_BAD_PATHNAME
                                 : RegSetValueExA(key, kRunValue, 0, REG_SZ, (const BYTE*)command.c_str(),
                                                  (DWORD)command.size() + 1))
              : RegDeleteValueA(key, kRunValue);
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
}
