#include "tests/common/runprogram.h"

#include <string.h>

int RunProgram(const std::string& commandLine, const std::string& folder, DWORD timeoutMs) {
  std::string command = commandLine;
  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi))
    return -1;
  DWORD code = (DWORD)-1;
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(pi.hProcess, &code);
  } else {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return (int)code;
}

int RunProgramOutput(const std::string& commandLine, const std::string& folder, std::string* output,
                     DWORD timeoutMs) {
  output->clear();
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::string command = commandLine;
  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi;
  BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                folder.empty() ? nullptr : folder.c_str(), &si, &pi);
  CloseHandle(writeEnd);
  DWORD code = (DWORD)-1;
  if (started) {
    // Read until the program ends or the time is up; a stuck one is ended.
    DWORD start = GetTickCount();
    for (;;) {
      DWORD available = 0;
      if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) break;  // the program closed it
      if (available) {
        char buf[4096];
        DWORD n = 0;
        if (!ReadFile(readEnd, buf, available < sizeof buf ? available : sizeof buf, &n, nullptr) || !n) break;
        output->append(buf, n);
      } else if (GetTickCount() - start > timeoutMs) {
        TerminateProcess(pi.hProcess, 1);
        break;
      } else {
        Sleep(10);
      }
    }
    if (WaitForSingleObject(pi.hProcess, 5000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    if (code != (DWORD)-1 && GetTickCount() - start > timeoutMs) code = (DWORD)-1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(readEnd);
  return started ? (int)code : -1;
}
