// CopyFirstLine into destinations of every small capacity: always terminated
// inside the capacity, a prefix of the text, and an offset inside the text.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/strbasic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* text = (char*)malloc(size + 1);
  memcpy(text, data, size);
  text[size] = 0;
  size_t length = strlen(text);
  int expected = -1;
  for (int capacity = 0; capacity <= 40; ++capacity) {
    char* dest = (char*)malloc(capacity ? capacity : 1);
    int offset = CopyFirstLine(text, capacity ? dest : nullptr, capacity);
    if (offset < 0 || (size_t)offset > length + 2) abort();
    if (expected >= 0 && offset != expected) abort();
    expected = offset;
    if (capacity) {
      size_t stored = strnlen(dest, capacity);
      if (stored >= (size_t)capacity) abort();
      if (memcmp(dest, text, stored) != 0 || (int)stored > offset) abort();
    }
    free(dest);
  }
  free(text);
  return 0;
}
