// Starting a program as a user would and waiting for it.
#pragma once

#include <windows.h>

#include <string>

// Runs the command line in the folder (empty: the current one) and returns
// its exit code; -1 when it could not be started or ran past timeoutMs (it
// is then ended).
int RunProgram(const std::string& commandLine, const std::string& folder, DWORD timeoutMs = 60000);
// RunProgram that also gives what the program wrote to its standard output.
int RunProgramOutput(const std::string& commandLine, const std::string& folder, std::string* output,
                     DWORD timeoutMs = 60000);
