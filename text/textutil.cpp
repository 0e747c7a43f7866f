#include "text/textutil.h"

#include <stdarg.h>
#include <string.h>

#include "text/leadbyte.h"
#include "text/strbasic.h"

static int IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

static int IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

static int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 2 for a double-byte character, 1 otherwise (also for a lead byte that
// directly precedes the terminator).
static int CharLen(const unsigned char* s) { return (IsLeadByte(s[0]) && s[1]) ? 2 : 1; }

void TrimLeft(char* text) {
  size_t skip = 0;
  while (IsBlank((unsigned char)text[skip])) ++skip;
  if (skip) memmove(text, text + skip, strlen(text + skip) + 1);
}

void TrimRight(char* text) {
  unsigned char* s = (unsigned char*)text;
  unsigned char* runStart = nullptr;
  while (*s) {
    if (IsBlank(*s)) {
      if (!runStart) runStart = s;
      ++s;
    } else {
      runStart = nullptr;
      s += CharLen(s);
    }
  }
  if (runStart) *runStart = 0;
}

// ---- Pattern scanning ----

enum { kScanMaxOutputs = 16 };

// A conversion as written in the pattern: '%', an optional width, a letter.
struct Conversion {
  size_t width;  // 0 = none
  unsigned char letter;
  const unsigned char* next;  // pattern byte after the letter (the follower)
};

// Parses the conversion at p (just past the '%'); returns 0 if the pattern
// ends before the conversion letter.
static int ParseConversion(const unsigned char* p, Conversion* conv) {
  size_t width = 0;
  for (; IsDigit(*p); ++p)
    if (width < ((size_t)1 << 24)) width = width * 10 + (*p - '0');  // far beyond any input
  if (!*p) return 0;
  conv->width = width;
  conv->letter = *p;
  conv->next = p + 1;
  return 1;
}

static int IsStoringConversion(unsigned char letter) {
  return letter == 'c' || letter == 'd' || letter == 'x' || letter == 'X' || letter == 's';
}

// Finds the end of a %d/%x/%s field starting at in; returns 0 when the field
// cannot match. searchPercent: a '%' follower is searched for (%s) rather
// than meaning the end of the input (%d, %x).
static int FindFieldEnd(const unsigned char* in, size_t width, unsigned char follower,
                        int searchPercent, const unsigned char** end) {
  size_t remaining = strlen((const char*)in);
  if (width) {
    if (remaining + 1 < width) return 0;
    if (follower && width < remaining && in[width] != follower) return 0;
    *end = in + (width < remaining ? width : remaining);
    return 1;
  }
  if (!follower || (follower == '%' && !searchPercent)) {
    *end = in + remaining;
    return 1;
  }
  const char* hit = FindChar((const char*)in, (char)follower);
  if (!hit) return 0;
  *end = (const unsigned char*)hit;
  return 1;
}

int ScanPatternV(const char* input, const char* pattern, void** outputs, int outputCount) {
  const unsigned char* in = (const unsigned char*)input;
  const unsigned char* p = (const unsigned char*)pattern;
  int count = 0, used = 0;
  while (*p) {
    if (!*in) break;
    if (IsLeadByte(*p) && p[1]) {
      if (in[0] != p[0] || in[1] != p[1]) break;
      in += 2;
      p += 2;
      continue;
    }
    if (*p != '%') {
      if (*in != *p) break;
      ++in;
      ++p;
      continue;
    }
    Conversion conv;
    if (!ParseConversion(p + 1, &conv)) break;
    p = conv.next;
    void* out = nullptr;
    if (IsStoringConversion(conv.letter)) {
      if (used >= outputCount || !outputs[used]) break;
      out = outputs[used++];
    }
    const unsigned char follower = *p;
    if (conv.letter == '%') {
      if (*in != '%') break;
      ++in;
    } else if (conv.letter == 'c') {
      if (conv.width) break;
      *(char*)out = (char)*in++;
    } else if (conv.letter == 'd' || conv.letter == 'x' || conv.letter == 'X') {
      const unsigned char* end;
      if (!FindFieldEnd(in, conv.width, follower, 0, &end)) break;
      int32_t* value = (int32_t*)out;
      *value = 0;
      const unsigned char* q = in;
      int negative = *q == '-';
      if (*q == '-' || *q == '+') ++q;
      const int hex = conv.letter != 'd';
      uint32_t acc = 0;
      const unsigned char* digitsStart = q;
      for (; q < end; ++q) {
        int digit = hex ? HexValue(*q) : (IsDigit(*q) ? *q - '0' : -1);
        if (digit < 0) break;
        acc = acc * (hex ? 16u : 10u) + (uint32_t)digit;
      }
      if (q == digitsStart) break;
      *value = (int32_t)(negative ? 0u - acc : acc);
      if (follower && follower != '%') {
        // The follower counts as matched: skip the byte the digits stopped at.
        ++p;
        if (*q) ++q;
      }
      in = q;
    } else if (conv.letter == 's') {
      const unsigned char* end;
      if (!FindFieldEnd(in, conv.width, follower, 1, &end)) break;
      size_t n = (size_t)(end - in);
      memcpy(out, in, n);
      ((char*)out)[n] = 0;
      in = end;
    } else {
      ++in;
    }
    ++count;
  }
  return count;
}

int ScanPattern(const char* input, const char* pattern, ...) {
  // Take exactly as many pointers as the pattern has storing conversions.
  int wanted = 0;
  for (const unsigned char* p = (const unsigned char*)pattern; *p && wanted < kScanMaxOutputs;) {
    if (IsLeadByte(*p) && p[1]) {
      p += 2;
    } else if (*p == '%') {
      Conversion conv;
      if (!ParseConversion(p + 1, &conv)) break;
      if (IsStoringConversion(conv.letter)) ++wanted;
      p = conv.next;
    } else {
      ++p;
    }
  }
  void* outputs[kScanMaxOutputs];
  va_list args;
  va_start(args, pattern);
  for (int i = 0; i < wanted; ++i) outputs[i] = va_arg(args, void*);
  va_end(args);
  return ScanPatternV(input, pattern, outputs, wanted);
}

// ---- Unescaping ----

void Unescape(char* text, int pathMode) {
  unsigned char* s = (unsigned char*)text;
  size_t length = strlen(text);
  size_t r = 0, w = 0;
  while (r < length) {
    unsigned char c = s[r];
    if (IsLeadByte(c)) {
      int n = CharLen(s + r);
      for (int i = 0; i < n; ++i) s[w++] = s[r++];
      continue;
    }
    if (c == '\\') {
      unsigned char e = s[r + 1];  // the terminator at worst
      int single = -1;
      switch (e) {
        case '#': single = '#'; break;
        case '\\': single = '\\'; break;
        case '^': single = '^'; break;
        case 'n': single = '\n'; break;
        case 'r': single = '\r'; break;
        case 't': single = '\t'; break;
      }
      if (single >= 0) {
        s[w++] = (unsigned char)single;
        r += 2;
        continue;
      }
      int hi = HexValue(e);
      int lo = hi >= 0 ? HexValue(s[r + 2]) : -1;
      if (lo >= 0) {
        s[w++] = (unsigned char)(hi * 16 + lo);
        r += 3;
        continue;
      }
      // Not an escape (a sign and a lone hex digit included): keep the backslash.
      s[w++] = s[r++];
      continue;
    }
    s[w++] = (c == '_' && !pathMode) ? ' ' : c;
    ++r;
  }
  memset(s + w, 0, length - w);
}
