#include "text/leadbyte.h"

LeadByteTable g_leadBytes;

// Shift-JIS lead bytes.
void FillLeadByteTable() {
  for (int c = 0; c < 256; ++c) g_leadBytes.lead[c] = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  g_leadBytes.filled = 1;
}
