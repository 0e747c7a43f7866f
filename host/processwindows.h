// The shown top-level windows of another process, as a program that drives
// it finds them. Header only: the tests that use it link no host code.
#pragma once

#include <windows.h>
#include <string.h>

#include <vector>

namespace process_windows {

struct Search {
  DWORD pid;
  const char* cls;
  int control;
  std::vector<HWND> found;
};

inline BOOL CALLBACK Collect(HWND window, LPARAM param) {
  Search* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  char cls[64];
  GetWindowThreadProcessId(window, &pid);
  if (pid == s->pid && IsWindowVisible(window) && GetClassNameA(window, cls, sizeof cls) && !strcmp(cls, s->cls) &&
      (!s->control || GetDlgItem(window, s->control)))
    s->found.push_back(window);
  return TRUE;
}

}  // namespace process_windows

// The process's shown windows of class cls, with the control when it is not 0.
inline std::vector<HWND> ProcessWindows(DWORD pid, const char* cls, int control = 0) {
  process_windows::Search s = {pid, cls, control, {}};
  EnumWindows(process_windows::Collect, reinterpret_cast<LPARAM>(&s));
  return s.found;
}
