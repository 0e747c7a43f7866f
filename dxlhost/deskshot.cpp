#include "dxlhost/deskshot.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dxlhost/capture.h"
#include "host/processwindows.h"

namespace {

bool WaitShown(DWORD pid, const char* cls, size_t count) {
  for (int i = 0; i < 200; ++i, Sleep(50))
    if (ProcessWindows(pid, cls).size() >= count) return true;
  return false;
}

}  // namespace

int RunDeskShotCommand(int argc, char** argv) {
  if (argc != 3) {
    fputs("usage: dxlhost desk-shot PROGRAM APPDATA OUT.png\n"
          "  Starts the desktop program with that APPDATA, waits for its chips, opens\n"
          "  the menu of the leftmost one with a right click and captures the screen.\n",
          stderr);
    return 2;
  }
  SetEnvironmentVariableA("APPDATA", argv[1]);
  std::string command = std::string("\"") + argv[0] + "\"";
  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    fprintf(stderr, "dxlhost desk-shot: cannot start %s\n", argv[0]);
    return 1;
  }
  int result = 1;
  if (!WaitShown(pi.dwProcessId, "TarnivelDeskChip", 2)) {
    fputs("dxlhost desk-shot: the program showed no two chips\n", stderr);
  } else {
    Sleep(500);
    std::vector<HWND> chips = ProcessWindows(pi.dwProcessId, "TarnivelDeskChip");
    RECT r, first;
    GetWindowRect(chips[0], &first);
    for (HWND chip : chips)
      if (GetWindowRect(chip, &r) && r.left < first.left) first = r;
    HWND chip = WindowFromPoint({first.left + 16, first.top + 16});
    SetCursorPos(first.left + 16, first.top + 16);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    if (!WaitShown(pi.dwProcessId, "#32768", 1)) {
      fputs("dxlhost desk-shot: the chip showed no menu\n", stderr);
    } else {
      Sleep(500);  // the display shows what was painted
      RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      if (WriteScreenPng(argv[2], screen)) {
        printf("%s: the desktop with two chips and a chip's menu\n", argv[2]);
        result = 0;
      }
      PostMessageA(chip, WM_KEYDOWN, VK_ESCAPE, 1);
    }
  }
  Sleep(300);
  HWND main = FindWindowExA(nullptr, nullptr, "TarnivelDeskMain", nullptr);
  for (; main; main = FindWindowExA(nullptr, main, "TarnivelDeskMain", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    if (pid == pi.dwProcessId) PostMessageA(main, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return result;
}
