// Text that Windows is to take as it stands: a path with blanks on a command
// line, a file name as a menu item's label.
#pragma once

// Writes text between double quotes into out (size bytes). Returns 0, with
// out empty, when that does not fit.
int QuoteText(const char* text, char* out, int size);

// Copies text into out (size bytes) with every '&' doubled, so that a menu
// shows the character instead of underlining the next one. Returns 0, with
// out empty, when that does not fit.
int DoubleAmpersands(const char* text, char* out, int size);

// Takes the double quotes off text that is one quoted string, such as
// QuoteText writes, in place. Returns 0, with text unchanged, for any other.
int UnquoteText(char* text);

// Nonzero when text begins and ends with a double quote, a pair that the
// profile functions take off a value when they read it.
int IsWholeQuoted(const char* text);
