#include "tips/tiptext.h"

#include <string.h>

#include "text/strbasic.h"

namespace {

// Length of the string at text, or -1 when it has no terminator before end.
int BoundedLength(const char* text, int room) {
  const void* zero = memchr(text, 0, (size_t)room);
  return zero ? (int)(static_cast<const char*>(zero) - text) : -1;
}

}  // namespace

int SplitTipLines(char* text, int size) {
  int pos = 0;
  while (pos < size && text[pos]) {
    int length = BoundedLength(text + pos, size - pos);
    // An unterminated tail is no string of the list.
    if (length < 0) break;
    SplitFields(text + pos, "\r\n");
    pos += length + 1;
  }
  return pos < size ? pos : size;
}

void TipLineWalkInit(TipLineWalk* walk, const char* text, int end) {
  walk->text = text;
  walk->end = text ? end : 0;
  walk->pos = 0;
}

const char* NextTipLine(TipLineWalk* walk, int* length) {
  if (walk->pos >= walk->end) return nullptr;
  const char* piece = walk->text + walk->pos;
  int n = BoundedLength(piece, walk->end - walk->pos);
  if (n < 0) n = walk->end - walk->pos;
  walk->pos += n + 1;
  *length = n;
  return piece;
}
