#include "text/leadbyte.h"

#include <windows.h>

LeadByteTable g_leadBytes;

void FillLeadByteTable() {
  for (int i = 0; i < 256; ++i) g_leadBytes.lead[i] = IsDBCSLeadByte((BYTE)i) ? 1 : 0;
  g_leadBytes.filled = 1;
}
