// Starting a user's command line (the date command, the text editor).
#pragma once

#include <windows.h>

// Starts the command line as a new process shown in its default way, without
// waiting for it and without keeping its handles. CreateProcessA may write into
// the buffer. Returns nonzero when the program was started.
int StartCommandLine(char* commandLine);
// StartCommandLine with the program given by its full path: no search.
int StartProgram(const char* application, char* commandLine);
