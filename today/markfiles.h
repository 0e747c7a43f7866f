// Opening the holiday table and the schedule files on the Win32 side.
#pragma once

#include <windows.h>

// Table files opened for marks and tips since the library was loaded; lets
// tests see which computations read files.
extern LONG g_markFileOpens;

// An open table file, closed when the guard ends.
class MarkFile {
 public:
  explicit MarkFile(HANDLE handle);
  ~MarkFile();
  MarkFile(const MarkFile&) = delete;
  MarkFile& operator=(const MarkFile&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};

// Opens a file for reading (shared read, existing file); null on failure.
HANDLE OpenMarkFile(const char* path);
