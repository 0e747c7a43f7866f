#include "text/winfile.h"

BOOL FileExists(const char* path) {
  if (!path || !*path) return FALSE;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return FALSE;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FALSE : TRUE;
}

LONG g_tableReadFailures = 0;

HANDLE OpenFileForReading(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h != INVALID_HANDLE_VALUE) return h;
  DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME &&
      error != ERROR_BAD_PATHNAME && error != ERROR_INVALID_DRIVE)
    ++g_tableReadFailures;
  return nullptr;
}

static int ReadHandle(void* ctx, unsigned char* buf, int size) {
  DWORD got = 0;
  if (!ReadFile((HANDLE)ctx, buf, (DWORD)size, &got, nullptr)) {
    ++g_tableReadFailures;
    return 0;
  }
  return (int)got;
}

void TableFileAttach(TableFile* file, HANDLE handle) { TableFileInit(file, ReadHandle, handle); }
