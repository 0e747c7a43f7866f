#include "text/tableline.h"

#include <string.h>

#include "text/bytescan.h"
#include "text/leadbyte.h"
#include "text/textutil.h"

static int IsBlank(unsigned char c) { return c == ' ' || c == '\t'; }

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
      if (TableLineKeeps(stored, n)) {
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
