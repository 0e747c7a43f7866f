// Writes the command line it was started with to the file named by
// TARNIVEL_RECORD_FILE, or to recordargs.txt beside itself.
#include <windows.h>

int main() {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TARNIVEL_RECORD_FILE", path, sizeof path);
  if (n == 0 || n >= sizeof path) {
    n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return 1;
    char* slash = path;
    for (char* p = path; *p; ++p)
      if (*p == '\\' || *p == '/') slash = p + 1;
    lstrcpynA(slash, "recordargs.txt", (int)(sizeof path - (slash - path)));
  }
  // Written under a temporary name and renamed, so a reader never sees half a line.
  char temp[MAX_PATH + 8];
  wsprintfA(temp, "%s.tmp", path);
  HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const char* line = GetCommandLineA();
  DWORD written = 0;
  BOOL ok = WriteFile(file, line, (DWORD)lstrlenA(line), &written, nullptr);
  CloseHandle(file);
  if (!ok || !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING)) return 1;
  return 0;
}
