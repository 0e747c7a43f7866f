// Walking the fields that SplitFields left in a line.
#pragma once

#include <string.h>

// The field after field; the empty string at end (the line's former
// terminator) once the fields run out, so a walk never leaves the line.
inline char* NextField(char* field, char* end) {
  char* next = field + strlen(field) + 1;
  return next <= end ? next : end;
}

inline int IsDigitByte(char c) { return c >= '0' && c <= '9'; }
