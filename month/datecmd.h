// Date placeholders (%Y %y %M %m %D %d) in command lines and file names.
#pragma once

#include <stdint.h>

// Replaces the placeholders of text in place; a value of 0 removes its
// placeholder. capacity is the size of the buffer holding text (a text with
// no terminator inside it is cut to capacity - 1 bytes first). Returns 1 when
// the expansion fits; otherwise 0 and the text is left as it was, so that no
// cut command line or file name is ever used.
int ExpandDatePlaceholders(char* text, int capacity, unsigned year, unsigned month, unsigned day);
