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

HandleTableFile::HandleTableFile(HANDLE handle) : buffer_(nullptr) {
  TableFileAttach(&file_, handle);
  if (!handle || handle == INVALID_HANDLE_VALUE) return;
  DWORD high = 0;
  DWORD size = GetFileSize(handle, &high);
  if (size == INVALID_FILE_SIZE) return;
  if (high != 0 || size > kTableWholeMax) size = kTableWholeMax;
  if (size <= kTableBlockSize) return;  // the built-in block takes it at once
  buffer_ = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, size));
  if (buffer_) TableFileUseBuffer(&file_, buffer_, (int)size);
}

HandleTableFile::~HandleTableFile() {
  if (buffer_) LocalFree(buffer_);
}
