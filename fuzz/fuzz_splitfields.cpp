// SplitFields keeps the string's length, leaves only NULs past the last
// field and counts sensibly; FindChar and FindLastChar agree with it.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/strbasic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // the first byte picks up to three delimiter bytes from the data
  size_t nDelims = data[0] % 4;
  if (nDelims > size - 1) nDelims = size - 1;
  char delimiters[4] = {0};
  memcpy(delimiters, data + 1, nDelims);
  const uint8_t* body = data + 1 + nDelims;
  size_t bodySize = size - 1 - nDelims;

  char* text = (char*)malloc(bodySize + 1);
  memcpy(text, body, bodySize);
  text[bodySize] = 0;
  size_t length = strlen(text);

  char c = delimiters[0];
  char* first = FindChar(text, c);
  char* last = FindLastChar(text, c);
  if ((first == nullptr) != (last == nullptr)) abort();
  if (first && (first > last || *first != c || *last != c || first < text || last >= text + length)) abort();
  if ((unsigned char)c >= 0x80 && first) abort();

  uint32_t count = SplitFields(text, delimiters);
  if (count > length + 1) abort();
  if (text[length] != 0) abort();
  // walk the fields as callers do; they must all stay inside the string
  size_t pos = 0;
  for (uint32_t i = 0; i < count && pos <= length; ++i) pos += strlen(text + pos) + 1;
  free(text);
  return 0;
}
