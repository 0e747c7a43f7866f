// ExpandDatePlaceholders in buffers of exactly the given capacity: never
// writes past them, and when it succeeds the text is what a plain copying
// expansion gives; when it fails the text is unchanged.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "month/datecmd.h"
#include "text/leadbyte.h"

namespace {

std::string Reference(const std::string& text, unsigned year, unsigned month, unsigned day) {
  std::string out;
  char digits[16];
  for (size_t i = 0; i < text.size();) {
    unsigned char c = (unsigned char)text[i];
    if (IsLeadByte(c)) {
      out += text.substr(i, i + 1 < text.size() ? 2 : 1);
      i += 2;
      continue;
    }
    if (c != '%') {
      out += (char)c;
      ++i;
      continue;
    }
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    unsigned value;
    const char* format = "%02u";
    if (next == 'Y') value = year, format = "%04u";
    else if (next == 'y') value = year;
    else if (next == 'M' || next == 'm') value = month;
    else if (next == 'D' || next == 'd') value = day;
    else {
      ++i;
      continue;
    }
    if (value) {
      snprintf(digits, sizeof digits, format, next == 'y' ? value % 100 : value);
      out += digits;
    }
    i += 2;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 7) return 0;
  unsigned year = data[0] | data[1] << 8, month = data[2] | data[3] << 8, day = data[4] | data[5] << 8;
  int capacity = data[6] + 1;
  std::string text((const char*)data + 7, size - 7);
  text = text.substr(0, strnlen(text.c_str(), text.size()));
  if ((int)text.size() >= capacity) text.resize(capacity - 1);

  char* buffer = (char*)malloc(capacity);
  memcpy(buffer, text.c_str(), text.size() + 1);
  int ok = ExpandDatePlaceholders(buffer, capacity, year, month, day);
  std::string expected = Reference(text, (uint16_t)year, (uint16_t)month, (uint16_t)day);
  size_t stored = strnlen(buffer, capacity);
  if (stored >= (size_t)capacity) abort();
  if (ok != ((int)expected.size() < capacity)) abort();
  if (std::string(buffer) != (ok ? expected : text)) abort();
  free(buffer);
  return 0;
}
