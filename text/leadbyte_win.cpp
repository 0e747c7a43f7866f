#include "text/leadbyte.h"

#include <windows.h>

int IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) ? 1 : 0; }
