// The table-line reader: logical lines of a table file, read in
// blocks, with comments, CR and NUL dropped and the line cut at its limit.
#pragma once

#include "text/bytescan.h"

enum { kTableLineMax = 256, kTableBlockSize = 4096 };

// Whether the reader keeps a character of width bytes at offset at of a
// line: it drops one that would pass the limit, never keeping half of it.
// A look at raw lines that wants to read as the reader does tests the same.
inline int TableLineKeeps(int at, int width) { return at + width <= kTableLineMax; }

// Source of table bytes: returns the number of bytes read into buf (at most
// size), 0 at the end or on a failed read.
typedef int (*TableReadFn)(void* ctx, unsigned char* buf, int size);

struct TableFile {
  TableReadFn read;
  void* ctx;
  unsigned char* buffer;  // where reads go: block, or a caller's larger buffer
  int capacity;
  int blockSize;  // bytes asked for per read, 1..capacity
  int pos;
  int len;
  int ended;
  unsigned char block[kTableBlockSize];
  char line[kTableLineMax + 1];  // the current line; valid until the next read
};

void TableFileInit(TableFile* file, TableReadFn read, void* ctx);
// Reads through buffer (capacity bytes, which must outlive the reading) in
// reads of up to capacity bytes: a buffer as large as the file takes it in
// one read. Call before the first line is read.
void TableFileUseBuffer(TableFile* file, unsigned char* buffer, int capacity);
// The next logical line (comments and CR dropped, right-trimmed), or null at
// the end of the file.
char* ReadTableLine(TableFile* file);
// Between lines: the buffered bytes from the start of the next raw line on
// (at least one; the line may go on past them), or 0 at the end of the file.
int PeekTableLineRefill(TableFile* file, const unsigned char** bytes);
inline int PeekTableLine(TableFile* file, const unsigned char** bytes) {
  if (file->pos >= file->len) return PeekTableLineRefill(file, bytes);
  *bytes = file->buffer + file->pos;
  return file->len - file->pos;
}
// Passes over the next line as ReadTableLine would read it, storing nothing;
// only for a line that has a byte to store, since an empty one would not
// count as a line. The first known bytes (at most those that PeekTableLine
// gave) are whole characters without a line feed.
void SkipTableLineRest(TableFile* file, int known);
inline void SkipTableLine(TableFile* file, int known = 0, LineFeedFinder find = FindLineFeed) {
  // The common case: a line feed in the block after a byte below 0x80,
  // which is no lead byte.
  const unsigned char* p = file->buffer + file->pos;
  const unsigned char* end = file->buffer + file->len;
  if (known < end - p) {
    const unsigned char* s = find(p + known, end);
    if (s != end && s > p && s[-1] < 0x80) {
      file->pos = (int)(s + 1 - file->buffer);
      return;
    }
  }
  SkipTableLineRest(file, known);
}
