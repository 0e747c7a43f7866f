#include "text/strbasic.h"

#include <string.h>

#include "text/leadbyte.h"

// Length in bytes of the character at s: 2 for a double-byte character,
// 1 otherwise (a lead byte directly before the terminator counts as 1).
static int CharLen(const unsigned char* s) { return (IsLeadByte(s[0]) && s[1]) ? 2 : 1; }

int32_t ParseNumber(const char* text) {
  // Unsigned so that an overlong number wraps instead of overflowing.
  uint32_t value = 0;
  for (const unsigned char* s = (const unsigned char*)text; *s >= '0' && *s <= '9'; ++s)
    value = value * 10 + (uint32_t)(*s - '0');
  return (int32_t)value;
}

static int IsDelimiter(unsigned char c, const char* delimiters) {
  for (const unsigned char* d = (const unsigned char*)delimiters; *d; ++d)
    if (*d == c) return 1;
  return 0;
}

uint32_t SplitFields(char* text, const char* delimiters) {
  unsigned char* s = (unsigned char*)text;
  size_t length = strlen(text);
  size_t r = 0, w = 0;
  uint32_t count = 0;
  int inRun = 0, lastWasDelimiter = 0;
  while (r < length) {
    if (IsLeadByte(s[r])) {
      int n = CharLen(s + r);
      for (int i = 0; i < n; ++i) s[w++] = s[r++];
      inRun = lastWasDelimiter = 0;
    } else if (IsDelimiter(s[r], delimiters)) {
      ++count;
      ++r;
      // A run of delimiters leaves one NUL; the rest is cleared below.
      if (!inRun) s[w++] = 0;
      inRun = lastWasDelimiter = 1;
    } else {
      s[w++] = s[r++];
      inRun = lastWasDelimiter = 0;
    }
  }
  memset(s + w, 0, length - w);
  return lastWasDelimiter ? count : count + 1;
}

char* FindChar(const char* text, char c) {
  unsigned char want = (unsigned char)c;
  if (want == 0 || want >= 0x80) return nullptr;
  for (const unsigned char* s = (const unsigned char*)text; *s; s += CharLen(s))
    if (*s == want) return (char*)s;
  return nullptr;
}

char* FindLastChar(const char* text, char c) {
  unsigned char want = (unsigned char)c;
  if (want == 0 || want >= 0x80) return nullptr;
  const unsigned char* found = nullptr;
  for (const unsigned char* s = (const unsigned char*)text; *s; s += CharLen(s))
    if (*s == want) found = s;
  return (char*)found;
}

int CopyFirstLine(const char* text, char* dest, int capacity) {
  const unsigned char* s = (const unsigned char*)text;
  int walked = 0, stored = 0, full = capacity < 1;
  while (s[walked] && s[walked] != '\r') {
    int n = CharLen(s + walked);
    // A double-byte character goes in whole or not at all; nothing after it either.
    if (!full && stored + n <= capacity - 1) {
      memcpy(dest + stored, s + walked, (size_t)n);
      stored += n;
    } else {
      full = 1;
    }
    walked += n;
  }
  if (capacity >= 1) dest[stored] = 0;
  return s[walked] == '\r' ? walked + 2 : walked;
}

// Start of the field after the one at pos in a SplitFields result of size
// bytes; pos == size when the buffer has no more fields.
static size_t NextField(const char* buf, size_t pos, size_t size) {
  while (pos < size && buf[pos]) ++pos;
  return pos < size ? pos + 1 : size;
}

uint32_t ParseDateText(const char* text, uint16_t* year, uint16_t* month, uint16_t* day) {
  if (year) *year = 0;
  if (month) *month = 0;
  if (day) *day = 0;
  // One spare byte past the 11-byte copy keeps field walking inside the buffer.
  char scratch[12] = {0};
  enum { kDateTextMax = 10 };
  size_t n = 0;
  while (n < kDateTextMax && text[n]) ++n;
  memcpy(scratch, text, n);
  uint32_t fields = SplitFields(scratch, "/-");

  const size_t size = sizeof scratch - 1;
  size_t pos = 0;
  if (year) *year = (uint16_t)ParseNumber(scratch + pos);
  pos = NextField(scratch, pos, size);
  if (fields >= 2 && month) *month = (uint16_t)ParseNumber(scratch + pos);
  pos = NextField(scratch, pos, size);
  if (fields >= 3 && day) *day = (uint16_t)ParseNumber(scratch + pos);
  return fields;
}
