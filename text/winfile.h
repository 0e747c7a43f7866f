// Win32 side of the text utilities.
#pragma once

#include <windows.h>

#include "text/textutil.h"

BOOL FileExists(const char* path);
// Reads the table lines of an open file handle in blocks of the table
// file's own; the handle stays the caller's.
void TableFileAttach(TableFile* file, HANDLE handle);

enum { kTableWholeMax = 1 << 20 };

// The table lines of an open file handle, read through one buffer as large
// as the file (at most kTableWholeMax bytes), so that most tables take a
// single read; without that memory the file is read in blocks. The handle
// stays the caller's.
class HandleTableFile {
 public:
  explicit HandleTableFile(HANDLE handle);
  ~HandleTableFile();
  HandleTableFile(const HandleTableFile&) = delete;
  HandleTableFile& operator=(const HandleTableFile&) = delete;
  TableFile* get() { return &file_; }

 private:
  TableFile file_;
  unsigned char* buffer_;
};
