#include "text/textutil.h"

#include <stdarg.h>
#include <string.h>

#include "text/bytescan.h"
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

// ---- Table lines ----

void TableFileInit(TableFile* file, TableReadFn read, void* ctx) {
  file->read = read;
  file->ctx = ctx;
  file->buffer = file->block;
  file->capacity = kTableBlockSize;
  file->blockSize = kTableBlockSize;
  file->pos = 0;
  file->len = 0;
  file->ended = 0;
  file->line[0] = 0;
}

void TableFileUseBuffer(TableFile* file, unsigned char* buffer, int capacity) {
  if (!buffer || capacity < 1) return;
  file->buffer = buffer;
  file->capacity = capacity;
  file->blockSize = capacity;
}

// Reads the next block when the current one is used up; 0 at the end. The
// first failed or empty read ends the file for good.
static int RefillTableBlock(TableFile* file) {
  if (file->pos < file->len) return 1;
  if (file->ended || !file->read) return 0;
  int size = file->blockSize;
  if (size < 1) size = 1;
  if (size > file->capacity) size = file->capacity;
  int got = file->read(file->ctx, file->buffer, size);
  if (got <= 0) {
    file->ended = 1;
    file->pos = file->len = 0;
    return 0;
  }
  file->pos = 0;
  file->len = got < size ? got : size;
  return 1;
}

// The byte after a lead byte that ended the block, from the next block; -1
// at the end of the file.
static int TakeByteOfNextBlock(TableFile* file) {
  file->pos = file->len;
  if (!RefillTableBlock(file)) return -1;
  return file->buffer[file->pos++];
}

namespace {

// What the reader does with a byte. Plain bytes, blanks and double-byte
// characters go straight into the line; the others are taken one by one.
enum : unsigned char { kBytePlain, kByteBlank, kByteLead, kByteLineFeed, kByteHash, kByteDropped };

unsigned char g_byteKinds[256];
int g_byteKindsFilled;

const unsigned char* ByteKinds() {
  if (!g_byteKindsFilled) {
    for (int c = 0; c < 256; ++c) g_byteKinds[c] = IsLeadByte((unsigned char)c) ? kByteLead : kBytePlain;
    g_byteKinds[(unsigned char)' '] = kByteBlank;
    g_byteKinds[(unsigned char)'\t'] = kByteBlank;
    g_byteKinds[(unsigned char)'\n'] = kByteLineFeed;
    g_byteKinds[(unsigned char)'#'] = kByteHash;
    g_byteKinds[(unsigned char)'\r'] = kByteDropped;
    g_byteKinds[0] = kByteDropped;
    g_byteKindsFilled = 1;
  }
  return g_byteKinds;
}

// Whether the byte at s, found from the character boundary from, is the
// second byte of a double-byte character: the lead bytes right before it
// pair up from the boundary.
inline int IsSecondByte(const unsigned char* from, const unsigned char* s, const unsigned char* kinds) {
  const unsigned char* b = s;
  while (b > from && kinds[b[-1]] == kByteLead) --b;
  return (int)(s - b) & 1;
}

// Length of a run of whole characters without its trailing blanks: a
// blank byte that ends the run may be the second byte of a double-byte
// character, which only a walk from the start tells.
int NonBlankLength(const unsigned char* run, int n, const unsigned char* kinds) {
  int kept = 0;
  for (int i = 0; i < n;) {
    const unsigned char kind = kinds[run[i]];
    i += kind == kByteLead ? 2 : 1;
    if (kind != kByteBlank) kept = i;
  }
  return kept;
}

// Passes over the rest of a line from a character boundary, storing
// nothing: to the line feed that is no second byte, across blocks, and past
// it. 0 when the file ends first.
int SkipRestOfLine(TableFile* file, const unsigned char* kinds) {
  while (RefillTableBlock(file)) {
    const unsigned char* p = file->buffer + file->pos;
    const unsigned char* const end = file->buffer + file->len;
    for (;;) {
      const unsigned char* s = FindLineFeed(p, end);
      if (!IsSecondByte(p, s, kinds)) {
        if (s == end) {
          file->pos = file->len;
          break;
        }
        file->pos = (int)(s + 1 - file->buffer);
        return 1;
      }
      if (s == end) {
        TakeByteOfNextBlock(file);  // the second byte of the block's last character
        break;
      }
      p = s + 1;
    }
  }
  return 0;
}

}  // namespace

int PeekTableLineRefill(TableFile* file, const unsigned char** bytes) {
  if (!RefillTableBlock(file)) return 0;
  *bytes = file->buffer + file->pos;
  return file->len - file->pos;
}

void SkipTableLineRest(TableFile* file, int known) {
  if (file->pos < file->len && known < file->len - file->pos) {
    const unsigned char* p = file->buffer + file->pos;
    const unsigned char* s = FindLineFeed(p + known, file->buffer + file->len);
    if (s != file->buffer + file->len && s > p && !IsLeadByte(s[-1])) {
      file->pos = (int)(s + 1 - file->buffer);
      return;
    }
  }
  SkipRestOfLine(file, ByteKinds());
}

// This reader sees every byte of every table for each computation: the
// bytes up to the next one that needs a look of its own are found many at a
// time, bounded by the room left in the line, and copied at once.
char* ReadTableLine(TableFile* file) {
  const unsigned char* kinds = ByteKinds();
  unsigned char* const line = (unsigned char*)file->line;
  int stored = 0;
  int kept = 0;      // length without the trailing blanks
  int full = 0;      // a byte did not fit: the rest of the line is dropped
  int comment = 0;
  int loneLead = 0;  // a lead byte without its second byte was stored
  while (RefillTableBlock(file)) {
    const unsigned char* p = file->buffer + file->pos;
    const unsigned char* const end = file->buffer + file->len;
    if (comment || full) {
      if (!SkipRestOfLine(file, kinds)) break;
      if (stored) break;
      comment = 0;
      continue;
    }

    const int room = kTableLineMax - stored;
    const unsigned char* const stop = end - p > room ? p + room : end;
    // The run up to the next byte taken on its own; lead bytes are paired
    // up afterwards, from the last character boundary.
    const unsigned char* q = p;
    for (;;) {
      const unsigned char* s = FindLineByte(q, stop);
      const int second = IsSecondByte(q, s, kinds);
      if (s == stop || !second) {
        q = second ? s - 1 : s;
        break;
      }
      if (*s == 0) {
        q = s - 1;  // a lead byte before a NUL is taken on its own
        break;
      }
      q = s + 1;  // a line feed, '#' or CR as second byte is data
    }
    if (q > p) {
      const int n = (int)(q - p);
      memcpy(line + stored, p, (size_t)n);
      if (!IsBlank(q[-1])) {
        kept = stored + n;
      } else {
        const int nonBlank = NonBlankLength(p, n, kinds);
        if (nonBlank) kept = stored + nonBlank;
      }
      stored += n;
      p = q;
    }
    if (p == end) {
      file->pos = file->len;
      continue;
    }

    // CRs and NULs are dropped, a line feed or '#' taken; after dropped
    // bytes the common way goes on. Otherwise the byte is a lead byte at the
    // limit, at the end of the block or before a NUL, or a byte beyond the
    // limit.
    const unsigned char* const runEnd = p;
    while (p < end && kinds[*p] == kByteDropped) ++p;
    file->pos = (int)(p - file->buffer);
    if (p == end || (p != runEnd && kinds[*p] <= kByteLead)) continue;
    const unsigned char c = *p++;
    file->pos = (int)(p - file->buffer);
    const unsigned char kind = kinds[c];
    if (kind == kByteLineFeed) {
      if (stored) break;
    } else if (kind == kByteHash) {
      comment = 1;
    } else if (kind == kByteLead) {
      int second = p < end ? *p : TakeByteOfNextBlock(file);
      if (p < end) ++file->pos;
      int n = second > 0 ? 2 : 1;
      if (stored + n <= kTableLineMax) {
        line[stored++] = c;
        if (n == 2)
          line[stored++] = (unsigned char)second;
        else
          loneLead = 1;
        kept = stored;
      } else {
        full = 1;
      }
    } else {
      full = 1;  // plain or blank: only the limit stops those
    }
  }
  if (!stored) return nullptr;
  if (loneLead) {
    line[stored] = 0;
    TrimRight(file->line);
  } else {
    line[kept] = 0;
  }
  return file->line;
}
