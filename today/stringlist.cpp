#include "today/stringlist.h"

#include <string.h>

#include "text/leadbyte.h"

namespace {

// Copies what fits of text to dest; returns the number copied and whether
// text was cut.
int CopyCut(char* dest, const char* text, long room, int* cut) {
  int n = FitLength(text, room);
  *cut = text[n] != '\0';
  memcpy(dest, text, (size_t)n);
  return n;
}

}  // namespace

int FitLength(const char* text, long room) {
  int n = 0;
  while (text[n]) {
    int step = (IsLeadByte((unsigned char)text[n]) && text[n + 1]) ? 2 : 1;
    if (n + step > room) break;
    n += step;
  }
  return n;
}

void StringListInit(StringList* list, char* out, int size) {
  list->pos = nullptr;
  list->end = nullptr;
  list->full = 1;
  if (!out || size < 1) return;
  out[0] = '\0';
  if (size < 2) return;
  list->pos = out;
  list->end = out + size - 2;
  list->full = list->pos >= list->end;
}

int StringListAppend(StringList* list, const char* label, const char* text) {
  if (list->full || !list->pos) return 0;
  int cut = 0;
  if (label && *label) {
    list->pos += CopyCut(list->pos, label, list->end - list->pos - 1, &cut);
    if (cut || list->pos >= list->end - 1) {
      *list->pos++ = '\0';
      list->full = 1;
      return 1;
    }
    *list->pos++ = ' ';
  }
  list->pos += CopyCut(list->pos, text ? text : "", list->end - list->pos - 1, &cut);
  *list->pos++ = '\0';
  if (cut || list->pos >= list->end) list->full = 1;
  return 1;
}

void StringListFinish(StringList* list) {
  if (list->pos) *list->pos = '\0';
}
