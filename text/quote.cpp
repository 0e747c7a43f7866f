#include "text/quote.h"

#include <string.h>

int QuoteText(const char* text, char* out, int size) {
  size_t length = strlen(text);
  if (size < 1) return 0;
  out[0] = '\0';
  if (length + 3 > (size_t)size) return 0;
  out[0] = '"';
  memcpy(out + 1, text, length);
  out[length + 1] = '"';
  out[length + 2] = '\0';
  return 1;
}

int IsWholeQuoted(const char* text) {
  size_t length = strlen(text);
  return length >= 2 && text[0] == '"' && text[length - 1] == '"';
}

int UnquoteText(char* text) {
  size_t length = strlen(text);
  if (length < 2 || text[0] != '"' || text[length - 1] != '"') return 0;
  if (memchr(text + 1, '"', length - 2)) return 0;
  memmove(text, text + 1, length - 2);
  text[length - 2] = '\0';
  return 1;
}

int DoubleAmpersands(const char* text, char* out, int size) {
  if (size < 1) return 0;
  // No second byte of a double-byte character is '&' (0x26), so every '&'
  // is one.
  int w = 0;
  for (const char* s = text; *s; ++s) {
    if (w + (*s == '&' ? 2 : 1) > size - 1) {
      out[0] = '\0';
      return 0;
    }
    if (*s == '&') out[w++] = '&';
    out[w++] = *s;
  }
  out[w] = '\0';
  return 1;
}
