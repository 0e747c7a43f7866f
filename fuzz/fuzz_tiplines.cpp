// The tip text split at line breaks: the pieces walked up to the returned end
// tile the list exactly and keep every byte of the strings in order but the
// line breaks (a break byte after a lead byte is part of its character).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "text/leadbyte.h"
#include "tips/tiptext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  char text[kTipTextSize];
  size_t n = size < sizeof text ? size : sizeof text;
  memset(text, 'x', sizeof text);
  memcpy(text, data, n);
  // Short inputs end as a list does; long ones may fill the buffer unterminated.
  if (n < sizeof text) text[n] = 0;
  std::string before(text, sizeof text);

  int end = SplitTipLines(text, (int)sizeof text);
  if (end < 0 || end > (int)sizeof text) abort();
  // The walk ends at the list's empty string, or at a tail without terminator.
  if (end < (int)sizeof text && text[end] != 0 && memchr(text + end, 0, sizeof text - end)) abort();

  std::string kept, expected;
  for (int i = 0; i < end; ++i) {
    unsigned char c = (unsigned char)before[i];
    if (IsLeadByte(c) && i + 1 < end && before[i + 1] != 0) {
      expected += before.substr(i, 2);
      ++i;
    } else if (c != '\r' && c != '\n' && c != 0) {
      expected += (char)c;
    }
  }
  TipLineWalk walk;
  TipLineWalkInit(&walk, text, end);
  int length, covered = 0;
  while (const char* piece = NextTipLine(&walk, &length)) {
    if (piece != text + covered || length < 0 || covered + length > end) abort();
    for (int i = 0; i < length; ++i) {
      if (piece[i] == 0) abort();
      kept += piece[i];
    }
    covered += length + 1;
  }
  if (covered < end || covered > end + 1) abort();
  // Beyond the end nothing was touched.
  if (memcmp(text + end, before.data() + end, sizeof text - end) != 0) abort();
  if (kept != expected) abort();
  return 0;
}
