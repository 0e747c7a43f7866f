#include "plugin/startcommand.h"

#include <string.h>

int StartCommandLine(char* commandLine) { return StartProgram(nullptr, commandLine); }

int StartProgram(const char* application, char* commandLine) {
  STARTUPINFOA startup;
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  startup.wShowWindow = SW_SHOWDEFAULT;
  PROCESS_INFORMATION process;
  memset(&process, 0, sizeof process);
  if (!CreateProcessA(application, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1;
}
