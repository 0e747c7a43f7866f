// Win32 side of the text utilities.
#pragma once

#include <windows.h>

#include "text/textutil.h"

BOOL FileExists(const char* path);
enum FileLookup { kFileAbsent, kFileFound, kFileLookupFailed };
// FileExists that tells a file that is not there from one that could not be
// looked up because the machine is short (IsShortageError). Any other failure
// (access denied, a drive not ready, a share offline) is no file there; with
// absent given, only a failure it says is, and any other could not be looked up.
FileLookup LookUpFile(const char* path, int (*absent)(const char* path, DWORD error) = nullptr);
// Whether a failure says the machine itself is short of memory, system
// resources or open files, rather than anything about the path.
BOOL IsShortageError(DWORD error);
// Whether a failed lookup or open says the file is not there: not found, or
// a name that cannot exist.
BOOL IsAbsentError(DWORD error);
// Opens an existing file for shared reading; null when it is missing or
// cannot be opened.
HANDLE OpenFileForReading(const char* path);
// Table files that exist but could not be opened or read since the library
// was loaded: what was computed from them meanwhile is incomplete.
extern LONG g_tableReadFailures;
// Reads the table lines of an open file handle in blocks of the table
// file's own; the handle stays the caller's.
void TableFileAttach(TableFile* file, HANDLE handle);

enum { kTableWholeMax = 1 << 20 };

// A read buffer that the files of one computation share, one file at a
// time, grown to the largest of them: fresh memory for every file costs
// more than its reading.
class TableReadBuffer {
 public:
  TableReadBuffer() : data_(nullptr), capacity_(0) {}
  ~TableReadBuffer();
  TableReadBuffer(const TableReadBuffer&) = delete;
  TableReadBuffer& operator=(const TableReadBuffer&) = delete;
  // At least size bytes, or null when the memory cannot be had.
  unsigned char* Get(int size);

 private:
  unsigned char* data_;
  int capacity_;
};

// The table lines of an open file handle, read through one buffer as large
// as the file (at most kTableWholeMax bytes), so that most tables take a
// single read; without that memory the file is read in blocks. The buffer
// is shared's when given, else the file's own. The handle stays the
// caller's.
class HandleTableFile {
 public:
  explicit HandleTableFile(HANDLE handle, TableReadBuffer* shared = nullptr);
  ~HandleTableFile();
  HandleTableFile(const HandleTableFile&) = delete;
  HandleTableFile& operator=(const HandleTableFile&) = delete;
  TableFile* get() { return &file_; }

 private:
  TableFile file_;
  unsigned char* owned_;
};
