#include "today/cnfparse.h"

#include <string.h>

#include "text/leadbyte.h"
#include "text/strbasic.h"
#include "text/textutil.h"

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

// ASCII letters compare without case; every other byte must be equal.
int EqualsIgnoreCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (LowerAscii(*a) != LowerAscii(*b)) return 0;
  }
  return *a == *b;
}

// The settings file holds one line per key: a value that ran across line
// feeds (a file without CRs) is stored up to its first one.
void CutAtLineFeed(char* value) {
  char* lf = FindChar(value, '\n');
  if (lf) *lf = '\0';
}

void InterpretSetting(char* line, const CnfSink* sink, int* count) {
  char* equals = FindChar(line, '=');
  if (!equals) return;
  *equals = '\0';
  char* key = line;
  char* value = equals + 1;
  TrimRight(key);
  TrimLeft(value);

  int number = 0;
  if (EqualsIgnoreCase(key, "schedule")) {
    if (sink->schedule) sink->schedule(sink->ctx, EqualsIgnoreCase(value, "yes"));
  } else if (ScanPattern(key, "schedule_file%2d", &number) == 1) {
    if (value[0] == '\0') return;
    ++*count;
    CutAtLineFeed(value);
    if (sink->scheduleFile) sink->scheduleFile(sink->ctx, *count, value);
  } else if (EqualsIgnoreCase(key, "table_path")) {
    CutAtLineFeed(value);
    if (sink->tablePath) sink->tablePath(sink->ctx, value);
  }
}

}  // namespace

char* TakeTextLine(char** walk) {
  char* line = *walk;
  if (!line || *line == '\0') {
    *walk = nullptr;
    return nullptr;
  }
  char* cr = FindChar(line, '\r');
  if (!cr) {
    *walk = nullptr;
  } else {
    *cr = '\0';
    *walk = (cr[1] == '\0') ? nullptr : cr + 2;
  }
  return line;
}

int ParseTodayCnf(char* text, const CnfSink* sink) {
  int count = 0;
  int inCommon = 1;
  char buffer[kCnfLineMax + 1];
  char* walk = text;
  while (char* raw = TakeTextLine(&walk)) {
    size_t len = strnlen(raw, kCnfLineMax);
    memcpy(buffer, raw, len);
    buffer[len] = '\0';
    char* hash = FindChar(buffer, '#');
    if (hash) *hash = '\0';
    TrimRight(buffer);
    if (buffer[0] == '$') {
      inCommon = EqualsIgnoreCase(buffer, "$common");
    } else if (inCommon) {
      InterpretSetting(buffer, sink, &count);
    }
  }
  return count;
}

// Tab to CR, ^Z and the space: what the settings file trims around a value.
static int IsSettingsSpace(unsigned char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

void SettingsValueAsRead(const char* value, char* out, int size) {
  if (size <= 0) return;
  const unsigned char* start = (const unsigned char*)value;
  while (IsSettingsSpace(*start)) ++start;
  const unsigned char* end = start;
  for (const unsigned char* s = start; *s;) {
    int n = (IsLeadByte(*s) && s[1]) ? 2 : 1;
    s += n;
    if (n == 2 || !IsSettingsSpace(s[-1])) end = s;
  }
  if (end - start >= 2 && (*start == '"' || *start == '\'') && end[-1] == *start) {
    ++start;
    --end;
  }
  size_t n = 0;
  const size_t room = (size_t)size - 1;
  for (const unsigned char* s = start; s < end;) {
    size_t w = (IsLeadByte(*s) && s + 1 < end) ? 2 : 1;
    if (n + w > room) break;
    n += w;
    s += w;
  }
  memcpy(out, start, n);
  out[n] = '\0';
}
