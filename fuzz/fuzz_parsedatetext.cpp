// ParseDateText reads at most ten bytes of any text and reports 1 to 10 fields.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "text/strbasic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char* text = (char*)malloc(size + 1);
  memcpy(text, data, size);
  text[size] = 0;
  uint16_t year = 1, month = 1, day = 1;
  uint32_t n = ParseDateText(text, &year, &month, &day);
  if (n < 1 || n > 10) abort();
  if (n < 2 && month) abort();
  if (n < 3 && day) abort();
  if (ParseDateText(text, nullptr, nullptr, nullptr) != n) abort();
  free(text);
  return 0;
}
