// String lists for the hover tip: zero-terminated entries one after another,
// ended by an empty string, in a caller's buffer of which at most size - 2
// bytes are used.
#pragma once

struct StringList {
  char* pos;  // where the next entry goes; null when nothing may be written
  char* end;  // usable end: out + size - 2
  int full;
};

// How many leading bytes of text fit in room bytes without splitting a
// double-byte character.
int FitLength(const char* text, long room);

// Starts an empty list; a buffer too small for any entry is full at once.
void StringListInit(StringList* list, char* out, int size);
// Appends "label text" (or just text when label is null or empty), cut
// before the usable end without splitting a double-byte character. 0 when
// the list was already full; an entry that had to be cut fills the list.
int StringListAppend(StringList* list, const char* label, const char* text);
// Writes the empty string that ends the list.
void StringListFinish(StringList* list);
