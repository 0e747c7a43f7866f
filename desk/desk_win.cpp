// TarnivelDesk: one instance a user (and data folder), the hidden main
// window with the notification-area icon, the midnight timer, start with Windows.
#include <windows.h>
#include <shellapi.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "desk/desk.h"
#include "desk/deskgeometry.h"

DxlApi g_api;
std::vector<DeskChip*> g_chips;
std::vector<DeskChipRecord> g_chipsKeptAside;
HWND g_mainWindow;

namespace {

const char kMainClass[] = "TarnivelDeskMain";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "TarnivelDesk";
const UINT_PTR kMidnightTimer = 1;
const UINT kTrayId = 1;
UINT g_taskbarCreated;

#ifndef PBT_APMRESUMEAUTOMATIC
#define PBT_APMRESUMEAUTOMATIC 0x0012
#endif

std::wstring Wide(const char* s) {
  wchar_t buffer[MAX_PATH * 2];
  int n = MultiByteToWideChar(CP_ACP, 0, s, -1, buffer, MAX_PATH * 2);
  return n > 0 ? buffer : L"?";
}

void Complain(const wchar_t* text) { MessageBoxW(nullptr, text, L"TarnivelDesk", MB_OK | MB_ICONERROR | MB_SETFOREGROUND); }

// The name the instance goes by: the user's session and the data folder.
void InstanceName(const std::string& folder, char* out, size_t size) {
  uint32_t h = 2166136261u;
  for (char ch : folder) h = (h ^ (unsigned char)(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch)) * 16777619u;
  snprintf(out, size, "TarnivelDesk-%08lx", (unsigned long)h);
}

// The icon's record: the fields that name it.
NOTIFYICONDATAW TrayIconData(HWND window) {
  NOTIFYICONDATAW nid;
  memset(&nid, 0, sizeof nid);
  nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
  nid.hWnd = window;
  nid.uID = kTrayId;
  return nid;
}

void AddTrayIcon(HWND window) {
  NOTIFYICONDATAW nid = TrayIconData(window);
  nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  nid.uCallbackMessage = WM_DESK_TRAY;
  nid.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  wcscpy(nid.szTip, L"Tarnivel");
  Shell_NotifyIconW(NIM_ADD, &nid);
}

void RemoveTrayIcon(HWND window) {
  NOTIFYICONDATAW nid = TrayIconData(window);
  Shell_NotifyIconW(NIM_DELETE, &nid);
}

void ArmMidnightTimer(HWND window) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  SetTimer(window, kMidnightTimer, MsUntilAfterMidnight(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds),
           nullptr);
}

void DayMayHaveChanged(HWND window, const char* why) {
  UpdateAllChips(why);
  ArmMidnightTimer(window);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == g_taskbarCreated && g_taskbarCreated) {
    AddTrayIcon(window);
    return 0;
  }
  switch (message) {
    case WM_TIMER:
      if (wParam == kMidnightTimer) DayMayHaveChanged(window, "midnight");
      return 0;
    case WM_TIMECHANGE:
      DayMayHaveChanged(window, "time change");
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) DayMayHaveChanged(window, "resume");
      return TRUE;
    case WM_DISPLAYCHANGE:
      for (DeskChip* c : g_chips) KeepChipOnAMonitor(c);
      SaveDesk();
      return 0;
    case WM_DESK_SHOWCHIPS:
      if (g_chips.empty() && NewDeskChip()) SaveDesk();
      ShowAllChips();
      return 0;
    case WM_DESK_DELETECHIP:
      for (DeskChip* c : g_chips)
        if (c->host.window == (HWND)wParam) {
          DeleteDeskChip(c);
          SaveDesk();
          break;
        }
      return 0;
    case WM_DESK_TRAY:
      if (lParam == WM_RBUTTONUP || lParam == WM_CONTEXTMENU) {
        POINT p;
        GetCursorPos(&p);
        TrackTrayMenu(window, p);
      } else if (lParam == WM_LBUTTONUP || lParam == WM_LBUTTONDBLCLK) {
        SendMessageA(window, WM_DESK_SHOWCHIPS, 0, 0);
      }
      return 0;
    case WM_ENDSESSION:
      if (wParam) SaveDesk();
      return 0;
    case WM_CLOSE:
      SaveDesk();
      KillTimer(window, kMidnightTimer);
      RemoveTrayIcon(window);
      DestroyAllChips();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The exports a chip cannot do without, named in the message when missing.
bool CheckExports(const DxlApi& api, std::string* missing) {
  const struct {
    const char* name;
    bool present;
  } needed[] = {{"InitializeChip", api.InitializeChip != nullptr}, {"UnInitializeChip", api.UnInitializeChip != nullptr},
                {"Update", api.Update != nullptr},                 {"GetSaveData", api.GetSaveData != nullptr},
                {"CalcDefaultRect", api.CalcDefaultRect != nullptr}, {"DrawChip", api.DrawChip != nullptr}};
  missing->clear();
  for (const auto& n : needed)
    if (!n.present) *missing += std::string(missing->empty() ? "" : ", ") + n.name;
  return missing->empty();
}

bool LoadLibraryOrComplain(const std::string& path) {
  bool loaded = LoadDxl(path.c_str(), &g_api);
  DWORD error = GetLastError();
  wchar_t text[2048];
  if (!g_api.module) {
    wchar_t reason[512] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, reason,
                   sizeof reason / sizeof reason[0], nullptr);
    swprintf(text, sizeof text / sizeof text[0], L"描画拡張 Tarnivel.dxl を読み込めません。\n\n%ls\n\nエラー %lu: %ls",
             Wide(path.c_str()).c_str(), error, reason);
    Complain(text);
    return false;
  }
  std::string missing;
  if (!CheckExports(g_api, &missing) || !loaded) {
    swprintf(text, sizeof text / sizeof text[0],
             L"描画拡張 Tarnivel.dxl に、チップに要る関数がありません。\n\n%ls\n\nありません: %ls",
             Wide(g_api.file).c_str(), Wide(missing.c_str()).c_str());
    Complain(text);
    UnloadDxl(&g_api);
    return false;
  }
  return true;
}

std::string QuotedProgramPath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n && n < sizeof path ? std::string("\"") + path + "\"" : std::string();
}

}  // namespace

void QuitDesk() { PostMessageA(g_mainWindow, WM_CLOSE, 0, 0); }

bool StartsWithWindows() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  char value[MAX_PATH + 8];
  DWORD size = sizeof value, type = 0;
  bool on = RegQueryValueExA(key, kRunValue, nullptr, &type, (BYTE*)value, &size) == ERROR_SUCCESS && type == REG_SZ;
  RegCloseKey(key);
  return on;
}

bool SetStartWithWindows(bool on) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  std::string command = QuotedProgramPath();
  LONG r = on ? (command.empty() ? ERROR_BAD_PATHNAME
                                 : RegSetValueExA(key, kRunValue, 0, REG_SZ, (const BYTE*)command.c_str(),
                                                  (DWORD)command.size() + 1))
              : RegDeleteValueA(key, kRunValue);
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char name[64], mutexName[80];
  InstanceName(DeskFolder(), name, sizeof name);
  snprintf(mutexName, sizeof mutexName, "Local\\%s", name);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName);
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    // The running one may still be starting: its window comes soon.
    for (int i = 0; i < 100; ++i) {
      HWND running = FindWindowA(kMainClass, name);
      if (running) {
        DWORD pid = 0;
        GetWindowThreadProcessId(running, &pid);
        AllowSetForegroundWindow(pid);
        PostMessageA(running, WM_DESK_SHOWCHIPS, 0, 0);
        break;
      }
      Sleep(100);
    }
    CloseHandle(mutex);
    return 0;
  }

  if (!LoadLibraryOrComplain(ProgramDirectory() + "Tarnivel.dxl")) return 1;
  WNDCLASSA wc;
  memset(&wc, 0, sizeof wc);
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.lpszClassName = kMainClass;
  g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  if (!RegisterClassA(&wc) || !RegisterChipClass() ||
      !(g_mainWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kMainClass, name, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       instance, nullptr))) {
    Complain(L"TarnivelDesk のウィンドウを作れません。");
    UnloadDxl(&g_api);
    return 1;
  }

  std::vector<DeskChipRecord> records;
  if (!LoadDesk(&records)) {
    DestroyWindow(g_mainWindow);
    UnloadDxl(&g_api);
    return 1;
  }
  for (const DeskChipRecord& r : records)
    if (!CreateDeskChip(r)) g_chipsKeptAside.push_back(r);
  if (g_chips.empty()) NewDeskChip();
  SaveDesk();
  AddTrayIcon(g_mainWindow);
  ArmMidnightTimer(g_mainWindow);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  UnloadDxl(&g_api);
  CloseHandle(mutex);
  return 0;
}
