#include "text/leadbyte.h"

#include <windows.h>

// The system code page does not change while a process runs, so the answers
// of IsDBCSLeadByte are kept in a table: the table readers ask for every byte.
int IsLeadByte(unsigned char c) {
  static unsigned char table[256];
  static bool filled = false;
  if (!filled) {
    for (int i = 0; i < 256; ++i) table[i] = IsDBCSLeadByte((BYTE)i) ? 1 : 0;
    filled = true;
  }
  return table[c];
}
