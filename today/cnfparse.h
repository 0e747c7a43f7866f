// Interpretation of the scheduler's environment file (TODAY.CNF).
#pragma once

// Splits the next line off a zero-terminated text: the line ends at the first
// CR and the walk goes on two bytes after it (the LF is skipped). *walk
// starts at the text and becomes null when the walk has ended; returns the
// line (terminated in place), or null when no line remains.
char* TakeTextLine(char** walk);

// Where the settings that matter to the calendar go.
struct CnfSink {
  void* ctx;
  void (*schedule)(void* ctx, int on);
  // number counts the non-empty schedule_file values from 1.
  void (*scheduleFile)(void* ctx, int number, const char* name);
  void (*tablePath)(void* ctx, const char* value);
};

enum { kCnfLineMax = 255 };

// Walks the whole file text (modified) and reports every setting of the
// common section; returns the number of schedule file entries reported.
int ParseTodayCnf(char* text, const CnfSink* sink);

// A value as the settings file gives it back when read into size bytes:
// without the blanks and control characters around it, without a pair of
// matching quotes around it, and cut to size - 1 bytes without splitting a
// double-byte character.
void SettingsValueAsRead(const char* value, char* out, int size);
