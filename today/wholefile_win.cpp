#include "today/wholefile.h"

#include "text/winfile.h"

namespace {

char* ReadOpenFile(HANDLE file) {
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  if (size == INVALID_FILE_SIZE || high != 0) {
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) ++g_tableReadFailures;
    return nullptr;
  }
  char* text = static_cast<char*>(LocalAlloc(LPTR, size + 1));
  if (!text) {
    ++g_tableReadFailures;
    return nullptr;
  }
  DWORD done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!ReadFile(file, text + done, size - done, &got, nullptr)) {
      ++g_tableReadFailures;
      LocalFree(text);
      return nullptr;
    }
    if (got == 0) break;  // the file shrank: keep what was there
    done += got;
  }
  return text;
}

}  // namespace

char* ReadWholeFile(HANDLE file) {
  if (!file || file == INVALID_HANDLE_VALUE) return nullptr;
  char* text = ReadOpenFile(file);
  CloseHandle(file);
  return text;
}
