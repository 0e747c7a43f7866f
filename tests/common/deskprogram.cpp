#include "tests/common/deskprogram.h"

#include <string.h>

#include "host/processwindows.h"

namespace {

BOOL CALLBACK StaticText(HWND child, LPARAM param) {
  char cls[16], utf8[2048];
  wchar_t text[512];
  if (GetClassNameA(child, cls, sizeof cls) && !lstrcmpiA(cls, "Static") && GetWindowTextW(child, text, 512) &&
      WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr))
    *reinterpret_cast<std::string*>(param) += utf8;
  return TRUE;
}

void Mouse(DWORD flags) { mouse_event(flags, 0, 0, 0, 0); }

// An absolute move of the real cursor over the whole virtual screen.
void MoveTo(int x, int y) {
  int vx = GetSystemMetrics(SM_XVIRTUALSCREEN), vy = GetSystemMetrics(SM_YVIRTUALSCREEN);
  int vw = GetSystemMetrics(SM_CXVIRTUALSCREEN), vh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, (DWORD)((x - vx) * 65535 / (vw - 1)),
              (DWORD)((y - vy) * 65535 / (vh - 1)), 0, 0);
}

int Close(PROCESS_INFORMATION* pi, DWORD ms) {
  DWORD code = (DWORD)-1;
  if (!pi->hProcess) return -1;
  if (WaitForSingleObject(pi->hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(pi->hProcess, &code);
  else TerminateProcess(pi->hProcess, 9), WaitForSingleObject(pi->hProcess, 10000);
  CloseHandle(pi->hProcess);
  CloseHandle(pi->hThread);
  memset(pi, 0, sizeof *pi);
  return (int)code;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  for (DWORD start = GetTickCount(); !done(); Sleep(50))
    if (GetTickCount() - start > ms) return false;
  return true;
}

DeskProgram::DeskProgram(bool withLibrary, bool withExamples) : LibraryCopy(withExamples) {
  memset(&pi_, 0, sizeof pi_);
  if (!withLibrary) DeleteFileA(library().c_str());
  CopyFileA((BuildFolder() + "TarnivelDesk.exe").c_str(), File("TarnivelDesk.exe").c_str(), FALSE);
  CreateDirectoryA(File("AppData").c_str(), nullptr);
}

DeskProgram::~DeskProgram() { Kill(); }

std::string DeskProgram::Kept() const {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = CreateFileA(KeptPath().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  char buf[4096];
  DWORD n = 0;
  while (h != INVALID_HANDLE_VALUE && ReadFile(h, buf, sizeof buf, &n, nullptr) && n) bytes.append(buf, n);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return bytes;
}

bool DeskProgram::Keep(const std::string& kept) const {
  CreateDirectoryA(File("AppData\\Tarnivel").c_str(), nullptr);
  return Write("AppData\\Tarnivel\\TarnivelDesk.ini", kept);
}

bool DeskProgram::Start(const char* currentFolder) {
  Kill();
  return Launch(&pi_, currentFolder);
}

int DeskProgram::StartAgain() const {
  PROCESS_INFORMATION pi;
  return Launch(&pi) ? Close(&pi, 20000) : -1;
}

bool DeskProgram::Launch(PROCESS_INFORMATION* pi, const char* currentFolder) const {
  // This environment with an APPDATA and a log of its own.
  std::string env;
  char* block = GetEnvironmentStringsA();
  for (const char* p = block; *p; p += strlen(p) + 1)
    if (_strnicmp(p, "APPDATA=", 8) && _strnicmp(p, "TARNIVELDESK_LOG=", 17)) env.append(p, strlen(p) + 1);
  FreeEnvironmentStringsA(block);
  env += "APPDATA=" + File("AppData") + '\0' + "TARNIVELDESK_LOG=" + File("desk.log") + '\0' + '\0';
  std::string command = "\"" + File("TarnivelDesk.exe") + "\"";
  STARTUPINFOA si = {sizeof si};
  return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, &env[0], currentFolder ? currentFolder : path().c_str(), &si,
                        pi) != 0;
}

HWND DeskProgram::MainWindow() const {
  for (HWND w = FindWindowExA(nullptr, nullptr, "TarnivelDeskMain", nullptr); w;
       w = FindWindowExA(nullptr, w, "TarnivelDeskMain", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == pi_.dwProcessId) return w;
  }
  return nullptr;
}

std::string DeskProgram::Caption(HWND window) {
  wchar_t text[256];
  char utf8[1024];
  if (!GetWindowTextW(window, text, 256) || !WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr))
    return std::string();
  return utf8;
}

std::vector<HWND> DeskProgram::Chips() const { return ProcessWindows(pi_.dwProcessId, "TarnivelDeskChip"); }

bool DeskProgram::WaitChips(size_t count) const {
  return WaitUntil([&] { return Chips().size() == count; }) && (Sleep(300), Chips().size() == count);
}

HWND DeskProgram::Dialog(int control) const {
  std::vector<HWND> found = ProcessWindows(pi_.dwProcessId, "#32770", control);
  return found.empty() ? nullptr : found.front();
}

std::string DeskProgram::AnswerBox(int button) const {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = Dialog(0)) != nullptr; })) return "(no message box)";
  std::string text;
  EnumChildWindows(box, StaticText, reinterpret_cast<LPARAM>(&text));
  PostMessageA(box, WM_COMMAND, button, 0);
  WaitUntil([&] { return !IsWindowVisible(box); }, 5000);
  return text;
}

bool DeskProgram::ChooseFromEnd(HWND chip, int fromEnd) const {
  // A dialog that was just closed may still be going.
  WaitUntil([&] { return !Dialog(0); }, 5000);
  RECT r = WindowRect(chip);
  bool shown = false;
  for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
    MoveTo(r.left + 12, r.top + 12);
    Mouse(MOUSEEVENTF_RIGHTDOWN);
    Mouse(MOUSEEVENTF_RIGHTUP);
    shown = WaitUntil([&] { return !ProcessWindows(pi_.dwProcessId, "#32768").empty(); }, 4000);
  }
  // The menu's loop takes the keys from its thread's queue: up from nothing
  // selected starts at the last item.
  for (int i = 0; shown && i < fromEnd; ++i) PostMessageA(chip, WM_KEYDOWN, VK_UP, 1);
  PostMessageA(chip, WM_KEYDOWN, VK_RETURN, 1);
  return shown && WaitUntil([&] { return ProcessWindows(pi_.dwProcessId, "#32768").empty(); }, 10000);
}

POINT DeskProgram::Drag(HWND chip, int dx, int dy) const {
  RECT r = WindowRect(chip);
  POINT from, to;
  MoveTo(r.left + 10, r.top + 10);
  Sleep(100);
  GetCursorPos(&from);
  Mouse(MOUSEEVENTF_LEFTDOWN);
  for (int step = 1; step <= 20; ++step, Sleep(30)) MoveTo(from.x + dx * step / 20, from.y + dy * step / 20);
  Sleep(100);
  GetCursorPos(&to);
  Mouse(MOUSEEVENTF_LEFTUP);
  Sleep(300);
  return {to.x - from.x, to.y - from.y};
}

int DeskProgram::WaitExit(DWORD ms) { return Close(&pi_, ms); }

void DeskProgram::Kill() { Close(&pi_, 0); }

RECT WindowRect(HWND window) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(window, &r);
  return r;
}
