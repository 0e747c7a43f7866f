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
  return length >= 2 && (text[0] == '"' || text[0] == '\'') && text[length - 1] == text[0];
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

// Neither '"' nor a blank is ever the second byte of a double-byte
// character, so the bytes are compared as they stand.
const char* SplitCommandLine(const char* commandLine, char* program, int size) {
  const char* start = commandLine;
  while (*start == ' ' || *start == '\t') ++start;
  const char* end;
  const char* rest;
  if (*start == '"') {
    ++start;
    const char* close = strchr(start, '"');
    end = close ? close : start + strlen(start);
    rest = close ? close + 1 : end;
  } else {
    end = start + strcspn(start, " \t");
    rest = end;
  }
  if (size > 0) {
    size_t n = (size_t)(end - start) < (size_t)size - 1 ? (size_t)(end - start) : (size_t)size - 1;
    memcpy(program, start, n);
    program[n] = '\0';
  }
  return rest;
}

int JoinCommandLine(const char* program, const char* arguments, char* out, int size) {
  if (size < 1) return 0;
  out[0] = '\0';
  int quoted = strchr(program, ' ') != nullptr;
  size_t length = strlen(program), more = strlen(arguments);
  if (length + (quoted ? 2 : 0) + more + 1 > (size_t)size) return 0;
  char* p = out;
  if (quoted) *p++ = '"';
  memcpy(p, program, length);
  p += length;
  if (quoted) *p++ = '"';
  memcpy(p, arguments, more + 1);
  return 1;
}
