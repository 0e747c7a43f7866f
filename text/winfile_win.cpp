#include "text/winfile.h"

BOOL FileExists(const char* path) {
  if (!path || !*path) return FALSE;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return FALSE;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FALSE : TRUE;
}

static int ReadHandle(void* ctx, unsigned char* buf, int size) {
  DWORD got = 0;
  if (!ReadFile((HANDLE)ctx, buf, (DWORD)size, &got, nullptr)) return 0;
  return (int)got;
}

void TableFileAttach(TableFile* file, HANDLE handle) { TableFileInit(file, ReadHandle, handle); }
