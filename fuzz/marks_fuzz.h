// What the holiday and schedule targets share: an in-memory era table and
// table files read from the fuzz input.
#pragma once

#include <stdint.h>
#include <string.h>

#include "text/memtable.h"
#include "text/textutil.h"
#include "today/era.h"

inline int LoadFuzzEras(EraTable* table, void*) {
  char text[] =
      "MEJI 1868/1/1 1912/7/29 Mm\r\nSHOW 1926/12/25 1989/1/7 Ss\r\n"
      "HEIS 1989/1/8 2019/4/30 Hh\r\nREIW 2019/5/1 9999/12/31 Rr\r\n";
  EraTableClear(table);
  EraTableParse(table, text);
  return 1;
}

// The whole input as a table file, from its start.
inline void OpenFuzzTable(TableFile* file, MemoryBytes* bytes, const uint8_t* data, size_t size) {
  TableFileAttachMemory(file, bytes, data, size);
}

// The input as one zero-terminated line in a buffer of just its length, so
// that the sanitizer sees any read past the line.
class FuzzLine {
 public:
  FuzzLine(const uint8_t* data, size_t size) : text_(new char[size + 1]) {
    memcpy(text_, data, size);
    text_[size] = '\0';
  }
  ~FuzzLine() { delete[] text_; }
  FuzzLine(const FuzzLine&) = delete;
  FuzzLine& operator=(const FuzzLine&) = delete;
  char* get() const { return text_; }

 private:
  char* text_;
};
