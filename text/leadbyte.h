// Lead-byte test of the system code page: IsDBCSLeadByte in the library,
// the code page 932 ranges in the native build.
#pragma once

int IsLeadByte(unsigned char c);
