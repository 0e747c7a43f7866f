#include "today/markfiles.h"

#include "text/winfile.h"

LONG g_markFileOpens = 0;

MarkFile::MarkFile(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {
  if (handle_) ++g_markFileOpens;
}

MarkFile::~MarkFile() {
  if (handle_) CloseHandle(handle_);
}

HANDLE OpenMarkFile(const char* path) { return OpenFileForReading(path); }
