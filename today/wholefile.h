// Whole small text files in memory, for the readers that walk them at CRs.
#pragma once

#include <windows.h>

// Reads an open file into zero-filled memory of its size plus one byte, so
// the text is always terminated; the handle stays the caller's. Null when
// the size is unknown, the memory cannot be had or the read fails.
char* ReadWholeFile(HANDLE file);

// The text of ReadWholeFile, freed when the guard ends.
class WholeFileText {
 public:
  explicit WholeFileText(HANDLE file) : text_(ReadWholeFile(file)) {}
  ~WholeFileText() {
    if (text_) LocalFree(text_);
  }
  WholeFileText(const WholeFileText&) = delete;
  WholeFileText& operator=(const WholeFileText&) = delete;
  char* get() const { return text_; }

 private:
  char* text_;
};

// Closes a file handle when the guard ends; null and INVALID_HANDLE_VALUE
// are both "no file".
class FileHandleGuard {
 public:
  explicit FileHandleGuard(HANDLE handle) : handle_(handle) {}
  ~FileHandleGuard() {
    if (valid()) CloseHandle(handle_);
  }
  FileHandleGuard(const FileHandleGuard&) = delete;
  FileHandleGuard& operator=(const FileHandleGuard&) = delete;
  bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};
