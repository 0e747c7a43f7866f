// The desktop program's one owner of state, its nested loops and its log.
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>

#include "desk/desk.h"

Desk g_desk;

DeskChip* ChipOfWindow(HWND window) {
  if (!window) return nullptr;
  for (const auto& c : g_desk.chips)
    if (c->host.window == window) return c.get();
  return nullptr;
}

bool DeskBusy() { return !g_desk.started || g_desk.modalDepth > 0; }

ModalScope::ModalScope() { ++g_desk.modalDepth; }

ModalScope::~ModalScope() {
  if (--g_desk.modalDepth == 0 && g_desk.mainWindow) PostMessageA(g_desk.mainWindow, WM_DESK_PENDING, 0, 0);
}

int DeskMessageBox(HWND owner, const wchar_t* text, UINT type) {
  ModalScope modal;
  return MessageBoxW(owner, text, L"TarnivelDesk", type | MB_SETFOREGROUND);
}

std::wstring WideFromAnsi(const std::string& s) {
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  if (n <= 0) return L"?";
  std::wstring w((size_t)n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
  w.resize((size_t)n - 1);
  return w;
}

void DeskLog(const char* format, ...) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TARNIVELDESK_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  char line[512];
  va_list args;
  va_start(args, format);
  int len = vsnprintf(line, sizeof line - 2, format, args);
  va_end(args);
  if (len < 0) return;
  if (len > (int)sizeof line - 3) len = (int)sizeof line - 3;
  line[len++] = '\r';
  line[len++] = '\n';
  HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(f, line, (DWORD)len, &written, nullptr);
  CloseHandle(f);
}
