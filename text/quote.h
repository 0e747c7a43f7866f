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

// Nonzero when text begins and ends with the same quote, ' or ", a pair
// that the profile functions take off a value when they read it.
int IsWholeQuoted(const char* text);

// Splits a command line into its program, copied into program (size bytes,
// cut to fit) without its quotes, and the arguments, which the result points
// at: the rest after the program, from the blank before them on, or "". A
// program in double quotes runs to the closing quote, any other to the
// first blank.
const char* SplitCommandLine(const char* commandLine, char* program, int size);

// Writes program, in double quotes when it holds a blank, and the arguments
// after it into out (size bytes). Returns 0, with out empty, when that does
// not fit.
int JoinCommandLine(const char* program, const char* arguments, char* out, int size);
