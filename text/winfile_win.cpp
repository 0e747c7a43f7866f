#include "text/winfile.h"

BOOL IsAbsentError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
         error == ERROR_BAD_PATHNAME || error == ERROR_INVALID_DRIVE;
}

BOOL IsShortageError(DWORD error) {
  return error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY || error == ERROR_NO_SYSTEM_RESOURCES ||
         error == ERROR_TOO_MANY_OPEN_FILES;
}

FileLookup LookUpFile(const char* path, int (*absent)(const char* path, DWORD error)) {
  if (!path || !*path) return kFileAbsent;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return (absent ? !absent(path, error) : IsShortageError(error)) ? kFileLookupFailed : kFileAbsent;
  }
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? kFileAbsent : kFileFound;
}

BOOL FileExists(const char* path) { return LookUpFile(path) == kFileFound; }

LONG g_tableReadFailures = 0;

HANDLE OpenFileForReading(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h != INVALID_HANDLE_VALUE) return h;
  DWORD error = GetLastError();
  if (!IsAbsentError(error)) ++g_tableReadFailures;
  SetLastError(error);
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

TableReadBuffer::~TableReadBuffer() {
  if (data_) LocalFree(data_);
}

unsigned char* TableReadBuffer::Get(int size) {
  if (size <= capacity_) return data_;
  if (data_) LocalFree(data_);
  data_ = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, (SIZE_T)size));
  capacity_ = data_ ? size : 0;
  return data_;
}

HandleTableFile::HandleTableFile(HANDLE handle, TableReadBuffer* shared) : owned_(nullptr) {
  TableFileAttach(&file_, handle);
  if (!handle || handle == INVALID_HANDLE_VALUE) return;
  DWORD high = 0;
  DWORD size = GetFileSize(handle, &high);
  if (size == INVALID_FILE_SIZE) return;
  if (high != 0 || size > kTableWholeMax) size = kTableWholeMax;
  if (size <= kTableBlockSize) return;  // the built-in block takes it at once
  unsigned char* buffer;
  if (shared) {
    buffer = shared->Get((int)size);
  } else {
    buffer = owned_ = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, size));
  }
  if (buffer) TableFileUseBuffer(&file_, buffer, (int)size);
}

HandleTableFile::~HandleTableFile() {
  if (owned_) LocalFree(owned_);
}
