#include "today/markfiles.h"

LONG g_markFileOpens = 0;

MarkFile::MarkFile(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {
  if (handle_) ++g_markFileOpens;
}

MarkFile::~MarkFile() {
  if (handle_) CloseHandle(handle_);
}

HANDLE OpenMarkFile(const char* path) {
  HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}
