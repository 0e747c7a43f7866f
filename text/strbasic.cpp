// PLACEHOLDER: replaced by the text work.
#include "text/strbasic.h"

int32_t ParseNumber(const char*) { return 0; }
uint32_t SplitFields(char*, const char*) { return 0; }
char* FindChar(const char*, char) { return nullptr; }
char* FindLastChar(const char*, char) { return nullptr; }
int CopyFirstLine(const char*, char* d, int c) { if (c > 0) d[0] = 0; return 0; }
uint32_t ParseDateText(const char*, uint16_t* y, uint16_t* m, uint16_t* d) {
  if (y) *y = 0; if (m) *m = 0; if (d) *d = 0; return 0; }
