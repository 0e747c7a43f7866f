// Whole small text files in memory, for the readers that walk them at CRs.
#pragma once

#include <windows.h>

// Reads an open file into zero-filled memory of its size plus one byte, so
// the text is always terminated, and closes the handle. Null when there is
// no file (null or INVALID_HANDLE_VALUE), its size is unknown, the memory
// cannot be had or the read fails. Free the text with LocalFree.
char* ReadWholeFile(HANDLE file);

// The text of ReadWholeFile, freed when the guard ends.
class WholeFileText {
 public:
  explicit WholeFileText(char* text) : text_(text) {}
  ~WholeFileText() {
    if (text_) LocalFree(text_);
  }
  WholeFileText(const WholeFileText&) = delete;
  WholeFileText& operator=(const WholeFileText&) = delete;
  char* get() const { return text_; }

 private:
  char* text_;
};
