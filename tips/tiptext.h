// Lines of the tip text. The text is a string list; measuring splits each
// string at its line breaks in place, and the painter walks the same pieces.
#pragma once

enum { kTipTextSize = 640 };

// Splits every string of the list in text (size bytes) at CR and LF in
// place. Returns where the pieces end: the offset of the empty string that
// ends the list. A run of breaks leaves empty pieces at the end of its
// string, and a leading break an empty piece at its start, so the pieces up
// to the returned end are walked with TipLineWalk, not up to the first empty
// string.
int SplitTipLines(char* text, int size);

struct TipLineWalk {
  const char* text;
  int end;
  int pos;
};

void TipLineWalkInit(TipLineWalk* walk, const char* text, int end);
// The next piece and its byte length, or null after the last one.
const char* NextTipLine(TipLineWalk* walk, int* length);
