// Unescape in both modes: the text never grows, the freed tail is cleared
// and nothing past the terminator is touched. TrimLeft and TrimRight ride along.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/textutil.h"

static void Check(const uint8_t* data, size_t size, int mode) {
  // exact-size heap copy: ASan catches any access past the terminator
  char* text = (char*)malloc(size + 1);
  memcpy(text, data, size);
  text[size] = 0;
  size_t before = strlen(text);
  if (mode < 2) {
    Unescape(text, mode);
    // "\00" decodes to a NUL, so the text may also end early.
    if (strlen(text) > before || text[before] != 0) abort();
    if (!memmem(data, before, "\\00", 3)) {
      size_t after = strlen(text);
      for (size_t i = after; i < before; ++i)
        if (text[i]) abort();
    }
  } else {
    TrimRight(text);
    size_t right = strlen(text);
    if (right > before || memcmp(text, data, right) != 0) abort();
    TrimLeft(text);
    size_t left = strlen(text);
    if (left > right || (left && text[0] == ' ') || (left && text[0] == '\t')) abort();
  }
  free(text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int mode = 0; mode < 3; ++mode) Check(data, size, mode);
  return 0;
}
