// Lead-byte test of the system code page: IsDBCSLeadByte in the library,
// the code page 932 ranges in the native build.
#pragma once

// The answers for all 256 bytes, filled once: the code page does not change
// while a process runs, and the table readers ask for every byte.
struct LeadByteTable {
  unsigned char lead[256];
  int filled;
};
extern LeadByteTable g_leadBytes;
void FillLeadByteTable();

// Lead bytes of the double-byte code pages all lie at 0x80 and above.
inline int IsLeadByte(unsigned char c) {
  if (c < 0x80) return 0;
  if (!g_leadBytes.filled) FillLeadByteTable();
  return g_leadBytes.lead[c];
}
